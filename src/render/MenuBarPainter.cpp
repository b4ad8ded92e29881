#include "render/MenuBarPainter.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <ctime>

#include "kit/ImageView.h"
#include "kit/Saturate.h"
#include "render/Blur.h"
#include "render/Cairo.h"

namespace render {

namespace {

constexpr double kSideInset = 16;

}  // namespace

std::string clockText(double secondsSince1970) {
    static constexpr std::array<const char*, 7> days = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static constexpr std::array<const char*, 12> months = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                           "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const std::time_t seconds = kit::saturatingCast<std::time_t>(std::floor(secondsSince1970));
    std::tm parts{};
    if (!gmtime_r(&seconds, &parts)) return {};
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%s %d %s %02d:%02d", days[static_cast<std::size_t>(parts.tm_wday % 7)],
                  parts.tm_mday, months[static_cast<std::size_t>(parts.tm_mon % 12)], parts.tm_hour, parts.tm_min);
    return buffer;
}

void paintMenuBar(cairo_t* cr, TextPainter& text, ImagePainter& images, const MenuBarContent& content) {
    const kit::Rect bar{content.display.minX(), content.display.minY(), content.display.width(), kMenuBarHeight};
    cairo_save(cr);
    paintBlurredBackdrop(cr, bar, 0, 12);
    cairo_rectangle(cr, bar.minX(), bar.minY(), bar.width(), bar.height());
    cairo_set_source_rgba(cr, 1, 1, 1, 0.55);
    cairo_fill(cr);
    cairo_rectangle(cr, bar.minX(), bar.maxY() - 0.5, bar.width(), 0.5);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.12);
    cairo_fill(cr);

    TextPainter::LineStyle style;
    style.font = kit::Font::systemFont(13);
    style.color = kit::Color::rgba(0, 0, 0, 0.85);
    const double lineHeight = text.measure(cr, "Mg", style.font).height;
    const double lineTop = bar.midY() - lineHeight / 2;

    if (!content.appName.empty()) {
        TextPainter::LineStyle bold = style;
        bold.font.weight = kit::Font::Weight::Bold;
        text.drawLine(cr, content.appName, bold, {bar.minX() + kSideInset, lineTop, bar.width() / 3, lineHeight});
    }

    const std::string clock = clockText(content.now);
    style.alignment = kit::TextAlignment::Right;
    text.drawLine(cr, clock, style, {bar.minX(), lineTop, bar.width() - kSideInset, lineHeight});

    if (content.statusImage && content.statusFrame) {
        const kit::Size size = content.statusImage->size();
        const kit::Rect slot = *content.statusFrame;
        const kit::Rect drawn =
            kit::imageRectFor(size, slot, kit::ImageScaling::ProportionallyDown);
        images.draw(cr, content.statusImage, drawn, kit::Color::rgba(0, 0, 0, 1), kit::Appearance::Aqua);
    }
    cairo_restore(cr);
}

}  // namespace render
