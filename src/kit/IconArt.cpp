#include "kit/IconArt.h"

#include <algorithm>
#include <utility>

namespace kit::IconArt {

namespace {

using Kind = VectorShape::Kind;
using Paint = VectorShape::Paint;

// The drawings are laid out on the 1024-unit grid icons are designed on,
// y growing downward, and scaled to the size asked for.
constexpr double kGrid = 1024;
// The tile inside the grid: 100 units of margin all round, the corner of
// the system's icon shape.
const Rect kTile{100, 100, 824, 824};
constexpr double kTileCorner = 185;

Color rgb(double r, double g, double b, double a = 1.0) { return Color::rgba(r, g, b, a); }

VectorShape rounded(Rect rect, double radius, Color color, std::optional<Color> gradientEnd = std::nullopt) {
    VectorShape shape;
    shape.kind = Kind::RoundedRect;
    shape.rect = rect;
    shape.cornerRadius = radius;
    shape.color = color;
    shape.gradientEnd = gradientEnd;
    return shape;
}

VectorShape outline(Rect rect, double radius, double lineWidth, Color color) {
    VectorShape shape = rounded(rect, radius, color);
    shape.paint = Paint::Stroke;
    shape.lineWidth = lineWidth;
    return shape;
}

VectorShape ellipse(Rect rect, Color color) {
    VectorShape shape;
    shape.kind = Kind::Ellipse;
    shape.rect = rect;
    shape.color = color;
    return shape;
}

VectorShape polygon(std::vector<Point> points, Color color) {
    VectorShape shape;
    shape.kind = Kind::Polygon;
    shape.points = std::move(points);
    shape.color = color;
    return shape;
}

// The soft shadow under the tile, a few widening layers below it, as the
// grid leaves room for.
void addTileShadow(std::vector<VectorShape>& shapes) {
    for (double spread : {18.0, 12.0, 6.0}) {
        const Rect rect{kTile.minX() - spread, kTile.minY() + 14 - spread, kTile.width() + 2 * spread,
                        kTile.height() + 2 * spread};
        shapes.push_back(rounded(rect, kTileCorner + spread, rgb(0, 0, 0, 0.07)));
    }
}

Color mixed(const Color& color, double towardWhite) {
    auto mix = [towardWhite](double c) {
        return towardWhite >= 0 ? c + (1 - c) * towardWhite : c * (1 + towardWhite);
    };
    return rgb(mix(color.red), mix(color.green), mix(color.blue), color.alpha);
}

VectorDrawing scaled(std::vector<VectorShape> shapes, double side) {
    const double k = std::max(side, 0.0) / kGrid;
    for (VectorShape& shape : shapes) {
        shape.rect = {shape.rect.minX() * k, shape.rect.minY() * k, shape.rect.width() * k, shape.rect.height() * k};
        shape.cornerRadius *= k;
        shape.lineWidth *= k;
        for (Point& p : shape.points) p = {p.x * k, p.y * k};
    }
    VectorDrawing drawing;
    drawing.canvas = {std::max(side, 0.0), std::max(side, 0.0)};
    drawing.flipped = true;
    drawing.shapes = std::move(shapes);
    return drawing;
}

}  // namespace

VectorDrawing durazizi(double side) {
    std::vector<VectorShape> s;
    addTileShadow(s);
    s.push_back(rounded(kTile, kTileCorner, rgb(0.45, 0.76, 1.0), rgb(0.15, 0.42, 0.90)));

    // The preview panel, pointing down at the icon it belongs to.
    const Color panelTop = rgb(1, 1, 1, 0.97);
    const Color panelBottom = rgb(0.89, 0.93, 0.98, 0.97);
    s.push_back(rounded({222, 200, 580, 400}, 64, panelTop, panelBottom));
    s.push_back(polygon({{452, 596}, {572, 596}, {512, 662}}, panelBottom));
    // The window thumbnail in it: title bar with its three buttons, a
    // coloured picture for content.
    s.push_back(rounded({266, 244, 492, 312}, 30, rgb(0.80, 0.85, 0.92)));
    s.push_back(rounded({272, 250, 480, 300}, 25, rgb(0.94, 0.95, 0.97)));
    s.push_back(ellipse({302, 270, 30, 30}, rgb(1.0, 0.37, 0.34)));
    s.push_back(ellipse({346, 270, 30, 30}, rgb(1.0, 0.74, 0.18)));
    s.push_back(ellipse({390, 270, 30, 30}, rgb(0.16, 0.78, 0.25)));
    s.push_back(rounded({296, 318, 432, 206}, 18, rgb(0.42, 0.87, 0.54), rgb(0.13, 0.66, 0.36)));
    s.push_back(rounded({322, 350, 200, 26}, 13, rgb(1, 1, 1, 0.9)));
    s.push_back(rounded({322, 394, 140, 26}, 13, rgb(1, 1, 1, 0.7)));

    // The Dock: a frosted shelf with three icons, the middle one hovered.
    s.push_back(rounded({186, 690, 652, 146}, 48, rgb(1, 1, 1, 0.34)));
    s.push_back(outline({186, 690, 652, 146}, 48, 5, rgb(1, 1, 1, 0.55)));
    s.push_back(rounded({314, 710, 104, 104}, 26, rgb(1.0, 0.74, 0.30), rgb(1.0, 0.53, 0.07)));
    s.push_back(rounded({460, 710, 104, 104}, 26, rgb(0.42, 0.87, 0.54), rgb(0.13, 0.66, 0.36)));
    s.push_back(rounded({606, 710, 104, 104}, 26, rgb(1.0, 0.47, 0.58), rgb(0.92, 0.20, 0.37)));
    s.push_back(ellipse({503, 819, 18, 12}, rgb(1, 1, 1, 0.9)));
    return scaled(std::move(s), side);
}

VectorDrawing genericApplication(double side) {
    std::vector<VectorShape> s;
    addTileShadow(s);
    s.push_back(rounded(kTile, kTileCorner, rgb(0.98, 0.98, 0.99), rgb(0.84, 0.85, 0.88)));
    s.push_back(outline({kTile.minX() + 2, kTile.minY() + 2, kTile.width() - 4, kTile.height() - 4}, kTileCorner - 2,
                        4, rgb(0, 0, 0, 0.10)));
    // The glyph: two legs meeting at the top and a crossbar, in grey.
    const Color glyph = rgb(0.56, 0.58, 0.63);
    s.push_back(polygon({{470, 268}, {554, 268}, {410, 756}, {322, 756}}, glyph));
    s.push_back(polygon({{470, 268}, {554, 268}, {702, 756}, {614, 756}}, glyph));
    s.push_back(ellipse({470, 236, 84, 84}, glyph));
    s.push_back(rounded({380, 572, 264, 70}, 35, glyph));
    return scaled(std::move(s), side);
}

VectorDrawing musicPlaceholder(double side) {
    std::vector<VectorShape> s;
    s.push_back(rounded({0, 0, kGrid, kGrid}, 0, rgb(0.80, 0.81, 0.84), rgb(0.62, 0.64, 0.68)));
    const Color note = rgb(1, 1, 1, 0.92);
    // Two heads, their stems and the beam across the stems' tops.
    s.push_back(ellipse({282, 632, 172, 128}, note));
    s.push_back(ellipse({562, 572, 172, 128}, note));
    s.push_back(rounded({420, 330, 34, 370}, 8, note));
    s.push_back(rounded({700, 270, 34, 370}, 8, note));
    s.push_back(polygon({{420, 330}, {734, 262}, {734, 352}, {420, 420}}, note));
    return scaled(std::move(s), side);
}

VectorDrawing coloredApplication(double side, Color color) {
    std::vector<VectorShape> s;
    addTileShadow(s);
    s.push_back(rounded(kTile, kTileCorner, mixed(color, 0.25), mixed(color, -0.15)));
    // A window: white frame, title bar band.
    s.push_back(rounded({262, 300, 500, 400}, 48, rgb(1, 1, 1, 0.92)));
    s.push_back(rounded({296, 396, 432, 270}, 20, mixed(color, 0.55)));
    s.push_back(ellipse({300, 334, 32, 32}, mixed(color, -0.1)));
    s.push_back(ellipse({348, 334, 32, 32}, mixed(color, 0.2)));
    return scaled(std::move(s), side);
}

}  // namespace kit::IconArt
