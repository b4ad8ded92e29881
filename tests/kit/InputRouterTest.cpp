#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kit/Button.h"
#include "kit/FlippedView.h"
#include "kit/ImageView.h"
#include "kit/ViewInput.h"

namespace {

using kit::Point;
using kit::Rect;
using kit::TrackingArea;
using Log = std::vector<std::string>;

// A tile as the preview panel builds it: one tracking area over its bounds,
// replaced whenever the host asks, a close box shown while hovered, and a
// click on the tile (or anything in it that does not handle clicks) logged.
class Tile : public kit::View {
public:
    Tile(std::string name, Log& log) : name_(std::move(name)), log_(log) {
        image->setFrame({4, 20, 92, 36});
        closeButton->setFrame({2, 40, 18, 18});
        closeButton->setHidden(true);
        closeButton->setAction([this] {
            log_.push_back(name_ + " close");
            if (onClose) onClose(title);   // by reference, as a tile hands over its entry
        });
        addSubview(image);
        addSubview(closeButton);
    }

    void updateTrackingAreas() override {
        for (auto area : std::vector(trackingAreas())) removeTrackingArea(area);
        area = TrackingArea::make(bounds(), TrackingArea::MouseEnteredAndExited | TrackingArea::ActiveAlways);
        addTrackingArea(area);
        ++trackingUpdates;
    }
    void mouseEntered(const kit::MouseEvent&) override {
        log_.push_back(name_ + " entered");
        closeButton->setHidden(false);
    }
    void mouseExited(const kit::MouseEvent&) override {
        log_.push_back(name_ + " exited");
        closeButton->setHidden(true);
    }
    void mouseUp(const kit::MouseEvent&) override { log_.push_back(name_ + " up"); }

    std::shared_ptr<kit::ImageView> image = std::make_shared<kit::ImageView>();
    std::shared_ptr<kit::Button> closeButton = std::make_shared<kit::Button>();
    std::shared_ptr<TrackingArea> area;
    std::function<void(const std::string&)> onClose;
    std::string title = "A window title too long to be stored inline";
    int trackingUpdates = 0;

private:
    std::string name_;
    Log& log_;
};

// Two 100 x 60 tiles in a flipped grid with a 10-point gap, in a 232 x 84
// window: tile A spans window x 12..112, tile B 122..222, both y 12..72.
struct Panel {
    Log log;
    std::shared_ptr<kit::View> host = std::make_shared<kit::View>(Rect{0, 0, 232, 84});
    std::shared_ptr<kit::FlippedView> grid = std::make_shared<kit::FlippedView>(Rect{0, 0, 232, 84});
    std::shared_ptr<Tile> a = std::make_shared<Tile>("A", log);
    std::shared_ptr<Tile> b = std::make_shared<Tile>("B", log);
    kit::InputRouter router{host};

    Panel() {
        host->addSubview(grid);
        grid->addSubview(a);
        grid->addSubview(b);
        a->setFrame({12, 12, 100, 60});
        b->setFrame({122, 12, 100, 60});
    }

    static constexpr Point inA{50, 40}, inA2{60, 30}, gap{117, 40}, inB{170, 40}, outside{5, 5};
    // The close box's centre in window coordinates, for a tile at x0.
    static Point closeBoxOf(double x0) { return {x0 + 11, 12 + 49}; }
};

TEST(InputRouter, EnterAndExitFollowThePointerAcrossTilesAndTheirEdges) {
    Panel p;
    p.router.pointerMoved(Panel::outside);
    p.router.pointerMoved(Panel::inA);
    p.router.pointerMoved(Panel::inA2);   // moving within: nothing new
    EXPECT_FALSE(p.a->closeButton->isHidden());
    p.router.pointerMoved(Panel::gap);
    p.router.pointerMoved(Panel::inB);
    // Straight from one tile into the other: the exit comes first.
    p.router.pointerMoved(Panel::inA);
    p.router.pointerLeft();
    EXPECT_EQ(p.log, (Log{"A entered", "A exited", "B entered", "B exited", "A entered", "A exited"}));
    EXPECT_TRUE(p.a->closeButton->isHidden());

    // Tile A is unflipped: its area spans window y (12, 72]; x [12, 112).
    p.log.clear();
    p.router.pointerMoved({50, 12});
    EXPECT_TRUE(p.log.empty());
    p.router.pointerMoved({50, 72});
    p.router.pointerMoved({112, 72});
    p.router.pointerMoved({12, 13});
    EXPECT_EQ(p.log, (Log{"A entered", "A exited", "A entered"}));

    // Hidden under the pointer, it has left; shown again, it is entered again.
    p.log.clear();
    p.a->setHidden(true);
    p.router.pointerMoved(Panel::inA2);
    p.a->setHidden(false);
    p.router.pointerMoved(Panel::inA);
    EXPECT_EQ(p.log, (Log{"A exited", "A entered"}));
    EXPECT_TRUE(p.router.isInside(p.a->area));
}

TEST(InputRouter, AreaReplacedWhileHoveredGivesNoStaleEvents) {
    Panel p;
    p.router.pointerMoved(Panel::inA);
    const auto first = p.a->area;
    // A resize makes the host ask the tile for new areas while the pointer
    // stays inside: no exit for the old area, no second entry for the new one.
    p.a->setFrame({12, 12, 100, 62});
    p.router.pointerMoved(Panel::inA2);
    EXPECT_NE(p.a->area, first);
    EXPECT_EQ(p.a->trackingUpdates, 2);
    EXPECT_EQ(p.log, (Log{"A entered"}));
    EXPECT_TRUE(p.router.isInside(p.a->area));
    // The new area's exit comes when the pointer leaves.
    p.router.pointerMoved(Panel::gap);
    EXPECT_EQ(p.log, (Log{"A entered", "A exited"}));

    // An area taken away while the pointer is inside never reports again.
    p.log.clear();
    p.router.pointerMoved(Panel::inB);
    p.b->removeTrackingArea(p.b->area);
    p.router.pointerMoved(Panel::gap);
    p.router.pointerLeft();
    EXPECT_EQ(p.log, (Log{"B entered"}));
}

TEST(InputRouter, ViewsRemovedWhileHoveredHearNothingMore) {
    Panel p;
    p.router.pointerMoved(Panel::inA);
    std::weak_ptr<Tile> gone = p.a;
    p.a->removeFromSuperview();
    p.a.reset();
    ASSERT_TRUE(gone.expired());
    p.router.pointerMoved(Panel::inA2);
    p.router.pointerMoved(Panel::inB);
    p.router.pointerLeft();
    EXPECT_EQ(p.log, (Log{"A entered", "B entered", "B exited"}));

    // Removed but kept alive elsewhere: out of the window, so no exit either.
    p.log.clear();
    p.router.pointerMoved(Panel::inB);
    auto kept = p.b;
    p.b->removeFromSuperview();
    p.router.pointerMoved(Panel::gap);
    p.router.pointerLeft();
    EXPECT_EQ(p.log, (Log{"B entered"}));
}

TEST(InputRouter, TilesRebuiltUnderAStillPointerStartInside) {
    // The panel rebuilds its tiles while the pointer rests on one: the new
    // tile's area appears under the pointer, which the platform counts as
    // inside without an entry; its first event is the exit.
    Panel p;
    p.router.pointerMoved(Panel::inA);
    p.a->removeFromSuperview();
    auto fresh = std::make_shared<Tile>("C", p.log);
    p.grid->addSubview(fresh);
    fresh->setFrame({12, 12, 100, 60});
    p.router.pointerMoved(Panel::inA2);
    p.router.pointerMoved(Panel::gap);
    EXPECT_EQ(p.log, (Log{"A entered", "C exited"}));
}

TEST(InputRouter, ClicksReachTheTileThroughViewsThatIgnoreThem) {
    Panel p;
    // On the image view, which has no click handling of its own.
    const Point onImage = kit::frameInRoot(*p.a->image).center();
    EXPECT_EQ(p.router.mouseDown(onImage), p.a->image);
    p.router.mouseUp(onImage);
    EXPECT_EQ(p.log, (Log{"A entered", "A up"}));

    // Pressed on A, released over B: the release belongs to A.
    p.log.clear();
    p.router.mouseDown(Panel::inA);
    p.router.mouseUp(Panel::inB);
    EXPECT_EQ(p.log, (Log{"A up", "A exited", "B entered"}));

    // Nothing under the pointer: nobody hears the click.
    EXPECT_EQ(p.router.mouseDown({500, 500}), nullptr);
}

TEST(InputRouter, ButtonActsOnlyOnAReleaseInsideIt) {
    Panel p;
    const Point box = Panel::closeBoxOf(12);

    // While the close box is hidden a click there goes to the tile.
    p.router.pointerMoved(box);
    p.a->closeButton->setHidden(true);
    p.router.mouseDown(box);
    p.router.mouseUp(box);
    p.a->closeButton->setHidden(false);
    EXPECT_EQ(p.log, (Log{"A entered", "A up"}));

    // Pressed and released inside: the action, highlighted while pressed;
    // released outside the button, even inside the tile: cancelled.
    p.log.clear();
    EXPECT_EQ(p.router.mouseDown(box), p.a->closeButton);
    EXPECT_TRUE(p.a->closeButton->isHighlighted());
    p.router.mouseUp(box);
    EXPECT_FALSE(p.a->closeButton->isHighlighted());
    p.router.mouseDown(box);
    p.router.mouseUp(Panel::inA);
    EXPECT_EQ(p.log, (Log{"A close"}));

    // Disabled: nothing, and performClick neither.
    p.a->closeButton->setEnabled(false);
    p.router.mouseDown(box);
    p.router.mouseUp(box);
    p.a->closeButton->performClick();
    EXPECT_EQ(p.log, (Log{"A close"}));
}

TEST(InputRouter, ActionThatDestroysItsOwnTileIsSafe) {
    Panel p;
    std::weak_ptr<Tile> weakA = p.a;
    // The handler removes the tile, drops it, and then still reads the title
    // it was handed, which lives in the tile.
    p.a->onClose = [&p](const std::string& title) {
        p.a->removeFromSuperview();
        p.a.reset();
        p.log.push_back("removed " + title.substr(0, 8));
    };
    const Point box = Panel::closeBoxOf(12);
    p.router.pointerMoved(box);
    p.router.mouseDown(box);
    p.router.mouseUp(box);
    EXPECT_TRUE(weakA.expired());
    p.router.pointerMoved(Panel::inB);
    EXPECT_EQ(p.log, (Log{"A entered", "A close", "removed A window", "B entered"}));
    EXPECT_EQ(p.host->hitTest(box), p.grid.get());

}

TEST(InputRouter, NewContentViewForgetsTheOldOne) {
    Panel p;
    p.router.pointerMoved(Panel::inA);
    p.router.mouseDown(Panel::inA);
    auto other = std::make_shared<kit::View>(Rect{0, 0, 232, 84});
    p.router.setRoot(other);
    p.router.mouseUp(Panel::inA);
    p.router.pointerLeft();
    EXPECT_EQ(p.log, (Log{"A entered"}));
}

}  // namespace
