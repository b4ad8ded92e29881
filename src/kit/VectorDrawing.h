#pragma once

#include <optional>
#include <vector>

#include "kit/Color.h"
#include "kit/Geometry.h"

namespace kit {

// A resolution-independent drawing that any host can rasterise. Shapes are
// painted in order on a canvas whose origin is bottom-left unless `flipped`.
struct VectorShape {
    enum class Kind { RoundedRect, Polygon, Ellipse };
    enum class Paint { Fill, Stroke };

    Kind kind = Kind::RoundedRect;
    Paint paint = Paint::Fill;
    Rect rect;                    // RoundedRect, Ellipse (its bounds)
    double cornerRadius = 0;      // RoundedRect
    std::vector<Point> points;    // Polygon, closed
    double lineWidth = 1;         // Stroke
    Color color = Color::black();
    // Fill only: the paint runs from `color` along the shape's top edge to
    // this colour along its bottom edge, top and bottom as the picture is
    // seen whichever way the canvas's y grows.
    std::optional<Color> gradientEnd;

    friend bool operator==(const VectorShape&, const VectorShape&) = default;
};

struct VectorDrawing {
    Size canvas;
    bool flipped = false;
    std::vector<VectorShape> shapes;
};

}  // namespace kit
