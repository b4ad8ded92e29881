#include "render/MenuBarPainter.h"

#include <algorithm>

#include "kit/ImageView.h"
#include "render/Blur.h"
#include "render/Cairo.h"

namespace render {

namespace {

constexpr double kSideInset = 16;
constexpr double kLogoWidth = 14;
constexpr double kTitleGap = 20;   // between two menu titles
// Menu titles stop this far short of the status items and the clock.
constexpr double kRightReserve = 260;
constexpr double kHighlightRadius = 5;

// An apple with a bite out of its right side and a leaf above, drawn
// `width` wide with its top-left at (x, y): the menu bar's own mark, drawn
// here from curves.
void paintLogo(cairo_t* cr, double x, double y, double width, const kit::Color& ink) {
    const double w = width;
    const double h = width * 1.18;
    cairo_save(cr);
    cairo_translate(cr, x, y);
    // The body: two shoulders meeting in a dip at the top, a narrower base
    // with a dip at the bottom.
    cairo_move_to(cr, w * 0.50, h * 0.30);
    cairo_curve_to(cr, w * 0.30, h * 0.20, w * 0.00, h * 0.24, w * 0.00, h * 0.56);
    cairo_curve_to(cr, w * 0.00, h * 0.82, w * 0.18, h * 1.00, w * 0.32, h * 1.00);
    cairo_curve_to(cr, w * 0.42, h * 1.00, w * 0.44, h * 0.95, w * 0.50, h * 0.95);
    cairo_curve_to(cr, w * 0.56, h * 0.95, w * 0.58, h * 1.00, w * 0.68, h * 1.00);
    cairo_curve_to(cr, w * 0.82, h * 1.00, w * 0.95, h * 0.84, w * 1.00, h * 0.70);
    // The bite.
    cairo_curve_to(cr, w * 0.82, h * 0.62, w * 0.80, h * 0.38, w * 0.94, h * 0.32);
    cairo_curve_to(cr, w * 0.84, h * 0.20, w * 0.66, h * 0.20, w * 0.50, h * 0.30);
    cairo_close_path(cr);
    // The leaf.
    cairo_move_to(cr, w * 0.50, h * 0.22);
    cairo_curve_to(cr, w * 0.48, h * 0.08, w * 0.60, h * 0.00, w * 0.72, h * 0.00);
    cairo_curve_to(cr, w * 0.74, h * 0.12, w * 0.62, h * 0.22, w * 0.50, h * 0.22);
    cairo_close_path(cr);
    setSource(cr, ink);
    cairo_fill(cr);
    cairo_restore(cr);
}

}  // namespace

void paintMenuBar(cairo_t* cr, TextPainter& text, ImagePainter& images, const MenuBarContent& content) {
    const kit::Rect bar{content.display.minX(), content.display.minY(), content.display.width(), kMenuBarHeight};
    const kit::Color ink = content.dark ? kit::Color::rgba(1, 1, 1, 0.9) : kit::Color::rgba(0, 0, 0, 0.85);
    cairo_save(cr);
    paintBlurredBackdrop(cr, bar, 0, 12);
    cairo_rectangle(cr, bar.minX(), bar.minY(), bar.width(), bar.height());
    if (content.dark) cairo_set_source_rgba(cr, 0.12, 0.12, 0.14, 0.62);
    else cairo_set_source_rgba(cr, 1, 1, 1, 0.55);
    cairo_fill(cr);
    cairo_rectangle(cr, bar.minX(), bar.maxY() - 0.5, bar.width(), 0.5);
    if (content.dark) cairo_set_source_rgba(cr, 0, 0, 0, 0.5);
    else cairo_set_source_rgba(cr, 0, 0, 0, 0.12);
    cairo_fill(cr);

    TextPainter::LineStyle style;
    style.font = kit::Font::systemFont(13);
    style.color = ink;
    const double lineHeight = text.measure(cr, "Mg", style.font).height;
    const double lineTop = bar.midY() - lineHeight / 2;

    // The menus, left to right, while they fit before the status area.
    const double limit = std::max(bar.minX() + kSideInset, bar.maxX() - kRightReserve);
    double x = bar.minX() + kSideInset;
    for (const MenuBarContent::Title& title : content.menus) {
        if (x >= limit) break;
        if (title.text.empty()) {
            paintLogo(cr, x, bar.midY() - kLogoWidth * 1.18 / 2 - 0.5, kLogoWidth, ink);
            x += kLogoWidth + kTitleGap;
            continue;
        }
        TextPainter::LineStyle titleStyle = style;
        if (title.bold) titleStyle.font.weight = kit::Font::Weight::Bold;
        const double width = text.measure(cr, title.text, titleStyle.font).width;
        text.drawLine(cr, title.text, titleStyle, {x, lineTop, std::min(width + 1, limit - x), lineHeight});
        x += width + kTitleGap;
    }

    style.alignment = kit::TextAlignment::Right;
    text.drawLine(cr, content.clock, style, {bar.minX(), lineTop, bar.width() - kSideInset, lineHeight});

    if (content.statusFrame && content.statusHighlighted) {
        // The pressed look: a rounded plate behind the button.
        roundedRectPath(cr, content.statusFrame->insetBy(-3, 0), kHighlightRadius);
        if (content.dark) cairo_set_source_rgba(cr, 1, 1, 1, 0.22);
        else cairo_set_source_rgba(cr, 0, 0, 0, 0.13);
        cairo_fill(cr);
    }
    if (content.statusImage && content.statusFrame) {
        const kit::Size size = content.statusImage->size();
        const kit::Rect drawn =
            kit::imageRectFor(size, *content.statusFrame, kit::ImageScaling::ProportionallyDown);
        const kit::Color tint = content.dark ? kit::Color::rgba(1, 1, 1, 1) : kit::Color::rgba(0, 0, 0, 1);
        images.draw(cr, content.statusImage, drawn, tint,
                    content.dark ? kit::Appearance::DarkAqua : kit::Appearance::Aqua);
    }
    cairo_restore(cr);
}

}  // namespace render
