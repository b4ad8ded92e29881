#include "render/VectorPainter.h"

#include <algorithm>
#include <numbers>

#include "render/Cairo.h"

namespace render {

namespace {

void shapePath(cairo_t* cr, const kit::VectorShape& shape) {
    switch (shape.kind) {
        case kit::VectorShape::Kind::RoundedRect: roundedRectPath(cr, shape.rect, shape.cornerRadius); return;
        case kit::VectorShape::Kind::Ellipse: {
            if (shape.rect.isEmpty()) return;
            cairo_save(cr);
            cairo_translate(cr, shape.rect.midX(), shape.rect.midY());
            cairo_scale(cr, shape.rect.width() / 2, shape.rect.height() / 2);
            cairo_new_sub_path(cr);
            cairo_arc(cr, 0, 0, 1, 0, 2 * std::numbers::pi);
            cairo_close_path(cr);
            // The path keeps the scaled arc; the scale itself must not widen a stroke.
            cairo_restore(cr);
            return;
        }
        case kit::VectorShape::Kind::Polygon:
            if (shape.points.size() < 2) return;
            cairo_move_to(cr, shape.points[0].x, shape.points[0].y);
            for (std::size_t i = 1; i < shape.points.size(); ++i)
                cairo_line_to(cr, shape.points[i].x, shape.points[i].y);
            cairo_close_path(cr);
            return;
    }
}

// The shape's lowest and highest y on the canvas.
std::pair<double, double> verticalExtent(const kit::VectorShape& shape) {
    if (shape.kind != kit::VectorShape::Kind::Polygon || shape.points.empty())
        return {shape.rect.minY(), shape.rect.maxY()};
    auto [low, high] = std::minmax_element(shape.points.begin(), shape.points.end(),
                                           [](const kit::Point& a, const kit::Point& b) { return a.y < b.y; });
    return {low->y, high->y};
}

kit::Color paintColor(const kit::Color& color, bool isTemplate, const kit::Color& templateColor,
                      kit::Appearance appearance) {
    if (!isTemplate) return kit::resolve(color, appearance);
    // A template keeps only its shapes' coverage; the colour is the tint's.
    const double coverage = color.semantic == kit::Color::Semantic::Clear ? 0 : color.alpha;
    kit::Color tinted = templateColor;
    tinted.alpha *= coverage;
    return tinted;
}

void addStop(cairo_pattern_t* pattern, double offset, const kit::Color& c) {
    cairo_pattern_add_color_stop_rgba(pattern, offset, c.red, c.green, c.blue, c.alpha);
}

}  // namespace

void paintDrawing(cairo_t* cr, const kit::VectorDrawing& drawing, const kit::Rect& rect, bool isTemplate,
                  const kit::Color& templateColor, kit::Appearance appearance) {
    if (!(drawing.canvas.width > 0) || !(drawing.canvas.height > 0) || rect.isEmpty()) return;
    cairo_save(cr);
    mapDrawingCanvas(cr, drawing, rect);
    for (const kit::VectorShape& shape : drawing.shapes) {
        cairo_new_path(cr);
        shapePath(cr, shape);
        const kit::Color color = paintColor(shape.color, isTemplate, templateColor, appearance);
        PatternPtr gradient;
        if (shape.gradientEnd && shape.paint == kit::VectorShape::Paint::Fill) {
            auto [low, high] = verticalExtent(shape);
            // The top as seen is the high end of an upward-growing canvas.
            const double top = drawing.flipped ? low : high;
            const double bottom = drawing.flipped ? high : low;
            gradient.reset(cairo_pattern_create_linear(0, top, 0, bottom));
            addStop(gradient.get(), 0, color);
            addStop(gradient.get(), 1, paintColor(*shape.gradientEnd, isTemplate, templateColor, appearance));
            cairo_set_source(cr, gradient.get());
        } else {
            setSource(cr, color);
        }
        if (shape.paint == kit::VectorShape::Paint::Stroke) {
            cairo_set_line_width(cr, shape.lineWidth);
            cairo_stroke(cr);
        } else {
            cairo_fill(cr);
        }
    }
    cairo_new_path(cr);
    cairo_restore(cr);
}

std::vector<std::uint32_t> rasterize(const kit::VectorDrawing& drawing, int width, int height,
                                     kit::Appearance appearance) {
    if (width <= 0 || height <= 0 || width > kMaxPictureSide || height > kMaxPictureSide) return {};
    SurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return {};
    ContextPtr cr(cairo_create(surface.get()));
    paintDrawing(cr.get(), drawing, {0, 0, static_cast<double>(width), static_cast<double>(height)}, false,
                 kit::Color::clear(), appearance);
    cairo_surface_flush(surface.get());
    const unsigned char* data = cairo_image_surface_get_data(surface.get());
    const int stride = cairo_image_surface_get_stride(surface.get());
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
        for (int x = 0; x < width; ++x) pixels[static_cast<std::size_t>(y) * width + x] = imagePixelFromArgb(row[x]);
    }
    return pixels;
}

}  // namespace render
