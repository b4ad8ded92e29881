#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "support/InstalledDesktop.h"

namespace {

using platform::AXUIElementRef;
using platform::CFType;

sim::AppSpec app(std::string bundleId, std::string name, bool running = true, bool inDock = true) {
    sim::AppSpec spec;
    spec.bundleId = std::move(bundleId);
    spec.name = std::move(name);
    spec.running = running;
    spec.inDock = inDock;
    return spec;
}

// One Dock tile as another application reads it through accessibility.
struct Tile {
    std::string subrole;
    std::string title;
    kit::Rect frame;
    std::optional<std::string> url;
};

// The Dock as the system reads it: the Dock process by bundle identifier,
// its application element, the AXList child and that list's items.
class DockReader {
public:
    explicit DockReader(platform::Platform& p) : p_(p) {}

    std::optional<platform::pid_t> pid() {
        auto docks = p_.workspace().runningApplicationsWithBundleIdentifier("com.apple.dock");
        if (docks.empty()) return std::nullopt;
        return docks.front()->processIdentifier();
    }

    AXUIElementRef list(platform::pid_t pid) {
        CFType children;
        if (p_.accessibility().copyAttributeValue(p_.accessibility().createApplication(pid), "AXChildren",
                                                  &children) != platform::kAXErrorSuccess)
            return nullptr;
        if (!children.array() || children.array()->size() != 1) return nullptr;
        const AXUIElementRef* element = children.array()->front().element();
        if (!element || string(*element, "AXRole") != "AXList") return nullptr;
        return *element;
    }

    std::vector<AXUIElementRef> items(const AXUIElementRef& list) {
        std::vector<AXUIElementRef> out;
        CFType children;
        if (p_.accessibility().copyAttributeValue(list, "AXChildren", &children) != platform::kAXErrorSuccess)
            return out;
        for (const CFType& child : *children.array()) out.push_back(*child.element());
        return out;
    }

    std::string string(const AXUIElementRef& e, const std::string& attribute) {
        CFType value;
        if (p_.accessibility().copyAttributeValue(e, attribute, &value) != platform::kAXErrorSuccess) return "<error>";
        return value.string() ? *value.string() : "<not text>";
    }

    Tile tile(const AXUIElementRef& e) {
        Tile t;
        t.subrole = string(e, "AXSubrole");
        t.title = string(e, "AXTitle");
        CFType position, size, url;
        p_.accessibility().copyAttributeValue(e, "AXPosition", &position);
        p_.accessibility().copyAttributeValue(e, "AXSize", &size);
        kit::Point origin;
        kit::Size extent;
        EXPECT_TRUE(position.axValue() && platform::AXValueGetValue(*position.axValue(), platform::kAXValueCGPointType, &origin));
        EXPECT_TRUE(size.axValue() && platform::AXValueGetValue(*size.axValue(), platform::kAXValueCGSizeType, &extent));
        t.frame = {origin, extent};
        if (p_.accessibility().copyAttributeValue(e, "AXURL", &url) == platform::kAXErrorSuccess && url.url())
            t.url = url.url()->absoluteString;
        return t;
    }

    std::vector<Tile> tiles() {
        std::vector<Tile> out;
        auto dock = pid();
        if (!dock) return out;
        auto l = list(*dock);
        if (!l) return out;
        for (const auto& item : items(l)) out.push_back(tile(item));
        return out;
    }

private:
    platform::Platform& p_;
};

TEST(SimDock, ThreeApplicationsAlongTheBottomOfThePrimaryDisplay) {
    testsupport::InstalledDesktop world;
    sim::Desktop& desktop = world.desktop;
    desktop.addScreen({0, 0, 1440, 900});
    desktop.addApplication(app("com.example.Editor", "Editor"));
    desktop.addApplication(app("com.example.Paint", "Paint"));
    desktop.addApplication(app("com.example.Mail", "Mail", false));
    DockReader reader(desktop);

    // No Dock until one is asked for: no process, nothing cut from the screen.
    EXPECT_FALSE(reader.pid());
    EXPECT_FALSE(desktop.dockPid());
    EXPECT_FALSE(desktop.dockItemFrame("Editor"));
    EXPECT_EQ(desktop.screens().screens().at(0).visibleFrame, kit::Rect(0, 0, 1440, 876));

    desktop.setDock(true);
    ASSERT_TRUE(reader.pid());
    EXPECT_EQ(reader.pid(), desktop.dockPid());
    auto dockApp = desktop.workspace().runningApplicationsWithBundleIdentifier("com.apple.dock").front();
    EXPECT_EQ(dockApp->localizedName(), "Dock");
    EXPECT_FALSE(dockApp->isTerminated());

    auto tiles = reader.tiles();
    ASSERT_EQ(tiles.size(), 3u);
    const char* names[] = {"Editor", "Paint", "Mail"};
    const kit::Rect frames[] = {{644, 844, 48, 48}, {696, 844, 48, 48}, {748, 844, 48, 48}};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(names[i]);
        EXPECT_EQ(tiles[i].subrole, "AXApplicationDockItem");
        EXPECT_EQ(tiles[i].title, names[i]);
        EXPECT_EQ(tiles[i].frame, frames[i]);
        EXPECT_EQ(tiles[i].url, "file:///Applications/" + std::string(names[i]) + ".app/");
        EXPECT_EQ(desktop.dockItemFrame(names[i]), frames[i]);
    }
    // The visible frame leaves out the menu bar and the 64-point Dock strip.
    EXPECT_EQ(desktop.screens().screens().at(0).visibleFrame, kit::Rect(0, 64, 1440, 812));

    // Every item's parent is the list, and the list's parent the Dock itself.
    auto list = reader.list(*reader.pid());
    for (const auto& item : reader.items(list)) {
        CFType parent;
        ASSERT_EQ(desktop.accessibility().copyAttributeValue(item, "AXParent", &parent), platform::kAXErrorSuccess);
        EXPECT_EQ(reader.string(*parent.element(), "AXRole"), "AXList");
        EXPECT_EQ(reader.string(item, "AXRole"), "AXDockItem");
    }

    desktop.setDock(false);
    EXPECT_FALSE(reader.pid());
    EXPECT_TRUE(dockApp->isTerminated());
    EXPECT_EQ(desktop.screens().screens().at(0).visibleFrame, kit::Rect(0, 0, 1440, 876));
}

TEST(SimDock, ItemsOfEveryKindInTheOrderTheyWereAdded) {
    testsupport::InstalledDesktop world;
    sim::Desktop& desktop = world.desktop;
    desktop.addScreen({0, 0, 1440, 900});
    desktop.addScreen({1440, 0, 1280, 800});
    desktop.setDock(true, 64);
    // The Dock is a system process: applications still count up from 500.
    EXPECT_EQ(desktop.addApplication(app("com.example.Editor", "Editor")), 500);
    desktop.addDockItem(sim::DockItemKind::Folder, "Downloads");
    desktop.addDockItem(sim::DockItemKind::Separator, "");
    desktop.addApplication(app("com.example.Hidden", "Hidden", true, false));   // no Dock item
    desktop.addApplication(app("com.example.Paint", "Paint"));
    desktop.addDockItem(sim::DockItemKind::Minimized, "Letter");
    desktop.addDockItem(sim::DockItemKind::Trash, "Trash");

    auto tiles = DockReader(desktop).tiles();
    struct Expected {
        const char* subrole;
        const char* title;
        kit::Rect frame;
        std::optional<std::string> url;
    };
    // 5 icons of 64, a 12-point separator and 5 gaps of 4: a row of 352, from x = 544.
    const Expected expected[] = {
        {"AXApplicationDockItem", "Editor", {544, 828, 64, 64}, "file:///Applications/Editor.app/"},
        {"AXFolderDockItem", "Downloads", {612, 828, 64, 64}, "file:///Users/user/Downloads/"},
        {"AXSeparatorDockItem", "", {680, 828, 12, 64}, std::nullopt},
        {"AXApplicationDockItem", "Paint", {696, 828, 64, 64}, "file:///Applications/Paint.app/"},
        {"AXMinimizedWindowDockItem", "Letter", {764, 828, 64, 64}, std::nullopt},
        {"AXTrashDockItem", "Trash", {832, 828, 64, 64}, std::nullopt},
    };
    ASSERT_EQ(tiles.size(), std::size(expected));
    for (std::size_t i = 0; i < tiles.size(); ++i) {
        SCOPED_TRACE(expected[i].title);
        EXPECT_EQ(tiles[i].subrole, expected[i].subrole);
        EXPECT_EQ(tiles[i].title, expected[i].title);
        EXPECT_EQ(tiles[i].frame, expected[i].frame);
        EXPECT_EQ(tiles[i].url, expected[i].url);
    }
    // Only the Dock's display loses the strip (64 + 16 points).
    auto screens = desktop.screens().screens();
    EXPECT_EQ(screens.at(0).visibleFrame, kit::Rect(0, 80, 1440, 796));
    EXPECT_EQ(screens.at(1).visibleFrame, kit::Rect(1440, 100, 1280, 776));
}

TEST(SimDock, RestartMakesANewProcessAndKillsTheOldElements) {
    testsupport::InstalledDesktop world;
    sim::Desktop& desktop = world.desktop;
    desktop.addScreen({0, 0, 1440, 900});
    desktop.addApplication(app("com.example.Editor", "Editor"));
    desktop.addApplication(app("com.example.Paint", "Paint"));
    desktop.setDock(true);
    DockReader reader(desktop);
    auto& ax = desktop.accessibility();

    platform::pid_t before = *reader.pid();
    auto oldHandle = desktop.workspace().runningApplicationsWithBundleIdentifier("com.apple.dock").front();
    AXUIElementRef oldApp = ax.createApplication(before);
    AXUIElementRef oldList = reader.list(before);
    AXUIElementRef oldItem = reader.items(oldList).front();
    auto tilesBefore = reader.tiles();

    desktop.restartDock();
    platform::pid_t after = *reader.pid();
    EXPECT_NE(after, before);
    EXPECT_EQ(desktop.dockPid(), after);
    EXPECT_TRUE(oldHandle->isTerminated());
    EXPECT_EQ(desktop.workspace().runningApplicationsWithBundleIdentifier("com.apple.dock").size(), 1u);

    CFType value;
    EXPECT_EQ(ax.copyAttributeValue(oldApp, "AXChildren", &value), platform::kAXErrorInvalidUIElement);
    EXPECT_EQ(ax.copyAttributeValue(oldList, "AXChildren", &value), platform::kAXErrorInvalidUIElement);
    EXPECT_EQ(ax.copyAttributeValue(oldItem, "AXTitle", &value), platform::kAXErrorInvalidUIElement);

    auto tilesAfter = reader.tiles();
    ASSERT_EQ(tilesAfter.size(), tilesBefore.size());
    for (std::size_t i = 0; i < tilesAfter.size(); ++i) {
        EXPECT_EQ(tilesAfter[i].title, tilesBefore[i].title);
        EXPECT_EQ(tilesAfter[i].frame, tilesBefore[i].frame);
    }
}

TEST(SimDock, AnItemStaysAfterItsAppQuitsAndAClickLaunchesItAgain) {
    testsupport::InstalledDesktop world;
    sim::Desktop& desktop = world.desktop;
    desktop.addScreen({0, 0, 1440, 900});
    platform::pid_t editor = desktop.addApplication(app("com.example.Editor", "Editor"));
    platform::pid_t paint = desktop.addApplication(app("com.example.Paint", "Paint"));
    platform::pid_t mail = desktop.addApplication(app("com.example.Mail", "Mail", false));
    desktop.setDock(true);
    DockReader reader(desktop);
    auto list = reader.list(*reader.pid());

    desktop.quitApplication(editor);
    auto items = reader.items(list);
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(reader.string(items[0], "AXTitle"), "Editor");
    CFType isRunning;
    ASSERT_EQ(desktop.accessibility().copyAttributeValue(items[0], "AXIsApplicationRunning", &isRunning),
              platform::kAXErrorSuccess);
    EXPECT_FALSE(isRunning.numberBoolValue());

    // A click on a quit app's icon starts a new process of it, frontmost.
    desktop.click(desktop.dockItemFrame("Editor")->center());
    auto relaunched = desktop.pidForName("Editor");
    ASSERT_TRUE(relaunched);
    EXPECT_NE(*relaunched, editor);
    EXPECT_TRUE(desktop.application(*relaunched)->running);
    EXPECT_TRUE(desktop.application(*relaunched)->frontmost);
    EXPECT_EQ(reader.items(list).size(), 3u);   // the same item, not a second one

    // An installed app that never ran starts as itself; a running one only activates.
    desktop.click(desktop.dockItemFrame("Mail")->center());
    EXPECT_TRUE(desktop.application(mail)->running);
    EXPECT_TRUE(desktop.application(mail)->frontmost);
    desktop.click(desktop.dockItemFrame("Paint")->center());
    EXPECT_TRUE(desktop.application(paint)->frontmost);
    EXPECT_FALSE(desktop.application(mail)->frontmost);

    // Pressed on one icon and released on another: nothing opens.
    desktop.mouseDown(desktop.dockItemFrame("Mail")->center());
    desktop.mouseUp(desktop.dockItemFrame("Editor")->center());
    EXPECT_TRUE(desktop.application(paint)->frontmost);
}

TEST(SimDock, ElementAtPositionFindsTheItemUnderThePoint) {
    testsupport::InstalledDesktop world;
    sim::Desktop& desktop = world.desktop;
    desktop.addScreen({0, 0, 1440, 900});
    platform::pid_t editor = desktop.addApplication(app("com.example.Editor", "Editor"));
    desktop.addApplication(app("com.example.Paint", "Paint"));
    // A window reaching down behind the Dock: the Dock is above it.
    sim::WindowSpec behind;
    behind.pid = editor;
    behind.title = "Behind";
    behind.frame = {0, 500, 1440, 400};
    desktop.addWindow(behind);
    desktop.setDock(true);
    DockReader reader(desktop);
    auto& ax = desktop.accessibility();
    auto systemWide = ax.createSystemWide();

    struct Case {
        kit::Point point;
        const char* role;
        const char* title;
    };
    const Case cases[] = {
        // Two icons: a row of 100 points from x = 670.
        {{670, 844}, "AXDockItem", "Editor"},   // the top-left corner belongs to the icon
        {{717.5, 891.5}, "AXDockItem", "Editor"},
        {{718, 860}, "AXList", nullptr},        // the gap between two icons
        {{722, 860}, "AXDockItem", "Paint"},
        {{20, 850}, "AXList", nullptr},         // the strip away from any icon
        {{20, 830}, "AXTextArea", nullptr},     // above the strip: the window
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.point.x << "," << c.point.y);
        AXUIElementRef hit;
        ASSERT_EQ(ax.copyElementAtPosition(systemWide, static_cast<float>(c.point.x), static_cast<float>(c.point.y), &hit),
                  platform::kAXErrorSuccess);
        EXPECT_EQ(reader.string(hit, "AXRole"), c.role);
        if (c.title) {
            EXPECT_EQ(reader.string(hit, "AXTitle"), c.title);
        }
    }

    // Asked of the Dock alone, a point off its strip has nothing.
    AXUIElementRef hit;
    EXPECT_EQ(ax.copyElementAtPosition(ax.createApplication(*reader.pid()), 20, 300, &hit), platform::kAXErrorNoValue);
    // With the Dock gone the window is what lies there.
    desktop.setDock(false);
    ASSERT_EQ(ax.copyElementAtPosition(systemWide, 650, 860, &hit), platform::kAXErrorSuccess);
    EXPECT_EQ(reader.string(hit, "AXRole"), "AXTextArea");
}

}  // namespace
