#include <gtest/gtest.h>

#include <algorithm>

#include "ui/StatusIcon.h"

namespace {

using Kind = kit::VectorShape::Kind;
using Paint = kit::VectorShape::Paint;

kit::Rect bounds(const kit::VectorShape& shape) {
    if (shape.kind != Kind::Polygon || shape.points.empty()) return shape.rect;
    double minX = shape.points[0].x, maxX = minX, minY = shape.points[0].y, maxY = minY;
    for (const auto& p : shape.points) {
        minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
    }
    return {minX, minY, maxX - minX, maxY - minY};
}

// The icon as designed: a bubble with two text bars and a tail, over three
// squares of which the middle one is filled; black on clear, so that the
// menu bar can tint it, and nothing (strokes included) spilling over the
// canvas, which the menu bar would crop.
TEST(StatusIcon, IsAnUnflippedTemplateBubbleOverThreeSquaresInsideItsCanvas) {
    const auto image = durazizi::StatusIcon::image();
    ASSERT_TRUE(image && image->drawing());
    EXPECT_TRUE(image->isTemplate());
    EXPECT_EQ(image->size(), (kit::Size{18, 16}));
    const kit::VectorDrawing& drawing = *image->drawing();
    EXPECT_EQ(drawing.canvas, (kit::Size{18, 16}));
    EXPECT_FALSE(drawing.flipped);

    ASSERT_EQ(drawing.shapes.size(), 7u);
    for (const auto& shape : drawing.shapes) {
        EXPECT_EQ(shape.color, kit::Color::black());
        const double spill = shape.paint == Paint::Stroke ? shape.lineWidth / 2 : 0;
        const kit::Rect r = bounds(shape);
        EXPECT_GE(r.minX() - spill, 0);
        EXPECT_GE(r.minY() - spill, 0);
        EXPECT_LE(r.maxX() + spill, 18);
        EXPECT_LE(r.maxY() + spill, 16);
    }
    const auto& s = drawing.shapes;
    // The bubble's outline holds its bars; its tail points down at the squares.
    EXPECT_EQ(s[0].paint, Paint::Stroke);
    for (int bar : {1, 2}) EXPECT_TRUE(s[0].rect.containsRect(s[bar].rect)) << bar;
    EXPECT_EQ(s[3].kind, Kind::Polygon);
    EXPECT_LE(bounds(s[3]).minY(), s[0].rect.minY());
    // Three equal squares in a row below, the middle one filled.
    EXPECT_EQ((std::vector{s[4].paint, s[5].paint, s[6].paint}),
              (std::vector{Paint::Stroke, Paint::Fill, Paint::Stroke}));
    for (int square : {4, 5, 6}) {
        EXPECT_EQ(s[square].rect.size, s[4].rect.size);
        EXPECT_EQ(s[square].rect.minY(), s[4].rect.minY());
        EXPECT_LT(s[square].rect.maxY(), bounds(s[3]).minY());
    }
    EXPECT_LT(s[4].rect.maxX(), s[5].rect.minX());
    EXPECT_LT(s[5].rect.maxX(), s[6].rect.minX());
}

}  // namespace
