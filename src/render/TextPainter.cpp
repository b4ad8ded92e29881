#include "render/TextPainter.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <memory>
#include <string>

#include "kit/Saturate.h"
#include "render/Cairo.h"
#include "render/Symbols.h"

namespace render {

namespace {

// Inter stands in for the system font: close in width and weight, and free.
constexpr const char* kTextFamily = "Inter";

struct LayoutRelease {
    void operator()(PangoLayout* layout) const { g_object_unref(layout); }
};
using LayoutPtr = std::unique_ptr<PangoLayout, LayoutRelease>;

struct FontRelease {
    void operator()(PangoFontDescription* description) const { pango_font_description_free(description); }
};
using FontPtr = std::unique_ptr<PangoFontDescription, FontRelease>;

PangoWeight weightOf(kit::Font::Weight weight) {
    switch (weight) {
        case kit::Font::Weight::Regular: return PANGO_WEIGHT_NORMAL;
        case kit::Font::Weight::Medium: return PANGO_WEIGHT_MEDIUM;
        case kit::Font::Weight::Semibold: return PANGO_WEIGHT_SEMIBOLD;
        case kit::Font::Weight::Bold: return PANGO_WEIGHT_BOLD;
    }
    return PANGO_WEIGHT_NORMAL;
}

// Sizes are absolute: a 13-point font is 13 user units high whatever the
// font map's resolution, so text scales with the picture like everything else.
FontPtr describe(const char* family, double size, PangoWeight weight) {
    FontPtr font(pango_font_description_new());
    pango_font_description_set_family(font.get(), family);
    pango_font_description_set_weight(font.get(), weight);
    pango_font_description_set_absolute_size(font.get(), size * PANGO_SCALE);
    return font;
}

// Titles come from other applications and may hold any bytes: pango wants
// UTF-8, so broken sequences become U+FFFD here rather than warnings there.
std::string validUTF8(std::string_view text) {
    if (g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr)) return std::string(text);
    gchar* fixed = g_utf8_make_valid(text.data(), static_cast<gssize>(text.size()));
    std::string result(fixed);
    g_free(fixed);
    return result;
}

LayoutPtr lineLayout(PangoContext* context, std::string_view text, const kit::Font& font) {
    LayoutPtr layout(pango_layout_new(context));
    FontPtr description = describe(kTextFamily, font.pointSize, weightOf(font.weight));
    pango_layout_set_font_description(layout.get(), description.get());
    pango_layout_set_single_paragraph_mode(layout.get(), TRUE);
    const std::string valid = validUTF8(text);
    pango_layout_set_text(layout.get(), valid.data(), static_cast<int>(valid.size()));
    return layout;
}

std::string utf8(char32_t c) {
    gchar buffer[8] = {};
    const gint length = g_unichar_to_utf8(static_cast<gunichar>(c), buffer);
    return std::string(buffer, static_cast<std::size_t>(length));
}

}  // namespace

TextPainter::TextPainter() {
    context_ = pango_font_map_create_context(pango_cairo_font_map_get_default());
    // Unhinted outlines at fractional positions: a line is as wide at twice
    // the scale as twice the line, so pictures at 1x and 2x agree.
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    pango_cairo_context_set_font_options(context_, options);
    cairo_font_options_destroy(options);
    pango_context_set_round_glyph_positions(context_, FALSE);
}

TextPainter::~TextPainter() { g_object_unref(context_); }

PangoContext* TextPainter::context(cairo_t* cr) {
    pango_cairo_update_context(cr, context_);
    return context_;
}

kit::Size TextPainter::measure(cairo_t* cr, std::string_view text, const kit::Font& font) {
    if (!(font.pointSize > 0)) return {};
    LayoutPtr layout = lineLayout(context(cr), text, font);
    PangoRectangle logical;
    pango_layout_get_extents(layout.get(), nullptr, &logical);
    return {static_cast<double>(logical.width) / PANGO_SCALE, static_cast<double>(logical.height) / PANGO_SCALE};
}

void TextPainter::drawLine(cairo_t* cr, std::string_view text, const LineStyle& style, const kit::Rect& box,
                           double inset) {
    if (text.empty() || box.isEmpty() || !(style.font.pointSize > 0)) return;
    LayoutPtr layout = lineLayout(context(cr), text, style.font);
    const double available = std::max(0.0, box.width() - 2 * inset);

    PangoEllipsizeMode ellipsize = PANGO_ELLIPSIZE_NONE;
    switch (style.lineBreakMode) {
        case kit::LineBreakMode::ByTruncatingHead: ellipsize = PANGO_ELLIPSIZE_START; break;
        case kit::LineBreakMode::ByTruncatingMiddle: ellipsize = PANGO_ELLIPSIZE_MIDDLE; break;
        case kit::LineBreakMode::ByTruncatingTail: ellipsize = PANGO_ELLIPSIZE_END; break;
        default: break;   // a label is one line: the wrapping modes clip too
    }
    if (ellipsize != PANGO_ELLIPSIZE_NONE) {
        // With a width and the default height of -1, pango keeps one line and
        // cuts it with an ellipsis.
        pango_layout_set_width(layout.get(), kit::saturatingCast<int>(available * PANGO_SCALE));
        pango_layout_set_ellipsize(layout.get(), ellipsize);
    }
    PangoRectangle logical;
    pango_layout_get_extents(layout.get(), nullptr, &logical);
    const double width = static_cast<double>(logical.width) / PANGO_SCALE;
    const double left = static_cast<double>(logical.x) / PANGO_SCALE;

    double x = box.minX() + inset - left;
    switch (style.alignment) {
        case kit::TextAlignment::Center: x += (available - width) / 2; break;
        case kit::TextAlignment::Right: x += available - width; break;
        case kit::TextAlignment::Left:
        case kit::TextAlignment::Natural: break;
    }

    cairo_save(cr);
    cairo_rectangle(cr, box.minX(), box.minY(), box.width(), box.height());
    cairo_clip(cr);
    setSource(cr, style.color);
    cairo_move_to(cr, x, box.minY());
    pango_cairo_show_layout(cr, layout.get());
    cairo_restore(cr);
}

bool TextPainter::drawSymbol(cairo_t* cr, char32_t codepoint, const kit::Rect& box, const kit::Color& color) {
    if (box.isEmpty()) return true;
    const double side = std::min(box.width(), box.height());
    const double em = side * 24.0 / 20.0;
    LayoutPtr layout(pango_layout_new(context(cr)));
    FontPtr description = describe(kSymbolFontFamily, em, PANGO_WEIGHT_NORMAL);
    pango_layout_set_font_description(layout.get(), description.get());
    const std::string text = utf8(codepoint);
    pango_layout_set_text(layout.get(), text.data(), static_cast<int>(text.size()));
    if (pango_layout_get_unknown_glyphs_count(layout.get()) > 0) return false;

    PangoRectangle logical;
    pango_layout_get_extents(layout.get(), nullptr, &logical);
    // The glyph's em box sits on the baseline; the font's ascent is 7/8 em.
    const double baseline = static_cast<double>(pango_layout_get_baseline(layout.get())) / PANGO_SCALE;
    const double emTop = baseline - em * 7.0 / 8.0;
    const double advance = static_cast<double>(logical.width) / PANGO_SCALE;
    const double x = box.midX() - advance / 2;
    const double y = box.midY() - em / 2 - emTop;
    cairo_save(cr);
    setSource(cr, color);
    cairo_move_to(cr, x, y);
    pango_cairo_show_layout(cr, layout.get());
    cairo_restore(cr);
    return true;
}

}  // namespace render
