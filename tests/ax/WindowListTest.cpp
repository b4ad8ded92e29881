#include "ax/WindowList.h"

#include <map>

#include "ax/AXWorld.h"

namespace {

using namespace axtest;
using durazizi::WindowEntry;
namespace WindowList = durazizi::WindowList;
using Ids = std::vector<CGWindowID>;
using Titles = std::vector<std::string>;

Ids ids(const std::vector<WindowEntry>& entries) {
    Ids result;
    for (const WindowEntry& entry : entries) result.push_back(entry.id);
    return result;
}

Titles titles(const std::vector<WindowEntry>& entries) {
    Titles result;
    for (const WindowEntry& entry : entries) result.push_back(entry.title);
    return result;
}

class WindowListTest : public AXWorld {
protected:
    WindowListTest() { order(0); }   // creation order, which the sim's window numbers follow

    void order(std::int64_t raw) { desktop.defaults().setInteger(raw, "window_preview_order"); }
    void spaceFront(bool on) { desktop.defaults().setBool(on, "window_preview_order_spacefront"); }

    CGWindowID add(const std::string& title, const std::string& subrole = "AXStandardWindow", bool minimized = false,
                   std::optional<CGWindowID> id = std::nullopt) {
        sim::WindowSpec s = spec(pid, title);
        s.id = id;
        s.subrole = subrole;
        s.minimized = minimized;
        return desktop.windows().add(s);
    }
    std::vector<WindowEntry> list(bool includeMinimized = false, bool includePalettes = false) {
        return WindowList::windows(pid, includeMinimized, includePalettes);
    }
};

TEST_F(WindowListTest, EntriesDescribeTheWindows) {
    CGWindowID doc = desktop.windows().add(spec(pid, "Report.txt", {120, 80, 700, 500}));
    sim::WindowSpec draft = spec(pid, "Draft", {300, 200, 400, 300});
    draft.minimized = true;
    CGWindowID old = desktop.windows().add(draft);

    EXPECT_EQ(list(true), (std::vector<WindowEntry>{
                              {.id = doc, .pid = pid, .title = "Report.txt", .bounds = {120, 80, 700, 500}},
                              {.id = old, .pid = pid, .title = "Draft", .bounds = {300, 200, 400, 300}, .isOnScreen = false},
                          }));
    EXPECT_EQ(ids(list(false)), Ids{doc});
}

TEST_F(WindowListTest, SilentProcessesAndOurOwnListNothing) {
    add("Doc");
    // Asking our own process would block the main thread on itself.
    desktop.accessibility().takeCalls();
    EXPECT_TRUE(WindowList::windows(desktop.ownProcess().pid(), true, true).empty());
    EXPECT_EQ(desktop.accessibility().takeCalls(), 0u);

    EXPECT_TRUE(WindowList::windows(pid + 1000, true, true).empty()) << "no such process";
    desktop.permissions().setAccessibilityTrusted(false);
    EXPECT_TRUE(list(true, true).empty()) << "no Accessibility access";
    desktop.permissions().setAccessibilityTrusted(true);
    desktop.accessibility().failRead(pid, AX::kAXWindowsAttribute);
    EXPECT_TRUE(list(true, true).empty()) << "windows unreadable";
}

TEST_F(WindowListTest, StrictPassFirstThenLenient) {
    struct Row {
        const char* name;
        std::vector<std::string> subroles;
        bool includePalettes;
        std::vector<std::size_t> listed;   // indexes into subroles
    };
    const Row rows[] = {
        {"standard beside a palette", {"AXStandardWindow", "AXFloatingWindow"}, false, {0}},
        {"standard beside a palette, palettes on", {"AXStandardWindow", "AXFloatingWindow"}, true, {0, 1}},
        {"dialogs are document windows", {"AXDialog", "AXSystemDialog", "AXUnknown"}, false, {0, 1}},
        {"only a palette, palettes on: strict", {"AXFloatingWindow", "AXUnknown"}, true, {0}},
        {"only a palette", {"AXFloatingWindow", "AXSystemFloatingWindow"}, false, {}},
        {"odd subroles: lenient", {"AXUnknown", "", "AXFloatingWindow"}, false, {0, 1}},
        {"odd subroles, palettes on: lenient", {"AXUnknown", ""}, true, {0, 1}},
        {"odd subroles beside a palette, palettes on: strict", {"AXUnknown", "", "AXSystemFloatingWindow"}, true, {2}},
    };
    for (const Row& row : rows) {
        desktop.processes().quit(pid);
        sim::AppSpec app;
        app.name = row.name;
        pid = desktop.processes().add(app);
        Ids made;
        for (const std::string& subrole : row.subroles) made.push_back(add(subrole, subrole));
        Ids expected;
        for (std::size_t index : row.listed) expected.push_back(made[index]);
        EXPECT_EQ(ids(list(false, row.includePalettes)), expected) << row.name;
    }
}

TEST_F(WindowListTest, OnlyElementsWithTheWindowRoleAreCandidates) {
    CGWindowID sheet = add("Sheet");
    CGWindowID mute = add("Mute");
    CGWindowID odd = add("Odd", "AXUnknown");
    override(sheet, AX::kAXRoleAttribute, CFType("AXSheet"));
    override(mute, AX::kAXRoleAttribute, std::nullopt);
    // Unreadable subroles read as the empty one, which the lenient pass takes.
    override(odd, AX::kAXSubroleAttribute, std::nullopt);
    EXPECT_EQ(ids(list(true, true)), Ids{odd});
}

TEST_F(WindowListTest, MinimizedWindows) {
    CGWindowID hidden = add("Hidden", "AXStandardWindow", true);
    CGWindowID panel = add("Panel", "AXUnknown");

    // The strict pass finds only the minimized window and leaves it out; the
    // lenient pass leaves it out too.
    EXPECT_EQ(ids(list(false)), Ids{panel});
    auto all = list(true);
    ASSERT_EQ(ids(all), Ids{hidden});
    EXPECT_FALSE(all[0].isOnScreen);

    // Only a number counts as minimized; anything else reads as on screen.
    override(hidden, AX::kAXMinimizedAttribute, CFType("yes"));
    EXPECT_EQ(ids(list(false)), Ids{hidden});
    override(hidden, AX::kAXMinimizedAttribute, std::nullopt);
    all = list(false);
    ASSERT_EQ(ids(all), Ids{hidden});
    EXPECT_TRUE(all[0].isOnScreen);
}

TEST_F(WindowListTest, WindowNumbers) {
    std::map<std::string, CGWindowID> made;
    for (const char* title : {"First", "Twin", "Lost", "Zero", "Last"}) made[title] = add(title);
    desktop.accessibility().overrideWindowNumber(made["Twin"], made["First"]);
    desktop.accessibility().overrideWindowNumber(made["Lost"], std::nullopt);
    desktop.accessibility().overrideWindowNumber(made["Zero"], 0);

    // Of the two elements with one number, the one the application reports first wins.
    Titles twins;
    for (const auto& window : reported()) {
        const auto title = AX::string(window, AX::kAXTitleAttribute).value_or("");
        if (title == "First" || title == "Twin") twins.push_back(title);
    }
    ASSERT_EQ(twins.size(), 2u);
    auto entries = list(true);
    EXPECT_EQ(titles(entries), (Titles{twins[0], "Last"}));
    EXPECT_EQ(ids(entries), (Ids{made["First"], made["Last"]}));

    // A minimized element left out does not claim its number.
    override(made[twins[0]], AX::kAXMinimizedAttribute, CFType(true));
    entries = list(false);
    EXPECT_EQ(titles(entries), (Titles{twins[1], "Last"}));
    EXPECT_EQ(ids(entries), (Ids{made["First"], made["Last"]}));
}

TEST_F(WindowListTest, UnreadableDetailsKeepTheWindow) {
    CGWindowID noSize = desktop.windows().add(spec(pid, "No size", {10, 40, 300, 200}));
    CGWindowID wrongType = desktop.windows().add(spec(pid, "Wrong type", {70, 80, 300, 200}));
    CGWindowID noTitle = desktop.windows().add(spec(pid, "Gone", {90, 100, 300, 200}));
    override(noSize, AX::kAXSizeAttribute, std::nullopt);
    override(wrongType, AX::kAXPositionAttribute, CFType(platform::AXValue::create(kit::Size{70, 80})));
    override(noTitle, AX::kAXTitleAttribute, std::nullopt);

    EXPECT_EQ(list(), (std::vector<WindowEntry>{
                          {.id = noSize, .pid = pid, .title = "No size", .bounds = {}},
                          {.id = wrongType, .pid = pid, .title = "Wrong type", .bounds = {}},
                          {.id = noTitle, .pid = pid, .title = "", .bounds = {90, 100, 300, 200}},
                      }));
}

TEST_F(WindowListTest, OrderingsAndCurrentSpaceFirst) {
    add("beta", "AXStandardWindow", false, 40);
    add("Alpha", "AXStandardWindow", true, 30);
    add("gamma", "AXStandardWindow", true, 10);
    add("alpha", "AXStandardWindow", false, 20);
    Titles reported;   // as the application reports them
    for (const auto& window : this->reported()) reported.push_back(AX::string(window, "AXTitle").value_or(""));
    // Case is ignored; the two alphas keep the order they were reported in.
    Titles alphas;
    for (const auto& title : reported)
        if (title == "alpha" || title == "Alpha") alphas.push_back(title);
    ASSERT_EQ(alphas.size(), 2u);

    struct Row {
        std::int64_t order;
        bool spaceFront;
        Titles expected;
    };
    const Row rows[] = {
        {0, false, {"gamma", "alpha", "Alpha", "beta"}},
        {5, false, {"gamma", "alpha", "Alpha", "beta"}},   // unknown values order by creation
        {0, true, {"alpha", "beta", "gamma", "Alpha"}},    // minimized ones go last, in order
        {1, false, {alphas[0], alphas[1], "beta", "gamma"}},
        {1, true, {"alpha", "beta", "Alpha", "gamma"}},
        {2, false, reported},                              // appName keeps the application's order
    };
    for (const Row& row : rows) {
        order(row.order);
        spaceFront(row.spaceFront);
        EXPECT_EQ(titles(list(true)), row.expected) << "order " << row.order << (row.spaceFront ? ", space front" : "");
    }
}

}  // namespace
