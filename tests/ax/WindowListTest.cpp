#include "ax/WindowList.h"

#include <gtest/gtest.h>

#include <map>

#include "ax/AX.h"
#include "support/InstalledDesktop.h"

namespace durazizi {
namespace {

using platform::CFType;
using platform::CGWindowID;

sim::AppSpec appSpec(const std::string& bundleId, const std::string& name) {
    sim::AppSpec spec;
    spec.bundleId = bundleId;
    spec.name = name;
    return spec;
}

sim::WindowSpec windowSpec(platform::pid_t pid, const std::string& title, kit::Rect frame = {100, 100, 800, 600}) {
    sim::WindowSpec spec;
    spec.pid = pid;
    spec.title = title;
    spec.frame = frame;
    return spec;
}

constexpr char kOrderKey[] = "window_preview_order";
constexpr char kSpaceFrontKey[] = "window_preview_order_spacefront";

std::vector<CGWindowID> ids(const std::vector<WindowEntry>& entries) {
    std::vector<CGWindowID> result;
    for (const WindowEntry& entry : entries) result.push_back(entry.id);
    return result;
}

std::vector<std::string> titles(const std::vector<WindowEntry>& entries) {
    std::vector<std::string> result;
    for (const WindowEntry& entry : entries) result.push_back(entry.title);
    return result;
}

class WindowListTest : public ::testing::Test {
protected:
    testsupport::InstalledDesktop installed;
    sim::Desktop& desktop = installed.desktop;
    platform::pid_t pid = 0;

    void SetUp() override {
        desktop.addScreen({0, 0, 1440, 900});
        desktop.setAccessibilityTrusted(true);
        pid = desktop.addApplication(appSpec("com.example.editor", "Editor"));
        order(0);   // creation order, which the sim's window numbers follow
    }

    void order(std::int64_t raw) { desktop.defaults().setInteger(raw, kOrderKey); }
    void spaceFront(bool on) { desktop.defaults().setBool(on, kSpaceFrontKey); }

    CGWindowID add(const std::string& title, const std::string& subrole = "AXStandardWindow",
                   bool minimized = false, std::optional<CGWindowID> id = std::nullopt) {
        sim::WindowSpec spec = windowSpec(pid, title);
        spec.id = id;
        spec.subrole = subrole;
        spec.minimized = minimized;
        return desktop.addWindow(spec);
    }

    std::vector<WindowEntry> list(bool includeMinimized = false, bool includePalettes = false) {
        return WindowList::windows(pid, includeMinimized, includePalettes);
    }

    std::vector<std::string> reportedTitles() {
        std::vector<std::string> result;
        auto application = platform::current().accessibility().createApplication(pid);
        for (const auto& window : AX::children(application, AX::kAXWindowsAttribute)) {
            result.push_back(AX::string(window, AX::kAXTitleAttribute).value_or(""));
        }
        return result;
    }

    // The order the application reports its windows in.
    std::vector<CGWindowID> reportedOrder() {
        std::vector<CGWindowID> result;
        auto& ax = platform::current().accessibility();
        for (const auto& window : AX::children(ax.createApplication(pid), AX::kAXWindowsAttribute)) {
            CGWindowID number = 0;
            ax.getWindow(window, &number);
            result.push_back(number);
        }
        return result;
    }
};

TEST_F(WindowListTest, EntriesDescribeTheWindows) {
    CGWindowID doc = desktop.addWindow(windowSpec(pid, "Report.txt", {120, 80, 700, 500}));
    sim::WindowSpec draft = windowSpec(pid, "Draft", {300, 200, 400, 300});
    draft.minimized = true;
    CGWindowID old = desktop.addWindow(draft);

    EXPECT_EQ(list(true), (std::vector<WindowEntry>{
                              {.id = doc, .pid = pid, .title = "Report.txt", .bounds = {120, 80, 700, 500}},
                              {.id = old, .pid = pid, .title = "Draft", .bounds = {300, 200, 400, 300}, .isOnScreen = false},
                          }));
    EXPECT_EQ(ids(list(false)), std::vector<CGWindowID>{doc});
    EXPECT_EQ(ids(list()), ids(WindowList::windows(pid, false, true)));
}

TEST_F(WindowListTest, OwnProcessIsNeverAsked) {
    desktop.takeAXCalls();
    EXPECT_TRUE(WindowList::windows(desktop.ownPid(), true, true).empty());
    EXPECT_EQ(desktop.takeAXCalls(), 0u);
}

TEST_F(WindowListTest, SilentProcessesListNothing) {
    add("Doc");
    EXPECT_TRUE(WindowList::windows(pid + 1000, true, true).empty()) << "no such process";
    desktop.setAccessibilityTrusted(false);
    EXPECT_TRUE(list(true, true).empty()) << "no Accessibility access";
    desktop.setAccessibilityTrusted(true);
    desktop.failAXRead(pid, AX::kAXWindowsAttribute);
    EXPECT_TRUE(list(true, true).empty()) << "windows unreadable";
    desktop.setAXDead(pid);
    EXPECT_TRUE(list(true, true).empty()) << "not answering";
}

TEST_F(WindowListTest, StrictPassFirstThenLenient) {
    struct Row {
        const char* name;
        std::vector<std::string> subroles;
        bool includePalettes;
        std::vector<std::size_t> listed;   // indexes into subroles
    };
    const std::vector<Row> rows = {
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
        testsupport::InstalledDesktop world;
        world.desktop.addScreen({0, 0, 1440, 900});
        world.desktop.setAccessibilityTrusted(true);
        world.desktop.defaults().setInteger(0, kOrderKey);
        pid = world.desktop.addApplication(appSpec("com.example.odd", "Odd"));
        std::vector<CGWindowID> made;
        for (const std::string& subrole : row.subroles) {
            sim::WindowSpec spec = windowSpec(pid, subrole);
            spec.subrole = subrole;
            made.push_back(world.desktop.addWindow(spec));
        }
        std::vector<CGWindowID> expected;
        for (std::size_t index : row.listed) expected.push_back(made[index]);
        EXPECT_EQ(ids(list(false, row.includePalettes)), expected) << row.name;
    }
    platform::install(&desktop);
}

TEST_F(WindowListTest, OnlyElementsWithTheWindowRoleAreCandidates) {
    CGWindowID sheet = add("Sheet");
    CGWindowID mute = add("Mute");
    CGWindowID odd = add("Odd", "AXUnknown");
    desktop.overrideAttribute({.pid = pid, .window = sheet}, AX::kAXRoleAttribute, CFType("AXSheet"));
    desktop.overrideAttribute({.pid = pid, .window = mute}, AX::kAXRoleAttribute, std::nullopt);
    // Unreadable subroles read as the empty one, which the lenient pass takes.
    desktop.overrideAttribute({.pid = pid, .window = odd}, AX::kAXSubroleAttribute, std::nullopt);

    EXPECT_EQ(ids(list(true, true)), std::vector<CGWindowID>{odd});
}

TEST_F(WindowListTest, MinimizedWindows) {
    CGWindowID hidden = add("Hidden", "AXStandardWindow", true);
    CGWindowID panel = add("Panel", "AXUnknown");

    // The strict pass finds only the minimized window and leaves it out; the
    // lenient pass leaves it out too.
    EXPECT_EQ(ids(list(false)), std::vector<CGWindowID>{panel});
    auto all = list(true);
    ASSERT_EQ(ids(all), std::vector<CGWindowID>{hidden});
    EXPECT_FALSE(all[0].isOnScreen);

    // Only a number counts as minimized; anything else reads as on screen.
    desktop.overrideAttribute({.pid = pid, .window = hidden}, AX::kAXMinimizedAttribute, CFType("yes"));
    EXPECT_EQ(ids(list(false)), std::vector<CGWindowID>{hidden});
    desktop.overrideAttribute({.pid = pid, .window = hidden}, AX::kAXMinimizedAttribute, CFType(platform::CFNumber{1}));
    EXPECT_EQ(ids(list(false)), std::vector<CGWindowID>{panel});
    desktop.overrideAttribute({.pid = pid, .window = hidden}, AX::kAXMinimizedAttribute, std::nullopt);
    all = list(false);
    ASSERT_EQ(ids(all), std::vector<CGWindowID>{hidden});
    EXPECT_TRUE(all[0].isOnScreen);
}

TEST_F(WindowListTest, WindowNumbers) {
    std::map<std::string, CGWindowID> made;
    for (const char* title : {"First", "Twin", "Lost", "Zero", "Last"}) made[title] = add(title);
    desktop.overrideWindowNumber(made["Twin"], made["First"]);
    desktop.overrideWindowNumber(made["Lost"], std::nullopt);
    desktop.overrideWindowNumber(made["Zero"], 0);

    // Of the two elements with one number, the one the application reports
    // first wins.
    std::vector<std::string> twins;
    for (const std::string& title : reportedTitles()) {
        if (title == "First" || title == "Twin") twins.push_back(title);
    }
    ASSERT_EQ(twins.size(), 2u);
    auto entries = list(true);
    EXPECT_EQ(titles(entries), (std::vector<std::string>{twins[0], "Last"}));
    EXPECT_EQ(ids(entries), (std::vector<CGWindowID>{made["First"], made["Last"]}));

    // A minimized element left out does not claim its number.
    desktop.overrideAttribute({.pid = pid, .window = made[twins[0]]}, AX::kAXMinimizedAttribute, CFType(true));
    entries = list(false);
    EXPECT_EQ(titles(entries), (std::vector<std::string>{twins[1], "Last"}));
    EXPECT_EQ(ids(entries), (std::vector<CGWindowID>{made["First"], made["Last"]}));
}

TEST_F(WindowListTest, UnreadableDetailsKeepTheWindow) {
    CGWindowID noSize = desktop.addWindow(windowSpec(pid, "No size", {10, 40, 300, 200}));
    CGWindowID noPosition = desktop.addWindow(windowSpec(pid, "No position", {50, 60, 300, 200}));
    CGWindowID wrongType = desktop.addWindow(windowSpec(pid, "Wrong type", {70, 80, 300, 200}));
    CGWindowID noTitle = desktop.addWindow(windowSpec(pid, "Gone", {90, 100, 300, 200}));
    desktop.overrideAttribute({.pid = pid, .window = noSize}, AX::kAXSizeAttribute, std::nullopt);
    desktop.overrideAttribute({.pid = pid, .window = noPosition}, AX::kAXPositionAttribute, std::nullopt);
    desktop.overrideAttribute({.pid = pid, .window = wrongType}, AX::kAXPositionAttribute,
                              CFType(platform::AXValue::create(kit::Size{70, 80})));
    desktop.overrideAttribute({.pid = pid, .window = noTitle}, AX::kAXTitleAttribute, std::nullopt);

    EXPECT_EQ(list(), (std::vector<WindowEntry>{
                          {.id = noSize, .pid = pid, .title = "No size", .bounds = {}},
                          {.id = noPosition, .pid = pid, .title = "No position", .bounds = {}},
                          {.id = wrongType, .pid = pid, .title = "Wrong type", .bounds = {}},
                          {.id = noTitle, .pid = pid, .title = "", .bounds = {90, 100, 300, 200}},
                      }));
}

TEST_F(WindowListTest, Orderings) {
    add("beta", "AXStandardWindow", false, 40);
    add("Alpha", "AXStandardWindow", false, 30);
    add("gamma", "AXStandardWindow", false, 10);
    add("alpha", "AXStandardWindow", false, 20);
    const std::vector<CGWindowID> reported = reportedOrder();

    order(2);
    EXPECT_EQ(ids(list()), reported) << "appName keeps the application's order";
    order(0);
    EXPECT_EQ(ids(list()), (std::vector<CGWindowID>{10, 20, 30, 40}));
    order(5);
    EXPECT_EQ(ids(list()), (std::vector<CGWindowID>{10, 20, 30, 40})) << "unknown values order by creation";

    // Case is ignored; the two alphas keep the order they were reported in.
    order(1);
    std::vector<std::string> alphas;
    for (CGWindowID id : reported) {
        if (id == 20) alphas.push_back("alpha");
        if (id == 30) alphas.push_back("Alpha");
    }
    EXPECT_EQ(titles(list()), (std::vector<std::string>{alphas[0], alphas[1], "beta", "gamma"}));
}

TEST_F(WindowListTest, CurrentSpaceFirst) {
    add("A", "AXStandardWindow", true, 7);
    add("B", "AXStandardWindow", false, 3);
    add("C", "AXStandardWindow", false, 5);
    add("D", "AXStandardWindow", true, 2);
    order(0);

    spaceFront(true);
    EXPECT_EQ(titles(list(true)), (std::vector<std::string>{"B", "C", "D", "A"}));
    spaceFront(false);
    EXPECT_EQ(titles(list(true)), (std::vector<std::string>{"D", "B", "C", "A"}));

    order(1);
    spaceFront(true);
    EXPECT_EQ(titles(list(true)), (std::vector<std::string>{"B", "C", "A", "D"}));
}

TEST(WindowListCompare, FoldsCaseAcrossScripts) {
    struct Row {
        const char* a;
        const char* b;
        int sign;
    };
    const std::vector<Row> rows = {
        {"alpha", "Beta", -1},
        {"ALPHA", "alpha", 0},
        {"a", "ab", -1},
        {"", "", 0},
        {"Émile", "émile", 0},
        {"émile", "Zoe", 1},                  // code-point order, not the locale's
        {"ΩMEGA", "ωmega", 0},
        {"Привет", "ПРИВЕТ", 0},
        {"Łódź", "łÓDŹ", 0},
        {"\xff\xfe", "\xff\xfe", 0},         // not UTF-8: still one answer
        {"a\xff", "A\xfe", 1},
        {"x\xe2\x82", "x\xe2\x82y", -1},  // a truncated sequence
    };
    for (const Row& row : rows) {
        int forward = WindowList::caseInsensitiveCompare(row.a, row.b);
        int backward = WindowList::caseInsensitiveCompare(row.b, row.a);
        EXPECT_EQ((forward > 0) - (forward < 0), row.sign) << row.a << " vs " << row.b;
        EXPECT_EQ((backward > 0) - (backward < 0), -row.sign) << row.b << " vs " << row.a;
    }
}

}  // namespace
}  // namespace durazizi
