#include <string>
#include <vector>

#include "kit/Button.h"
#include "sim/SimWorld.h"

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

// Panels at Cocoa (100, 100, 300, 200) on the 900-point-high display: top-left
// (100, 600, 300, 200).
class SimInput : public simtest::World {
protected:
    Log log;

    std::shared_ptr<platform::Panel> panel(std::uint64_t style, const std::string& name, kit::Rect tileFrame) {
        auto p = desktop.windowServer().makePanel({100, 100, 300, 200}, style, platform::NSBackingStoreBuffered, true);
        auto host = std::make_shared<kit::View>();
        p->setContentView(host);
        auto tile = std::make_shared<HoverView>(name, log);
        tile->setFrame(tileFrame);
        host->addSubview(tile);
        p->orderFrontRegardless();
        return p;
    }
};

TEST_F(SimInput, PointerAndClicksReachTheViewsOfTheTopmostWindow) {
    auto lower = panel(0, "lower", {0, 0, 300, 200});
    // The upper panel's tile fills its left half; a button sits in its top-left corner.
    auto upper = panel(platform::NSWindowStyleMaskNonactivatingPanel, "tile", {0, 0, 150, 200});
    upper->setLevel(platform::kCGDockWindowLevel + 1);
    auto button = std::make_shared<kit::Button>(kit::Rect{2, 180, 18, 18});
    button->setAction([this] { log.push_back("button"); });
    upper->contentView()->subviews().at(0)->addSubview(button);

    desktop.input().move({120, 700});   // into the tile
    desktop.input().move({130, 710});
    desktop.input().move({300, 700});   // the upper panel's right half: no tile of its own there
    EXPECT_EQ(log, (Log{"tile entered", "tile exited"}));

    // The button at global top-left (112, 610): it acts only on a release inside it.
    log.clear();
    desktop.input().click({112, 610});
    desktop.input().mouseDown({112, 610});
    desktop.input().mouseUp({140, 700});
    desktop.input().click({140, 700});
    EXPECT_EQ(log, (Log{"tile entered", "button", "tile up"}));
    // A non-activating panel leaves Durazizi in the background.
    EXPECT_FALSE(desktop.processes().info(desktop.ownProcess().pid())->frontmost);

    // A hidden window takes no pointer: the lower panel gets it now, and a
    // click in an ordinary panel activates Durazizi and makes the panel key.
    log.clear();
    upper->orderOut();
    desktop.input().click({140, 700});
    EXPECT_EQ(log, (Log{"tile exited", "lower entered", "lower up"}));
    EXPECT_TRUE(desktop.processes().info(desktop.ownProcess().pid())->frontmost);
    EXPECT_TRUE(desktop.ownWindows().list().front().key);
}

}  // namespace
