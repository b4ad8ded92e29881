#include "render/Cairo.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace render {

std::optional<std::pair<int, int>> pictureSize(kit::Size size, double scale) {
    const double width = std::ceil(size.width * scale);
    const double height = std::ceil(size.height * scale);
    if (!std::isfinite(width) || !std::isfinite(height) || width < 1 || height < 1 || width > kMaxPictureSide ||
        height > kMaxPictureSide)
        return std::nullopt;
    return std::pair{static_cast<int>(width), static_cast<int>(height)};
}

void roundedRectPath(cairo_t* cr, const kit::Rect& rect, double radius) {
    const double r = std::clamp(radius, 0.0, std::min(rect.width(), rect.height()) / 2);
    if (r <= 0) {
        cairo_rectangle(cr, rect.minX(), rect.minY(), rect.width(), rect.height());
        return;
    }
    const double x0 = rect.minX(), y0 = rect.minY(), x1 = rect.maxX(), y1 = rect.maxY();
    constexpr double pi = std::numbers::pi;
    cairo_new_sub_path(cr);
    cairo_arc(cr, x1 - r, y0 + r, r, -pi / 2, 0);
    cairo_arc(cr, x1 - r, y1 - r, r, 0, pi / 2);
    cairo_arc(cr, x0 + r, y1 - r, r, pi / 2, pi);
    cairo_arc(cr, x0 + r, y0 + r, r, pi, 3 * pi / 2);
    cairo_close_path(cr);
}

void mapDrawingCanvas(cairo_t* cr, const kit::VectorDrawing& drawing, const kit::Rect& rect) {
    cairo_translate(cr, rect.minX(), rect.minY());
    cairo_scale(cr, rect.width() / drawing.canvas.width, rect.height() / drawing.canvas.height);
    if (!drawing.flipped) {
        cairo_translate(cr, 0, drawing.canvas.height);
        cairo_scale(cr, 1, -1);
    }
}

void drawingPath(cairo_t* cr, const kit::VectorDrawing& drawing, const kit::Rect& rect) {
    if (drawing.canvas.width <= 0 || drawing.canvas.height <= 0) return;
    // The path is kept in device space: the transform may go once it is laid.
    cairo_save(cr);
    mapDrawingCanvas(cr, drawing, rect);
    for (const kit::VectorShape& shape : drawing.shapes) {
        if (shape.paint != kit::VectorShape::Paint::Fill) continue;
        if (shape.kind == kit::VectorShape::Kind::RoundedRect) {
            roundedRectPath(cr, shape.rect, shape.cornerRadius);
        } else if (shape.points.size() >= 3) {
            cairo_move_to(cr, shape.points[0].x, shape.points[0].y);
            for (std::size_t i = 1; i < shape.points.size(); ++i) cairo_line_to(cr, shape.points[i].x, shape.points[i].y);
            cairo_close_path(cr);
        }
    }
    cairo_restore(cr);
}

void setSource(cairo_t* cr, const kit::Color& color) {
    cairo_set_source_rgba(cr, color.red, color.green, color.blue, color.alpha);
}

kit::Color colorFromImagePixel(std::uint32_t rgba) {
    return kit::Color::rgba((rgba & 0xff) / 255.0, ((rgba >> 8) & 0xff) / 255.0, ((rgba >> 16) & 0xff) / 255.0);
}

kit::Color shade(const kit::Color& color, double amount) {
    const double target = amount > 0 ? 1.0 : 0.0;
    const double t = std::min(std::fabs(amount), 1.0);
    auto mix = [&](double c) { return c + (target - c) * t; };
    return kit::Color::rgba(mix(color.red), mix(color.green), mix(color.blue), color.alpha);
}

}  // namespace render
