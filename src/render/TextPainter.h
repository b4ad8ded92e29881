#pragma once

#include <cairo.h>

#include <string_view>

#include "kit/Color.h"
#include "kit/Font.h"
#include "kit/Geometry.h"
#include "kit/Label.h"

typedef struct _PangoContext PangoContext;

namespace render {

// Draws single lines of text and icon-font glyphs with pango. One per
// painter and thread (pango's font map is per thread). Boxes are in user
// space with y growing down.
class TextPainter {
public:
    TextPainter();
    ~TextPainter();
    TextPainter(const TextPainter&) = delete;
    TextPainter& operator=(const TextPainter&) = delete;

    struct LineStyle {
        kit::Font font;
        kit::Color color;   // resolved
        kit::TextAlignment alignment = kit::TextAlignment::Natural;
        kit::LineBreakMode lineBreakMode = kit::LineBreakMode::ByClipping;
    };

    // One line at the top of `box`, `inset` in from its left and right edges,
    // clipped to the box; the truncating modes put "…" where the text is cut.
    void drawLine(cairo_t* cr, std::string_view text, const LineStyle& style, const kit::Rect& box,
                  double inset = 0);
    // The line's natural width and height in user units.
    kit::Size measure(cairo_t* cr, std::string_view text, const kit::Font& font);

    // An icon-font glyph whose drawing area (the em less its 2-of-24 margins)
    // fills `box`, centred. False when the font has no such glyph.
    bool drawSymbol(cairo_t* cr, char32_t codepoint, const kit::Rect& box, const kit::Color& color);

private:
    PangoContext* context(cairo_t* cr);

    PangoContext* context_ = nullptr;
};

}  // namespace render
