#include "ui/StatusIcon.h"

#include <utility>

namespace durazizi::StatusIcon {

namespace {

using Kind = kit::VectorShape::Kind;
using Paint = kit::VectorShape::Paint;

kit::VectorShape roundedRect(Paint paint, kit::Rect rect, double radius, double lineWidth = 1.0) {
    kit::VectorShape shape;
    shape.kind = Kind::RoundedRect;
    shape.paint = paint;
    shape.rect = rect;
    shape.cornerRadius = radius;
    shape.lineWidth = lineWidth;
    shape.color = kit::Color::black();
    return shape;
}

kit::VectorShape filledPolygon(std::vector<kit::Point> points) {
    kit::VectorShape shape;
    shape.kind = Kind::Polygon;
    shape.paint = Paint::Fill;
    shape.points = std::move(points);
    shape.color = kit::Color::black();
    return shape;
}

}  // namespace

kit::ImageRef image() {
    kit::VectorDrawing drawing;
    drawing.canvas = {18, 16};
    drawing.flipped = false;   // y grows upward: the bubble is at the top
    drawing.shapes = {
        roundedRect(Paint::Stroke, {2.5, 8.0, 13.0, 7.0}, 1.4, 1.3),
        roundedRect(Paint::Fill, {4.4, 12.0, 9.0, 1.05}, 0.5),
        roundedRect(Paint::Fill, {4.4, 9.7, 6.4, 1.05}, 0.5),
        filledPolygon({{7.1, 8.1}, {10.9, 8.1}, {9.0, 6.0}}),
        roundedRect(Paint::Stroke, {3.55, 1.5, 2.5, 2.5}, 0.6, 1.0),
        roundedRect(Paint::Fill, {7.75, 1.5, 2.5, 2.5}, 0.6),
        roundedRect(Paint::Stroke, {11.95, 1.5, 2.5, 2.5}, 0.6, 1.0),
    };
    // A template image: the menu bar tints it, so only its shape counts.
    return kit::Image::fromDrawing(std::move(drawing), /*isTemplate=*/true);
}

}  // namespace durazizi::StatusIcon
