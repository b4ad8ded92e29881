#include "render/WindowChrome.h"

#include <algorithm>
#include <numbers>

#include "render/Cairo.h"

namespace render {

namespace {

// The window buttons: 12-point discs, 20 points apart, centred in the bar.
constexpr double kLightRadius = 6;
constexpr double kFirstLightX = 15;
constexpr double kLightSpacing = 20;

}  // namespace

void paintWindowShadow(cairo_t* cr, const kit::Rect& frame, double cornerRadius) {
    // Rings of growing size and falling weight, dropped a little, stand in
    // for a blurred shadow at a fraction of the cost.
    constexpr int rings = 14;
    constexpr double drop = 6;
    cairo_save(cr);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    for (int i = rings; i >= 1; --i) {
        const double spread = i * 1.5;
        const kit::Rect outer = frame.insetBy(-spread, -spread).offsetBy(0, drop * i / rings);
        roundedRectPath(cr, outer, cornerRadius + spread);
        roundedRectPath(cr, frame, cornerRadius);
        cairo_set_source_rgba(cr, 0, 0, 0, 0.022);
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

void paintTitleBar(cairo_t* cr, TextPainter& text, const kit::Rect& frame, std::string_view title, bool focused) {
    const kit::Rect bar{frame.minX(), frame.minY(), frame.width(), std::min(kTitleBarHeight, frame.height())};
    cairo_save(cr);
    roundedRectPath(cr, frame, kWindowCornerRadius);
    cairo_clip(cr);

    PatternPtr gradient(cairo_pattern_create_linear(0, bar.minY(), 0, bar.maxY()));
    cairo_pattern_add_color_stop_rgb(gradient.get(), 0, 0.955, 0.955, 0.955);
    cairo_pattern_add_color_stop_rgb(gradient.get(), 1, 0.905, 0.905, 0.905);
    cairo_rectangle(cr, bar.minX(), bar.minY(), bar.width(), bar.height());
    cairo_set_source(cr, gradient.get());
    cairo_fill(cr);
    cairo_rectangle(cr, bar.minX(), bar.maxY() - 0.5, bar.width(), 0.5);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.16);
    cairo_fill(cr);

    constexpr double colours[3][3] = {{1.0, 0.373, 0.341}, {0.996, 0.737, 0.180}, {0.157, 0.784, 0.251}};
    for (int i = 0; i < 3; ++i) {
        cairo_new_sub_path(cr);
        cairo_arc(cr, bar.minX() + kFirstLightX + i * kLightSpacing, bar.midY(), kLightRadius, 0, 2 * std::numbers::pi);
        if (focused) cairo_set_source_rgb(cr, colours[i][0], colours[i][1], colours[i][2]);
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
        style.color = focused ? kit::Color::rgba(0, 0, 0, 0.85) : kit::Color::rgba(0, 0, 0, 0.4);
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
