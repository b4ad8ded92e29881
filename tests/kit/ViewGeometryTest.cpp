#include <gtest/gtest.h>

#include "kit/FlippedView.h"
#include "kit/ImageView.h"
#include "kit/Label.h"
#include "kit/View.h"
#include "kit/ViewInput.h"

namespace {

using kit::FlippedView;
using kit::Point;
using kit::Rect;
using kit::View;

// The preview panel's nesting: an unflipped content view, a flipped grid
// filling it, tiles (unflipped) placed from the top of the grid, and an image
// view inside each tile placed from the tile's bottom.
struct PanelTree {
    static constexpr double PW = 644, PH = 170, W = 200, T = 124, L = 22;

    std::shared_ptr<View> host = std::make_shared<View>(Rect{0, 0, PW, PH});
    std::shared_ptr<FlippedView> grid = std::make_shared<FlippedView>(Rect{0, 0, PW, PH});
    std::shared_ptr<View> tile = std::make_shared<View>(Rect{12 + W + 10, L + 12, W, T});
    std::shared_ptr<kit::ImageView> image = std::make_shared<kit::ImageView>(nullptr, Rect{4, 20, W - 8, T - 24});
    std::shared_ptr<kit::Label> label = std::make_shared<kit::Label>("Name", Rect{12, 3, PW - 24, 18});

    PanelTree() {
        host->addSubview(grid);
        grid->addSubview(label);
        grid->addSubview(tile);
        tile->addSubview(image);
    }
};

TEST(ViewGeometry, ConvertsThroughFlippedAndUnflippedLevels) {
    PanelTree p;
    // The tile's top edge is L + 12 below the panel's top; its image view's
    // top edge is 4 below the tile's top.
    EXPECT_EQ(kit::frameInRoot(*p.tile), (Rect{222, PanelTree::PH - 34 - PanelTree::T, 200, 124}));
    EXPECT_EQ(kit::frameInRoot(*p.image), (Rect{226, PanelTree::PH - 34 - 104, 192, 100}));
    // The label sits 3 points below the top of the flipped grid.
    EXPECT_EQ(kit::frameInRoot(*p.label), (Rect{12, PanelTree::PH - 21, 620, 18}));

    // A point, both ways, through every level; (0,0) of an unflipped view is
    // its bottom-left corner, of a flipped one its top-left corner.
    EXPECT_EQ(p.image->convertToRoot({0, 0}), (Point{226, 32}));
    EXPECT_EQ(p.grid->convertToRoot({0, 0}), (Point{0, PanelTree::PH}));
    EXPECT_EQ(p.image->convertFromRoot({226, 32}), (Point{0, 0}));
    EXPECT_EQ(p.tile->convertFromRoot(p.tile->convertToRoot({13.5, 7.25})), (Point{13.5, 7.25}));

    // Between siblings' descendants without going through root by hand: the
    // tile's top-left is (222, 34) in the grid.
    EXPECT_EQ(p.tile->convertPointTo({0, PanelTree::T}, p.grid.get()), (Point{222, 34}));
    EXPECT_EQ(p.grid->convertPointTo({222, 34}, p.tile.get()), (Point{0, PanelTree::T}));
    EXPECT_EQ(p.label->convertPoint({0, 0}, p.tile.get()), (Point{210, -137}));

    // A view with no size still converts (no division by zero).
    auto empty = std::make_shared<FlippedView>();
    p.host->addSubview(empty);
    EXPECT_EQ(empty->convertToRoot({3, 0}), (Point{3, 0}));
}

TEST(ViewGeometry, HitTestFindsDeepestVisibleView) {
    PanelTree p;
    auto badge = std::make_shared<kit::ImageView>(nullptr, Rect{PanelTree::W - 20, PanelTree::T - 20, 16, 16});
    p.tile->addSubview(badge);
    const Rect badgeInRoot = kit::frameInRoot(*badge);
    const Point onBadge = badgeInRoot.center();
    const Point onImage = kit::frameInRoot(*p.image).center();

    EXPECT_EQ(p.host->hitTest(onBadge), badge.get());
    EXPECT_EQ(p.host->hitTest(onImage), p.image.get());
    EXPECT_EQ(p.host->hitTest({kit::frameInRoot(*p.tile).minX() + 1, kit::frameInRoot(*p.tile).minY() + 1}),
              p.tile.get());
    EXPECT_EQ(p.host->hitTest({5, 5}), p.grid.get());   // the grid covers the host
    EXPECT_EQ(p.host->hitTest({-1, 5}), nullptr);

    // A transparent view still takes clicks; a hidden one, and everything in
    // it, does not.
    badge->setAlphaValue(0);
    EXPECT_EQ(p.host->hitTest(onBadge), badge.get());
    badge->setHidden(true);
    EXPECT_EQ(p.host->hitTest(onBadge), p.image.get());   // the badge overlaps the image's corner
    p.tile->setHidden(true);
    EXPECT_EQ(p.host->hitTest(onImage), p.grid.get());
    EXPECT_TRUE(p.image->isHiddenOrHasHiddenAncestor());
    EXPECT_FALSE(p.image->isHidden());

    // Later subviews are in front.
    p.tile->setHidden(false);
    auto cover = std::make_shared<View>(p.tile->frame());
    p.grid->addSubview(cover);
    EXPECT_EQ(p.host->hitTest(onImage), cover.get());
    p.grid->addSubview(p.tile);   // adding again brings it to the front
    EXPECT_EQ(p.host->hitTest(onImage), p.image.get());
}

TEST(ViewGeometry, HitTestEdgesFollowTheMouseInRectRule) {
    // Unflipped parent: the bottom edge is out, the top edge in; in a flipped
    // parent the top edge (minY) is in and the bottom edge (maxY) out. The
    // right edge is out in both.
    auto root = std::make_shared<View>(Rect{0, 0, 100, 100});
    auto up = std::make_shared<View>(Rect{10, 10, 20, 20});
    root->addSubview(up);
    EXPECT_EQ(root->hitTest({15, 10}), root.get());
    EXPECT_EQ(root->hitTest({15, 30}), up.get());
    EXPECT_EQ(root->hitTest({30, 20}), root.get());
    EXPECT_EQ(root->hitTest({10, 20}), up.get());

    auto flippedRoot = std::make_shared<FlippedView>(Rect{0, 0, 100, 100});
    auto down = std::make_shared<View>(Rect{10, 10, 20, 20});
    flippedRoot->addSubview(down);
    auto outer = std::make_shared<View>(Rect{0, 0, 100, 100});
    outer->addSubview(flippedRoot);
    // Root y 90 is flipped y 10 (down's top edge, in); root y 70 is flipped
    // y 30 (down's bottom edge, out).
    EXPECT_EQ(outer->hitTest({15, 90}), down.get());
    EXPECT_EQ(outer->hitTest({15, 70}), flippedRoot.get());
}

TEST(ViewGeometry, HierarchyOwnershipAndReparenting) {
    auto a = std::make_shared<View>();
    auto b = std::make_shared<View>();
    std::weak_ptr<View> child;
    {
        auto c = std::make_shared<View>();
        child = c;
        a->addSubview(c);
    }
    ASSERT_FALSE(child.expired());   // held by its superview
    // Moving to another superview takes it out of the first; removing the
    // last reference destroys it.
    b->addSubview(child.lock());
    EXPECT_TRUE(a->subviews().empty());
    EXPECT_TRUE(child.lock()->isDescendantOf(b.get()));
    child.lock()->removeFromSuperview();
    EXPECT_TRUE(child.expired());

    // A superview that goes away leaves its surviving subviews detached.
    auto survivor = std::make_shared<View>();
    std::make_shared<View>()->addSubview(survivor);
    EXPECT_EQ(survivor->superview(), nullptr);
    EXPECT_EQ(survivor->rootView(), survivor.get());
}

// A view that places its subview from its own size, as tiles do.
class InsetView : public View {
public:
    std::shared_ptr<View> inner = std::make_shared<View>();
    int layouts = 0;
    InsetView() { addSubview(inner); }
    void layout() override {
        ++layouts;
        inner->setFrame(bounds().insetBy(4, 4));
    }
};

TEST(ViewGeometry, SizeChangesLayOutAtOnceAndDeferredLayoutWaitsForTheHost) {
    auto view = std::make_shared<InsetView>();
    view->setFrame({10, 10, 100, 60});
    EXPECT_EQ(view->layouts, 1);
    EXPECT_EQ(view->inner->frame(), (Rect{4, 4, 92, 52}));

    view->setFrameOrigin({50, 50});   // a move is not a resize
    EXPECT_EQ(view->layouts, 1);

    auto parent = std::make_shared<InsetView>();
    parent->inner->addSubview(view);
    parent->setFrameSize({300, 300});
    EXPECT_EQ(parent->layouts, 1);
    EXPECT_EQ(view->layouts, 1);

    view->setNeedsLayout(true);
    EXPECT_EQ(view->layouts, 1);
    parent->layoutSubtreeIfNeeded();
    EXPECT_EQ(view->layouts, 2);
    EXPECT_FALSE(view->needsLayout());
}

TEST(ViewGeometry, DamageFlagsReportVisibleChanges) {
    PanelTree p;
    p.host->clearNeedsDisplayInSubtree();
    EXPECT_FALSE(p.host->subtreeNeedsDisplay());

    p.label->setText("Name");   // unchanged text
    EXPECT_FALSE(p.host->subtreeNeedsDisplay());
    p.label->setText("Other");
    EXPECT_TRUE(p.label->needsDisplay());
    EXPECT_TRUE(p.host->subtreeNeedsDisplay());

    p.host->clearNeedsDisplayInSubtree();
    p.tile->removeFromSuperview();   // what was under it must be repainted
    EXPECT_TRUE(p.grid->needsDisplay());

    p.host->clearNeedsDisplayInSubtree();
    p.grid->setBackgroundColor(kit::Color::white(0.18));
    EXPECT_TRUE(p.grid->needsDisplay());
    EXPECT_EQ(p.grid->layerStyle().backgroundColor, kit::Color::white(0.18));
}

}  // namespace
