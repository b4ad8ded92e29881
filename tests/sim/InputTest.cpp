#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kit/Button.h"
#include "support/InstalledDesktop.h"

namespace {

using Log = std::vector<std::string>;

// A view that tracks its whole bounds, always active, as the preview tiles do.
class HoverView : public kit::View {
public:
    HoverView(std::string name, Log& log) : name_(std::move(name)), log_(log) {}

    void updateTrackingAreas() override {
        for (auto area : std::vector<kit::TrackingAreaRef>(trackingAreas())) removeTrackingArea(area);
        addTrackingArea(kit::TrackingArea::make(
            bounds(), kit::TrackingArea::MouseEnteredAndExited | kit::TrackingArea::ActiveAlways));
    }
    void mouseEntered(const kit::MouseEvent&) override { log_.push_back(name_ + " entered"); }
    void mouseExited(const kit::MouseEvent&) override { log_.push_back(name_ + " exited"); }
    void mouseUp(const kit::MouseEvent&) override { log_.push_back(name_ + " up"); }

private:
    std::string name_;
    Log& log_;
};

// A panel at Cocoa (100, 100, 300, 200) on a 900-point-high display: top-left
// (100, 600, 300, 200). The tile fills its left half; the button sits in the
// tile's top-left corner.
struct PanelWorld {
    testsupport::InstalledDesktop world;
    sim::Desktop& desktop = world.desktop;
    Log log;
    std::shared_ptr<platform::Panel> panel;
    std::shared_ptr<HoverView> tile;
    std::shared_ptr<kit::Button> button;

    PanelWorld() {
        desktop.addScreen({0, 0, 1440, 900});
        panel = desktop.windowServer().makePanel({100, 100, 300, 200}, platform::NSWindowStyleMaskNonactivatingPanel,
                                                 platform::NSBackingStoreBuffered, true);
        panel->setLevel(platform::kCGDockWindowLevel + 1);
        auto host = std::make_shared<kit::View>();
        panel->setContentView(host);
        tile = std::make_shared<HoverView>("tile", log);
        tile->setFrame({0, 0, 150, 200});
        host->addSubview(tile);
        button = std::make_shared<kit::Button>(kit::Rect{2, 180, 18, 18});
        button->setAction([this] { log.push_back("button"); });
        tile->addSubview(button);
        panel->orderFrontRegardless();
    }
};

TEST(SimInput, PointerDrivesTrackingAreasOfTheWindowUnderIt) {
    PanelWorld w;
    w.desktop.movePointer({50, 50});
    EXPECT_TRUE(w.log.empty());

    w.desktop.movePointer({120, 700});   // into the tile
    w.desktop.movePointer({130, 710});
    EXPECT_EQ(w.log, Log{"tile entered"});
    w.desktop.movePointer({300, 700});   // the panel's right half
    EXPECT_EQ(w.log, (Log{"tile entered", "tile exited"}));
    w.desktop.movePointer({120, 700});
    w.desktop.movePointer({50, 700});    // straight out of the window
    EXPECT_EQ(w.log, (Log{"tile entered", "tile exited", "tile entered", "tile exited"}));

    // A hidden window takes no pointer.
    w.log.clear();
    w.panel->orderOut();
    w.desktop.movePointer({120, 700});
    EXPECT_TRUE(w.log.empty());
}

TEST(SimInput, ClicksReachTheViewsOfTheTopmostWindow) {
    PanelWorld w;
    // The button: window point (12, 190), global top-left (112, 610).
    w.desktop.click({112, 610});
    EXPECT_EQ(w.log, (Log{"tile entered", "button"}));

    // Released outside the button: no action. Elsewhere on the tile: the tile's mouseUp.
    w.log.clear();
    w.desktop.mouseDown({112, 610});
    w.desktop.mouseUp({140, 700});
    EXPECT_EQ(w.log, Log{});
    w.desktop.click({140, 700});
    EXPECT_EQ(w.log, Log{"tile up"});

    // A second panel of a lower level under the same point gets nothing.
    Log lowerLog;
    auto lower = w.desktop.windowServer().makePanel({100, 100, 300, 200}, 0, platform::NSBackingStoreBuffered, true);
    auto lowerTile = std::make_shared<HoverView>("lower", lowerLog);
    lowerTile->setFrame({0, 0, 300, 200});
    lower->setContentView(lowerTile);
    lower->orderFrontRegardless();
    w.log.clear();
    w.desktop.click({140, 700});
    EXPECT_EQ(w.log, Log{"tile up"});
    EXPECT_TRUE(lowerLog.empty());

    // A non-activating panel leaves Durazizi in the background.
    auto own = w.desktop.application(w.desktop.ownPid());
    EXPECT_FALSE(own->frontmost);

    // With the upper panel gone, the lower one is under the pointer; a click
    // in an ordinary panel activates Durazizi and makes the panel key.
    w.panel->orderOut();
    w.desktop.click({140, 700});
    EXPECT_EQ(lowerLog, (Log{"lower entered", "lower up"}));
    EXPECT_TRUE(w.desktop.application(w.desktop.ownPid())->frontmost);
    EXPECT_TRUE(w.desktop.ownWindows().front().key);
}

TEST(SimInput, ClicksElsewhereGoToTheSimulatedApplications) {
    testsupport::InstalledDesktop world;
    sim::Desktop& desktop = world.desktop;
    desktop.addScreen({0, 0, 1440, 900});
    sim::AppSpec editorSpec;
    editorSpec.bundleId = "com.example.Editor";
    editorSpec.name = "Editor";
    sim::AppSpec paintSpec = editorSpec;
    paintSpec.bundleId = "com.example.Paint";
    paintSpec.name = "Paint";
    auto editor = desktop.addApplication(editorSpec);
    auto paint = desktop.addApplication(paintSpec);
    sim::WindowSpec spec;
    spec.pid = editor;
    spec.title = "Notes";
    spec.frame = {100, 100, 400, 300};
    auto notes = desktop.addWindow(spec);
    spec.pid = paint;
    spec.title = "Canvas";
    spec.frame = {300, 200, 400, 300};
    auto canvas = desktop.addWindow(spec);
    desktop.setFrontmost(paint, canvas);

    // Pressed on the canvas's close button and released away from it: nothing closes.
    const kit::Point canvasClose{300 + 8 + 7, 200 + 4 + 7};
    desktop.mouseDown(canvasClose);
    desktop.mouseUp({600, 450});
    EXPECT_TRUE(desktop.window(canvas).exists);

    // Notes shows at (150, 150), outside the canvas: a click there raises it,
    // and now it covers the canvas's close button.
    desktop.click({150, 150});
    EXPECT_TRUE(desktop.window(notes).focused);
    EXPECT_EQ(desktop.windows().front().id, notes);
    EXPECT_TRUE(desktop.application(editor)->frontmost);
    desktop.click(canvasClose);
    EXPECT_TRUE(desktop.window(canvas).exists);
    EXPECT_TRUE(desktop.window(notes).focused);

    // Raised again, the canvas's close button closes it; its app came forward on the press.
    desktop.click({600, 450});
    EXPECT_TRUE(desktop.window(canvas).focused);
    desktop.click(canvasClose);
    EXPECT_FALSE(desktop.window(canvas).exists);
    EXPECT_TRUE(desktop.application(paint)->frontmost);

    // The desktop itself takes a click without effect.
    desktop.click({1200, 800});
    EXPECT_TRUE(desktop.application(paint)->frontmost);
    EXPECT_FALSE(desktop.window(notes).focused);
}

}  // namespace
