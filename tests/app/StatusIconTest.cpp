#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "ui/StatusIcon.h"

namespace {

using Kind = kit::VectorShape::Kind;
using Paint = kit::VectorShape::Paint;

struct ExpectedShape {
    Kind kind;
    Paint paint;
    kit::Rect rect;
    double radius;
    double lineWidth;   // strokes only
    std::vector<kit::Point> points;
};

// The icon as designed: a bubble with two text bars and a tail, over three
// squares of which the middle one is filled.
const std::vector<ExpectedShape> kDesign = {
    {Kind::RoundedRect, Paint::Stroke, {2.5, 8.0, 13.0, 7.0}, 1.4, 1.3, {}},
    {Kind::RoundedRect, Paint::Fill, {4.4, 12.0, 9.0, 1.05}, 0.5, 0, {}},
    {Kind::RoundedRect, Paint::Fill, {4.4, 9.7, 6.4, 1.05}, 0.5, 0, {}},
    {Kind::Polygon, Paint::Fill, {}, 0, 0, {{7.1, 8.1}, {10.9, 8.1}, {9.0, 6.0}}},
    {Kind::RoundedRect, Paint::Stroke, {3.55, 1.5, 2.5, 2.5}, 0.6, 1.0, {}},
    {Kind::RoundedRect, Paint::Fill, {7.75, 1.5, 2.5, 2.5}, 0.6, 0, {}},
    {Kind::RoundedRect, Paint::Stroke, {11.95, 1.5, 2.5, 2.5}, 0.6, 1.0, {}},
};

TEST(StatusIcon, IsAnUnflippedTemplateOfTheDesignedShapes) {
    const auto image = durazizi::StatusIcon::image();
    ASSERT_TRUE(image);
    EXPECT_TRUE(image->isTemplate());
    EXPECT_EQ(image->size(), (kit::Size{18, 16}));
    ASSERT_TRUE(image->drawing().has_value());
    const kit::VectorDrawing& drawing = *image->drawing();
    EXPECT_EQ(drawing.canvas, (kit::Size{18, 16}));
    EXPECT_FALSE(drawing.flipped);

    ASSERT_EQ(drawing.shapes.size(), kDesign.size());
    for (std::size_t i = 0; i < kDesign.size(); ++i) {
        SCOPED_TRACE("shape " + std::to_string(i + 1));
        const auto& want = kDesign[i];
        const auto& got = drawing.shapes[i];
        EXPECT_EQ(got.kind, want.kind);
        EXPECT_EQ(got.paint, want.paint);
        EXPECT_EQ(got.color, kit::Color::black());
        if (want.kind == Kind::RoundedRect) {
            EXPECT_DOUBLE_EQ(got.rect.minX(), want.rect.minX());
            EXPECT_DOUBLE_EQ(got.rect.minY(), want.rect.minY());
            EXPECT_DOUBLE_EQ(got.rect.width(), want.rect.width());
            EXPECT_DOUBLE_EQ(got.rect.height(), want.rect.height());
            EXPECT_DOUBLE_EQ(got.cornerRadius, want.radius);
        } else {
            ASSERT_EQ(got.points.size(), want.points.size());
            for (std::size_t p = 0; p < want.points.size(); ++p) {
                EXPECT_DOUBLE_EQ(got.points[p].x, want.points[p].x);
                EXPECT_DOUBLE_EQ(got.points[p].y, want.points[p].y);
            }
        }
        if (want.paint == Paint::Stroke) {
            EXPECT_DOUBLE_EQ(got.lineWidth, want.lineWidth);
        }
    }
}

// A menu bar crops whatever spills over the canvas, strokes included.
TEST(StatusIcon, EveryShapeWithItsStrokeFitsTheCanvas) {
    const auto image = durazizi::StatusIcon::image();
    ASSERT_TRUE(image && image->drawing());
    for (const auto& shape : image->drawing()->shapes) {
        const double spill = shape.paint == Paint::Stroke ? shape.lineWidth / 2 : 0;
        kit::Rect bounds = shape.rect;
        if (shape.kind == Kind::Polygon) {
            ASSERT_FALSE(shape.points.empty());
            double minX = shape.points[0].x, maxX = minX, minY = shape.points[0].y, maxY = minY;
            for (const auto& p : shape.points) {
                minX = std::min(minX, p.x); maxX = std::max(maxX, p.x);
                minY = std::min(minY, p.y); maxY = std::max(maxY, p.y);
            }
            bounds = {minX, minY, maxX - minX, maxY - minY};
        }
        EXPECT_GE(bounds.minX() - spill, 0);
        EXPECT_GE(bounds.minY() - spill, 0);
        EXPECT_LE(bounds.maxX() + spill, 18);
        EXPECT_LE(bounds.maxY() + spill, 16);
    }
}

}  // namespace
