#include "render/DockPainter.h"

#include <algorithm>
#include <cctype>
#include <numbers>
#include <string>

#include "render/Blur.h"
#include "render/Cairo.h"

namespace render {

namespace {

constexpr double kStripPadding = 6;   // around the icons
constexpr double kStripRadius = 16;
constexpr double kIconCorner = 0.225;  // of the icon's side: the system's squircle, roughly
constexpr double kDotRadius = 2;

// The first character of the title, upper-cased when it is ASCII; a whole
// UTF-8 sequence otherwise.
std::string initialOf(const std::string& title) {
    if (title.empty()) return "?";
    const auto lead = static_cast<unsigned char>(title[0]);
    if (lead < 0x80) return std::string(1, static_cast<char>(std::toupper(lead)));
    std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    return title.substr(0, std::min(length, title.size()));
}

void paintApplication(cairo_t* cr, TextPainter& text, const sim::DockItemInfo& item) {
    const kit::Rect r = item.frame.insetBy(item.frame.width() * 0.04, item.frame.height() * 0.04);
    const kit::Color base = colorFromImagePixel(item.color);
    const kit::Color top = shade(base, 0.25);
    const kit::Color bottom = shade(base, -0.2);
    PatternPtr gradient(cairo_pattern_create_linear(0, r.minY(), 0, r.maxY()));
    cairo_pattern_add_color_stop_rgb(gradient.get(), 0, top.red, top.green, top.blue);
    cairo_pattern_add_color_stop_rgb(gradient.get(), 1, bottom.red, bottom.green, bottom.blue);
    roundedRectPath(cr, r, r.width() * kIconCorner);
    cairo_set_source(cr, gradient.get());
    cairo_fill_preserve(cr);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.18);
    cairo_set_line_width(cr, 0.75);
    cairo_stroke(cr);

    TextPainter::LineStyle style;
    style.font = kit::Font::systemFont(r.height() * 0.5, kit::Font::Weight::Bold);
    style.color = kit::Color::rgba(1, 1, 1, 0.95);
    style.alignment = kit::TextAlignment::Center;
    const std::string letter = initialOf(item.title);
    const double lineHeight = text.measure(cr, letter, style.font).height;
    text.drawLine(cr, letter, style, {r.minX(), r.midY() - lineHeight / 2, r.width(), lineHeight});
}

void paintFolder(cairo_t* cr, const kit::Rect& frame) {
    const kit::Rect r = frame.insetBy(frame.width() * 0.1, frame.height() * 0.18);
    const double tabWidth = r.width() * 0.4;
    const double tabHeight = r.height() * 0.14;
    roundedRectPath(cr, {r.minX(), r.minY(), tabWidth, tabHeight * 2}, tabHeight * 0.6);
    cairo_set_source_rgb(cr, 0.30, 0.62, 0.93);
    cairo_fill(cr);
    const kit::Rect body{r.minX(), r.minY() + tabHeight, r.width(), r.height() - tabHeight};
    PatternPtr gradient(cairo_pattern_create_linear(0, body.minY(), 0, body.maxY()));
    cairo_pattern_add_color_stop_rgb(gradient.get(), 0, 0.47, 0.76, 0.98);
    cairo_pattern_add_color_stop_rgb(gradient.get(), 1, 0.33, 0.64, 0.94);
    roundedRectPath(cr, body, r.width() * 0.06);
    cairo_set_source(cr, gradient.get());
    cairo_fill(cr);
}

void paintTrash(cairo_t* cr, const kit::Rect& frame) {
    const kit::Rect r = frame.insetBy(frame.width() * 0.2, frame.height() * 0.12);
    const double inset = r.width() * 0.08;
    // A slightly tapering bin with a rim and three ribs.
    cairo_move_to(cr, r.minX(), r.minY() + r.height() * 0.08);
    cairo_line_to(cr, r.maxX(), r.minY() + r.height() * 0.08);
    cairo_line_to(cr, r.maxX() - inset, r.maxY());
    cairo_line_to(cr, r.minX() + inset, r.maxY());
    cairo_close_path(cr);
    cairo_set_source_rgba(cr, 0.93, 0.94, 0.96, 0.85);
    cairo_fill_preserve(cr);
    cairo_set_source_rgba(cr, 0.35, 0.37, 0.40, 0.8);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    roundedRectPath(cr, {r.minX() - 1, r.minY(), r.width() + 2, r.height() * 0.1}, 1.5);
    cairo_set_source_rgba(cr, 0.55, 0.57, 0.60, 0.95);
    cairo_fill(cr);
    for (int i = 1; i <= 3; ++i) {
        const double x = r.minX() + r.width() * i / 4;
        cairo_move_to(cr, x, r.minY() + r.height() * 0.22);
        cairo_line_to(cr, x, r.maxY() - r.height() * 0.1);
    }
    cairo_set_source_rgba(cr, 0.35, 0.37, 0.40, 0.5);
    cairo_stroke(cr);
}

void paintSeparator(cairo_t* cr, const kit::Rect& frame, bool dark) {
    cairo_rectangle(cr, frame.midX() - 0.5, frame.minY() + 4, 1, std::max(0.0, frame.height() - 8));
    if (dark) cairo_set_source_rgba(cr, 1, 1, 1, 0.25);
    else cairo_set_source_rgba(cr, 0, 0, 0, 0.2);
    cairo_fill(cr);
}

// A minimized window's tile: a small picture of the window, its title bar
// with the three buttons; Durazizi's own carry its icon in the corner, as the
// Dock badges a minimized window with its application's.
void paintMinimized(cairo_t* cr, ImagePainter& images, const sim::DockItemInfo& item, bool dark) {
    const kit::Rect frame = item.frame;
    const kit::Rect r = frame.insetBy(frame.width() * 0.08, frame.height() * 0.2);
    roundedRectPath(cr, r, 3);
    if (dark) cairo_set_source_rgb(cr, 0.17, 0.17, 0.18);
    else cairo_set_source_rgb(cr, 0.98, 0.98, 0.98);
    cairo_fill_preserve(cr);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.25);
    cairo_set_line_width(cr, 0.5);
    cairo_stroke(cr);
    cairo_rectangle(cr, r.minX(), r.minY() + 2, r.width(), r.height() * 0.18);
    if (dark) cairo_set_source_rgb(cr, 0.26, 0.26, 0.27);
    else cairo_set_source_rgb(cr, 0.86, 0.86, 0.86);
    cairo_fill(cr);
    constexpr double lights[3][3] = {{1.0, 0.373, 0.341}, {0.996, 0.737, 0.180}, {0.157, 0.784, 0.251}};
    const double radius = std::max(0.5, r.height() * 0.05);
    for (int i = 0; i < 3; ++i) {
        cairo_new_sub_path(cr);
        cairo_arc(cr, r.minX() + radius * (2.5 + 3 * i), r.minY() + 2 + r.height() * 0.09, radius, 0,
                  2 * std::numbers::pi);
        cairo_set_source_rgb(cr, lights[i][0], lights[i][1], lights[i][2]);
        cairo_fill(cr);
    }
    if (item.icon) {
        const double side = frame.width() * 0.42;
        const kit::Rect corner{frame.maxX() - side, frame.maxY() - side, side, side};
        images.draw(cr, item.icon, corner, kit::Color::rgba(0, 0, 0, 1),
                    dark ? kit::Appearance::DarkAqua : kit::Appearance::Aqua);
    }
}

}  // namespace

void paintDock(cairo_t* cr, TextPainter& text, ImagePainter& images, const std::vector<sim::DockItemInfo>& items,
               bool dark) {
    if (items.empty()) return;
    double minX = items.front().frame.minX();
    double maxX = items.front().frame.maxX();
    double minY = items.front().frame.minY();
    double maxY = items.front().frame.maxY();
    for (const sim::DockItemInfo& item : items) {
        minX = std::min(minX, item.frame.minX());
        maxX = std::max(maxX, item.frame.maxX());
        minY = std::min(minY, item.frame.minY());
        maxY = std::max(maxY, item.frame.maxY());
    }
    cairo_save(cr);
    const kit::Rect strip{minX - kStripPadding - 4, minY - kStripPadding, maxX - minX + 2 * (kStripPadding + 4),
                          maxY - minY + 2 * kStripPadding};
    paintBlurredBackdrop(cr, strip, kStripRadius, 12);
    roundedRectPath(cr, strip, kStripRadius);
    if (dark) cairo_set_source_rgba(cr, 0.11, 0.11, 0.13, 0.55);
    else cairo_set_source_rgba(cr, 1, 1, 1, 0.38);
    cairo_fill_preserve(cr);
    if (dark) cairo_set_source_rgba(cr, 1, 1, 1, 0.18);
    else cairo_set_source_rgba(cr, 1, 1, 1, 0.55);
    cairo_set_line_width(cr, 0.75);
    cairo_stroke(cr);
    const kit::Appearance appearance = dark ? kit::Appearance::DarkAqua : kit::Appearance::Aqua;

    for (const sim::DockItemInfo& item : items) {
        switch (item.kind) {
            case sim::DockItemKind::Application:
                if (item.icon) images.draw(cr, item.icon, item.frame, kit::Color::rgba(0, 0, 0, 1), appearance);
                else paintApplication(cr, text, item);
                break;
            case sim::DockItemKind::Folder: paintFolder(cr, item.frame); break;
            case sim::DockItemKind::Trash: paintTrash(cr, item.frame); break;
            case sim::DockItemKind::Separator: paintSeparator(cr, item.frame, dark); break;
            case sim::DockItemKind::Minimized: paintMinimized(cr, images, item, dark); break;
        }
        if (item.running) {
            cairo_new_sub_path(cr);
            cairo_arc(cr, item.frame.midX(), item.frame.maxY() + kStripPadding / 2 + 0.5, kDotRadius, 0,
                      2 * std::numbers::pi);
            if (dark) cairo_set_source_rgba(cr, 1, 1, 1, 0.8);
            else cairo_set_source_rgba(cr, 0, 0, 0, 0.72);
            cairo_fill(cr);
        }
    }
    cairo_restore(cr);
}

}  // namespace render
