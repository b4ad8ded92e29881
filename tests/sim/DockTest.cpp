#include "sim/SimWorld.h"

namespace {

using namespace simtest;

// The Dock as the system reads it: the Dock process by bundle identifier,
// its one AXList child and that list's items.
class SimDock : public World {
protected:
    struct Tile {
        std::string subrole, title;
        kit::Rect frame;
        std::optional<std::string> url;
        bool operator==(const Tile&) const = default;
    };

    std::optional<platform::pid_t> dockPid() {
        auto docks = desktop.workspace().runningApplicationsWithBundleIdentifier("com.apple.dock");
        if (docks.empty()) return std::nullopt;
        return docks.front()->processIdentifier();
    }
    AX::Element list() {
        auto children = AX::children(ax.createApplication(dockPid().value_or(0)), "AXChildren");
        return children.size() == 1 && role(children[0]) == "AXList" ? children[0] : nullptr;
    }
    std::vector<AX::Element> items() { return AX::children(list(), "AXChildren"); }
    std::vector<Tile> tiles() {
        std::vector<Tile> out;
        for (const auto& e : items()) {
            CFType url;
            std::optional<std::string> text;
            if (ax.copyAttributeValue(e, "AXURL", &url) == platform::kAXErrorSuccess && url.url())
                text = url.url()->absoluteString;
            out.push_back({AX::string(e, "AXSubrole").value_or("?"), AX::string(e, "AXTitle").value_or("?"),
                           {AX::point(e, "AXPosition").value_or(kit::Point{}), AX::size(e, "AXSize").value_or(kit::Size{})},
                           text});
        }
        return out;
    }
    kit::Rect visibleFrame(std::size_t screen) { return desktop.screens().screens().at(screen).visibleFrame; }
};

TEST_F(SimDock, ItemsOfEveryKindInTheOrderTheyWereAdded) {
    desktop.screens().add({1440, 0, 1280, 800});
    // No Dock until one is asked for: no process, nothing cut from the screen.
    EXPECT_FALSE(dockPid());
    EXPECT_EQ(visibleFrame(0), kit::Rect(0, 0, 1440, 876));

    desktop.dock().setRunning(true, 64);
    ASSERT_TRUE(dockPid());
    EXPECT_EQ(desktop.dock().pid(), dockPid());
    // The Dock is a system process: applications still count up from 500.
    EXPECT_EQ(addApp("Editor"), 500);
    desktop.dock().addItem(sim::DockItemKind::Folder, "Downloads");
    desktop.dock().addItem(sim::DockItemKind::Separator, "");
    addApp("Hidden", true, /*inDock=*/false);
    addApp("Mail", /*running=*/false);
    desktop.dock().addItem(sim::DockItemKind::Minimized, "Letter");
    desktop.dock().addItem(sim::DockItemKind::Trash, "Trash");

    // 5 icons of 64, a 12-point separator and 5 gaps of 4: a row of 352, from x = 544.
    EXPECT_EQ(tiles(), (std::vector<Tile>{
                           {"AXApplicationDockItem", "Editor", {544, 828, 64, 64}, "file:///Applications/Editor.app/"},
                           {"AXFolderDockItem", "Downloads", {612, 828, 64, 64}, "file:///Users/user/Downloads/"},
                           {"AXSeparatorDockItem", "", {680, 828, 12, 64}, std::nullopt},
                           {"AXApplicationDockItem", "Mail", {696, 828, 64, 64}, "file:///Applications/Mail.app/"},
                           {"AXMinimizedWindowDockItem", "Letter", {764, 828, 64, 64}, std::nullopt},
                           {"AXTrashDockItem", "Trash", {832, 828, 64, 64}, std::nullopt},
                       }));
    EXPECT_EQ(desktop.dock().itemFrame("Mail"), kit::Rect(696, 828, 64, 64));
    for (const auto& item : items()) {
        EXPECT_EQ(role(item), "AXDockItem");
        EXPECT_EQ(role(AX::element(item, "AXParent").value_or(nullptr)), "AXList");
    }
    // Only the Dock's display loses the strip (64 + 16 points).
    EXPECT_EQ(visibleFrame(0), kit::Rect(0, 80, 1440, 796));
    EXPECT_EQ(visibleFrame(1), kit::Rect(1440, 100, 1280, 776));

    auto handle = desktop.workspace().runningApplicationsWithBundleIdentifier("com.apple.dock").at(0);
    desktop.dock().setRunning(false);
    EXPECT_FALSE(dockPid());
    EXPECT_TRUE(handle->isTerminated());
    EXPECT_EQ(visibleFrame(0), kit::Rect(0, 0, 1440, 876));
}

TEST_F(SimDock, RestartMakesANewProcessAndKillsTheOldElements) {
    addApp("Editor");
    desktop.dock().setRunning(true);
    const auto before = *dockPid();
    const auto oldList = list();
    const auto tilesBefore = tiles();

    desktop.dock().restart();
    EXPECT_NE(dockPid(), before);
    EXPECT_EQ(desktop.workspace().runningApplicationsWithBundleIdentifier("com.apple.dock").size(), 1u);
    EXPECT_EQ(read(ax.createApplication(before), "AXChildren"), platform::kAXErrorInvalidUIElement);
    EXPECT_EQ(read(oldList, "AXChildren"), platform::kAXErrorInvalidUIElement);
    EXPECT_EQ(tiles(), tilesBefore);
}

TEST_F(SimDock, AnItemStaysAfterItsAppQuitsAndAClickLaunchesItAgain) {
    const auto editor = addApp("Editor");
    const auto paint = addApp("Paint");
    desktop.dock().setRunning(true);
    const auto centre = [&](const char* title) { return desktop.dock().itemFrame(title)->center(); };

    desktop.processes().quit(editor);
    ASSERT_EQ(items().size(), 2u);
    EXPECT_FALSE(AX::boolValue(items()[0], "AXIsApplicationRunning"));
    // A click on a quit app's icon starts a new process of it, frontmost,
    // under the same item; on a running one it only activates.
    desktop.input().click(centre("Editor"));
    auto relaunched = desktop.processes().pidForName("Editor");
    ASSERT_TRUE(relaunched);
    EXPECT_NE(*relaunched, editor);
    EXPECT_TRUE(desktop.processes().info(*relaunched)->frontmost);
    EXPECT_EQ(items().size(), 2u);
    desktop.input().click(centre("Paint"));
    EXPECT_TRUE(desktop.processes().info(paint)->frontmost);

    // Pressed on one icon and released on another: nothing opens.
    desktop.input().mouseDown(centre("Editor"));
    desktop.input().mouseUp(centre("Paint"));
    EXPECT_TRUE(desktop.processes().info(paint)->frontmost);
}

TEST_F(SimDock, ElementAtPositionFindsTheItemUnderThePoint) {
    const auto editor = addApp("Editor");
    addApp("Paint");
    addWindow(editor, "Behind", {0, 500, 1440, 400});   // reaches down behind the Dock
    desktop.dock().setRunning(true);

    const struct {
        kit::Point point;
        const char* role;
        const char* title;
    } cases[] = {
        // Two icons: a row of 100 points from x = 670.
        {{670, 844}, "AXDockItem", "Editor"},   // the top-left corner belongs to the icon
        {{717.5, 891.5}, "AXDockItem", "Editor"},
        {{718, 860}, "AXList", nullptr},        // the gap between two icons
        {{722, 860}, "AXDockItem", "Paint"},
        {{20, 850}, "AXList", nullptr},         // the strip away from any icon
        {{20, 830}, "AXTextArea", nullptr},     // above the strip: the window
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.point.x << "," << c.point.y);
        const auto hit = at(c.point);
        EXPECT_EQ(role(hit), c.role);
        if (c.title) {
            EXPECT_EQ(AX::string(hit, "AXTitle"), c.title);
        }
    }
    // Asked of the Dock alone, a point off its strip has nothing; with the
    // Dock gone the window is what lies under the strip.
    AX::Element hit;
    EXPECT_EQ(ax.copyElementAtPosition(ax.createApplication(*dockPid()), 20, 300, &hit), platform::kAXErrorNoValue);
    desktop.dock().setRunning(false);
    EXPECT_EQ(role(at({650, 860})), "AXTextArea");
}

}  // namespace
