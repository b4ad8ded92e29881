#include "render/WindowChrome.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <optional>
#include <utility>

#include "render/Blur.h"
#include "render/Cairo.h"

namespace render {

namespace {

// The window shadow: its reach beyond the shape, how far it drops, and its
// density under the shape's edge.
constexpr double kShadowSpread = 18;
constexpr double kShadowDrop = 5;
constexpr double kShadowEdgeDensity = 0.30;

// The window buttons: 12-point discs, 20 points apart, centred in the bar.
constexpr double kLightRadius = 6;
constexpr double kFirstLightX = 15;
constexpr double kLightSpacing = 20;

}  // namespace

void paintWindowShadow(cairo_t* cr, const kit::Rect& frame, double cornerRadius, bool cutOut) {
    // The shadow's shape is the window's, dropped a little; its density falls
    // off over `spread` points outside that shape like a Gaussian blur's.
    // Built from gradients (linear along the edges, radial around the
    // corners), it costs a few small fills instead of a blur of the window.
    constexpr double spread = kShadowSpread;
    constexpr double drop = kShadowDrop;
    constexpr double falloff[][2] = {{0, kShadowEdgeDensity}, {0.2, 0.20}, {0.45, 0.09}, {0.7, 0.03}, {1, 0}};
    const kit::Rect shape = frame.offsetBy(0, drop);
    const double r = std::clamp(cornerRadius, 0.0, std::min(shape.width(), shape.height()) / 2);
    // Inside the shape the bands reach this far in; the rest lies under the window.
    const double inner = std::max(r, drop + 1);
    if (shape.width() < 2 * inner || shape.height() < 2 * inner) return;

    cairo_save(cr);
    if (cutOut) {
        // A translucent window must not show its own shadow through itself.
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
        const kit::Rect reach = shape.insetBy(-spread - 1, -spread - 1);
        cairo_rectangle(cr, reach.minX(), reach.minY() - drop, reach.width(), reach.height() + drop);
        roundedRectPath(cr, frame, cornerRadius);
        cairo_clip(cr);
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    }

    // A gradient from `from` (full density) to `to` (none), past `edge` where the shape ends.
    auto band = [&](kit::Rect area, kit::Point from, kit::Point edge, kit::Point to) {
        PatternPtr gradient(cairo_pattern_create_linear(from.x, from.y, to.x, to.y));
        const double length = std::hypot(to.x - from.x, to.y - from.y);
        const double start = std::hypot(edge.x - from.x, edge.y - from.y) / length;
        cairo_pattern_add_color_stop_rgba(gradient.get(), 0, 0, 0, 0, falloff[0][1]);
        for (const auto& [t, alpha] : falloff) cairo_pattern_add_color_stop_rgba(gradient.get(), start + t * (1 - start), 0, 0, 0, alpha);
        cairo_rectangle(cr, area.minX(), area.minY(), area.width(), area.height());
        cairo_set_source(cr, gradient.get());
        cairo_fill(cr);
    };
    // Around a corner the density falls off radially from the arc's centre
    // (an arc of radius `inner`, which is the shape's own when it is rounder).
    auto corner = [&](kit::Rect area, kit::Point centre) {
        const double outer = inner + spread;
        PatternPtr gradient(cairo_pattern_create_radial(centre.x, centre.y, 0, centre.x, centre.y, outer));
        const double start = inner / outer;
        cairo_pattern_add_color_stop_rgba(gradient.get(), 0, 0, 0, 0, falloff[0][1]);
        for (const auto& [t, alpha] : falloff) cairo_pattern_add_color_stop_rgba(gradient.get(), start + t * (1 - start), 0, 0, 0, alpha);
        cairo_rectangle(cr, area.minX(), area.minY(), area.width(), area.height());
        cairo_set_source(cr, gradient.get());
        cairo_fill(cr);
    };

    const double x0 = shape.minX(), x1 = shape.maxX(), y0 = shape.minY(), y1 = shape.maxY();
    const double cx0 = x0 + inner, cx1 = x1 - inner, cy0 = y0 + inner, cy1 = y1 - inner;
    band({cx0, y0 - spread, cx1 - cx0, spread + inner}, {cx0, cy0}, {cx0, y0}, {cx0, y0 - spread});
    band({cx0, cy1, cx1 - cx0, spread + inner}, {cx0, cy1}, {cx0, y1}, {cx0, y1 + spread});
    band({x0 - spread, cy0, spread + inner, cy1 - cy0}, {cx0, cy0}, {x0, cy0}, {x0 - spread, cy0});
    band({cx1, cy0, spread + inner, cy1 - cy0}, {cx1, cy0}, {x1, cy0}, {x1 + spread, cy0});
    corner({x0 - spread, y0 - spread, spread + inner, spread + inner}, {cx0, cy0});
    corner({cx1, y0 - spread, spread + inner, spread + inner}, {cx1, cy0});
    corner({x0 - spread, cy1, spread + inner, spread + inner}, {cx0, cy1});
    corner({cx1, cy1, spread + inner, spread + inner}, {cx1, cy1});
    cairo_restore(cr);
}

SurfacePtr shapeShadow(const kit::VectorDrawing& shape, kit::Size size) {
    // A soft shadow has no detail finer than a point: the shape is blurred
    // at one pixel per point, whatever the picture's scale, and stretched.
    constexpr int passes = 3;
    const int radius = static_cast<int>(std::lround(kShadowSpread / passes));
    const kit::Size reach{size.width + 2 * kShadowSpread, size.height + 2 * kShadowSpread};
    const std::optional<std::pair<int, int>> pixels = pictureSize(reach, 1);
    if (!pixels || size.width <= 0 || size.height <= 0) return nullptr;
    SurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, pixels->first, pixels->second));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
    {
        ContextPtr mask(cairo_create(surface.get()));
        drawingPath(mask.get(), shape, {kShadowSpread, kShadowSpread, size.width, size.height});
        // Blurred, a straight edge keeps half its density: twice the edge's.
        cairo_set_source_rgba(mask.get(), 0, 0, 0, 2 * kShadowEdgeDensity);
        cairo_fill(mask.get());
    }
    cairo_surface_flush(surface.get());
    boxBlur(reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(surface.get())), pixels->first,
            pixels->second, cairo_image_surface_get_stride(surface.get()) / 4, radius, passes);
    cairo_surface_mark_dirty(surface.get());
    return surface;
}

void paintShapedShadow(cairo_t* cr, const kit::Rect& frame, const kit::VectorDrawing& shape, cairo_surface_t* shadow,
                       bool cutOut) {
    if (!shadow || frame.isEmpty()) return;
    const kit::Rect reach = frame.insetBy(-kShadowSpread, -kShadowSpread);
    cairo_save(cr);
    if (cutOut) {
        // A translucent window must not show its own shadow through itself.
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
        cairo_rectangle(cr, reach.minX(), reach.minY(), reach.width(), reach.height() + kShadowDrop);
        drawingPath(cr, shape, frame);
        cairo_clip(cr);
    }
    cairo_set_source_surface(cr, shadow, reach.minX(), reach.minY() + kShadowDrop);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_BILINEAR);
    cairo_paint(cr);
    cairo_restore(cr);
}

void paintTitleBar(cairo_t* cr, TextPainter& text, const kit::Rect& frame, std::string_view title, bool focused,
                   unsigned buttons, bool dark) {
    const kit::Rect bar{frame.minX(), frame.minY(), frame.width(), std::min(kTitleBarHeight, frame.height())};
    cairo_save(cr);
    roundedRectPath(cr, frame, kWindowCornerRadius);
    cairo_clip(cr);

    PatternPtr gradient(cairo_pattern_create_linear(0, bar.minY(), 0, bar.maxY()));
    const double top = dark ? 0.235 : 0.955, bottom = dark ? 0.2 : 0.905;
    cairo_pattern_add_color_stop_rgb(gradient.get(), 0, top, top, top);
    cairo_pattern_add_color_stop_rgb(gradient.get(), 1, bottom, bottom, bottom);
    cairo_rectangle(cr, bar.minX(), bar.minY(), bar.width(), bar.height());
    cairo_set_source(cr, gradient.get());
    cairo_fill(cr);
    cairo_rectangle(cr, bar.minX(), bar.maxY() - 0.5, bar.width(), 0.5);
    if (dark) cairo_set_source_rgba(cr, 0, 0, 0, 0.5);
    else cairo_set_source_rgba(cr, 0, 0, 0, 0.16);
    cairo_fill(cr);

    constexpr double colours[3][3] = {{1.0, 0.373, 0.341}, {0.996, 0.737, 0.180}, {0.157, 0.784, 0.251}};
    for (int i = 0; i < 3 && (buttons & 7); ++i) {
        cairo_new_sub_path(cr);
        cairo_arc(cr, bar.minX() + kFirstLightX + i * kLightSpacing, bar.midY(), kLightRadius, 0, 2 * std::numbers::pi);
        if (focused && (buttons & (1u << i))) cairo_set_source_rgb(cr, colours[i][0], colours[i][1], colours[i][2]);
        else if (dark) cairo_set_source_rgb(cr, 0.36, 0.36, 0.37);
        else cairo_set_source_rgb(cr, 0.80, 0.80, 0.80);
        cairo_fill_preserve(cr);
        cairo_set_source_rgba(cr, 0, 0, 0, 0.12);
        cairo_set_line_width(cr, 0.5);
        cairo_stroke(cr);
    }

    if (!title.empty()) {
        // Centred on the window, kept clear of the buttons.
        const double side = kFirstLightX + 2 * kLightSpacing + kLightRadius + 12;
        TextPainter::LineStyle style;
        style.font = kit::Font::systemFont(13, kit::Font::Weight::Semibold);
        const double ink = dark ? 1 : 0;
        style.color = kit::Color::rgba(ink, ink, ink, focused ? 0.85 : 0.4);
        style.alignment = kit::TextAlignment::Center;
        style.lineBreakMode = kit::LineBreakMode::ByTruncatingTail;
        const double lineHeight = text.measure(cr, title, style.font).height;
        const kit::Rect line{bar.minX() + side, bar.midY() - lineHeight / 2, std::max(0.0, bar.width() - 2 * side),
                             lineHeight};
        text.drawLine(cr, title, style, line);
    }
    cairo_restore(cr);
}

void paintWindowOutline(cairo_t* cr, const kit::Rect& frame, double cornerRadius) {
    cairo_save(cr);
    roundedRectPath(cr, frame.insetBy(0.25, 0.25), cornerRadius);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.22);
    cairo_set_line_width(cr, 0.5);
    cairo_stroke(cr);
    cairo_restore(cr);
}

}  // namespace render
