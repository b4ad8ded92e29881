#include <gtest/gtest.h>

#include "kit/ImageView.h"

namespace {

using kit::ImageScaling;
using kit::Rect;
using kit::Size;

TEST(ImageView, ScaledImageRectKeepsAspectAndCentres) {
    struct Case {
        Size image;
        Rect bounds;
        ImageScaling scaling;
        Rect expected;
    };
    const Rect tileImage{0, 0, 192, 100};   // an image view of a 200-point tile
    const Case cases[] = {
        // Wide window, scaled down: full width, centred vertically.
        {{800, 200}, tileImage, ImageScaling::ProportionallyUpOrDown, {0, 26, 192, 48}},
        // Tall window, scaled down: full height, centred horizontally.
        {{100, 400}, tileImage, ImageScaling::ProportionallyUpOrDown, {83.5, 0, 25, 100}},
        // Small icon, scaled up until one side fits.
        {{32, 32}, tileImage, ImageScaling::ProportionallyUpOrDown, {46, 0, 100, 100}},
        // The same icon never grows when only shrinking is allowed ...
        {{32, 32}, tileImage, ImageScaling::ProportionallyDown, {80, 34, 32, 32}},
        // ... but a large one shrinks.
        {{400, 400}, tileImage, ImageScaling::ProportionallyDown, {46, 0, 100, 100}},
        // Natural size, overhanging and centred; and stretched to fill.
        {{300, 50}, tileImage, ImageScaling::None, {-54, 25, 300, 50}},
        {{300, 50}, tileImage, ImageScaling::AxesIndependently, tileImage},
        // Bounds not at the origin.
        {{20, 10}, {10, 10, 40, 40}, ImageScaling::ProportionallyUpOrDown, {10, 20, 40, 20}},
        // An image without area draws nothing.
        {{0, 10}, tileImage, ImageScaling::ProportionallyUpOrDown, {96, 50, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.image.width << "x" << c.image.height);
        const Rect r = kit::imageRectFor(c.image, c.bounds, c.scaling);
        EXPECT_DOUBLE_EQ(r.minX(), c.expected.minX());
        EXPECT_DOUBLE_EQ(r.minY(), c.expected.minY());
        EXPECT_DOUBLE_EQ(r.width(), c.expected.width());
        EXPECT_DOUBLE_EQ(r.height(), c.expected.height());
    }
}

TEST(ImageView, ImageRectFollowsTheViewsImageAndBounds) {
    auto view = std::make_shared<kit::ImageView>(nullptr, Rect{4, 20, 192, 100});
    EXPECT_TRUE(view->imageRect().isEmpty());   // no image yet
    view->setImageScaling(ImageScaling::ProportionallyUpOrDown);
    view->setImage(kit::Image::fromPixels(2, 1, {0, 0}, {400, 200}));
    EXPECT_EQ(view->imageRect(), (Rect{0, 2, 192, 96}));
    view->setFrameSize({100, 100});
    EXPECT_EQ(view->imageRect(), (Rect{0, 25, 100, 50}));
}

}  // namespace
