#include "render/ControlPainter.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "kit/Controls.h"
#include "kit/TextMetrics.h"
#include "render/Cairo.h"

namespace render {

namespace {

struct Palette {
    kit::Color text;
    kit::Color secondary;
    kit::Color accent;
    kit::Color track;        // an off switch, a slider's empty track
    kit::Color bezel;        // a button's face
    kit::Color bezelEdge;
    kit::Color knob;
};

Palette paletteFor(kit::Appearance appearance) {
    const bool dark = kit::isDark(appearance);
    Palette p;
    p.text = kit::resolve(kit::Color::label(), appearance);
    p.secondary = kit::resolve(kit::Color::secondaryLabel(), appearance);
    p.accent = kit::resolve(kit::Color::accent(), appearance);
    p.track = dark ? kit::Color::rgba(1, 1, 1, 0.16) : kit::Color::rgba(0, 0, 0, 0.10);
    p.bezel = dark ? kit::Color::rgba(0.40, 0.40, 0.42, 1) : kit::Color::rgba(1, 1, 1, 1);
    p.bezelEdge = dark ? kit::Color::rgba(0, 0, 0, 0.35) : kit::Color::rgba(0, 0, 0, 0.2);
    p.knob = dark ? kit::Color::rgba(0.85, 0.85, 0.86, 1) : kit::Color::rgba(1, 1, 1, 1);
    return p;
}

// Control titles start where a label's text does (NSTextField's cell inset),
// so every row of a form begins at one leading edge.
constexpr double kTitleInset = 2;

kit::Rect box(const kit::View& view) { return {0, 0, view.bounds().width(), view.bounds().height()}; }

// Bounds coordinates of a flipped control are already top-down.
kit::Rect local(const kit::View& view, kit::Rect r) { return r.offsetBy(-view.bounds().minX(), -view.bounds().minY()); }

void fillRounded(cairo_t* cr, const kit::Rect& r, double radius, const kit::Color& color) {
    roundedRectPath(cr, r, radius);
    setSource(cr, color);
    cairo_fill(cr);
}

void bezel(cairo_t* cr, const kit::Rect& r, const Palette& p, bool highlighted, const kit::Color* fill = nullptr) {
    roundedRectPath(cr, r, std::min(5.0, r.height() / 2));
    setSource(cr, fill ? *fill : (highlighted ? p.accent : p.bezel));
    cairo_fill_preserve(cr);
    setSource(cr, p.bezelEdge);
    cairo_set_line_width(cr, 0.5);
    cairo_stroke(cr);
}

void line(TextPainter& text, cairo_t* cr, const std::string& s, const kit::Rect& r, double size, const kit::Color& color,
          kit::TextAlignment alignment = kit::TextAlignment::Left) {
    TextPainter::LineStyle style;
    style.font = kit::Font::systemFont(size);
    style.color = color;
    style.alignment = alignment;
    style.lineBreakMode = kit::LineBreakMode::ByTruncatingTail;
    const double height = text.measure(cr, s, style.font).height;
    text.drawLine(cr, s, style, {r.minX(), r.midY() - height / 2, r.width(), height});
}

void paintSwitch(cairo_t* cr, TextPainter& text, const kit::Switch& view, const Palette& p) {
    const kit::Rect knobArea = local(view, view.switchRect());
    line(text, cr, view.title(), {kTitleInset, 0, std::max(0.0, knobArea.minX() - 8 - kTitleInset), view.bounds().height()},
         13, p.text);
    fillRounded(cr, knobArea, knobArea.height() / 2, view.isOn() ? p.accent : p.track);
    const double d = knobArea.height() - 2;
    const double x = view.isOn() ? knobArea.maxX() - d - 1 : knobArea.minX() + 1;
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + d / 2, knobArea.midY(), d / 2, 0, 2 * std::numbers::pi);
    setSource(cr, kit::Color::rgba(1, 1, 1, 1));
    cairo_fill_preserve(cr);
    setSource(cr, kit::Color::rgba(0, 0, 0, 0.15));
    cairo_set_line_width(cr, 0.5);
    cairo_stroke(cr);
}

void paintPushToggle(cairo_t* cr, TextPainter& text, const kit::PushToggle& view, const Palette& p) {
    const kit::Rect r = box(view).insetBy(1, 1);
    bezel(cr, r, p, view.isOn());
    line(text, cr, view.title(), r, 13, view.isOn() ? kit::Color::rgba(1, 1, 1, 1) : p.text, kit::TextAlignment::Center);
}

void arrow(cairo_t* cr, const kit::Rect& r, bool up, const kit::Color& color) {
    const double w = 3.5, h = 2.5;
    cairo_move_to(cr, r.midX() - w, r.midY() + (up ? h / 2 : -h / 2));
    cairo_line_to(cr, r.midX(), r.midY() + (up ? -h / 2 : h / 2));
    cairo_line_to(cr, r.midX() + w, r.midY() + (up ? h / 2 : -h / 2));
    setSource(cr, color);
    cairo_set_line_width(cr, 1.3);
    cairo_stroke(cr);
}

void paintStepper(cairo_t* cr, TextPainter& text, const kit::Stepper& view, const Palette& p) {
    const kit::Rect up = local(view, view.upArrowRect());
    const kit::Rect down = local(view, view.downArrowRect());
    line(text, cr, view.title(), {kTitleInset, 0, std::max(0.0, up.minX() - 6 - kTitleInset), view.bounds().height()}, 13,
         p.text);
    const kit::Rect arrows{up.minX(), up.minY(), up.width(), up.height() + down.height()};
    bezel(cr, arrows, p, false);
    setSource(cr, p.bezelEdge);
    cairo_move_to(cr, arrows.minX() + 2, arrows.midY());
    cairo_line_to(cr, arrows.maxX() - 2, arrows.midY());
    cairo_set_line_width(cr, 0.5);
    cairo_stroke(cr);
    arrow(cr, up, true, view.value() < view.maximum() ? p.text : p.secondary);
    arrow(cr, down, false, view.value() > view.minimum() ? p.text : p.secondary);
}

void paintSlider(cairo_t* cr, const kit::Slider& view, const Palette& p) {
    const double y = view.bounds().height() / 2;
    const double start = view.trackStart(), end = view.trackEnd();
    const double x = view.pointForValue(view.value()).x - view.bounds().minX();
    fillRounded(cr, {start, y - 2, std::max(0.0, end - start), 4}, 2, p.track);
    fillRounded(cr, {start, y - 2, std::max(0.0, x - start), 4}, 2, p.accent);
    const double r = kit::Slider::kKnobDiameter / 2 - 1;
    cairo_new_sub_path(cr);
    cairo_arc(cr, x, y, r, 0, 2 * std::numbers::pi);
    setSource(cr, p.knob);
    cairo_fill_preserve(cr);
    setSource(cr, p.bezelEdge);
    cairo_set_line_width(cr, 0.5);
    cairo_stroke(cr);
}

void paintSegments(cairo_t* cr, TextPainter& text, ImagePainter& images, const kit::SegmentedControl& view,
                   const Palette& p, kit::Appearance appearance) {
    const kit::Rect all = box(view).insetBy(1, 1);
    bezel(cr, all, p, false);
    for (std::size_t i = 0; i < view.labels().size(); ++i) {
        const kit::Rect segment = local(view, view.segmentRect(i)).insetBy(1, 1);
        const bool selected = view.selected() == i;
        const kit::Color ink = selected ? kit::Color::rgba(1, 1, 1, 1) : p.text;
        if (selected) fillRounded(cr, segment.insetBy(1, 1), 4, p.accent);
        else if (i > 0) {
            setSource(cr, p.bezelEdge);
            cairo_move_to(cr, segment.minX(), segment.minY() + 4);
            cairo_line_to(cr, segment.minX(), segment.maxY() - 4);
            cairo_set_line_width(cr, 0.5);
            cairo_stroke(cr);
        }
        const kit::ImageRef symbol = i < view.images().size() ? view.images()[i] : nullptr;
        if (!symbol) {
            line(text, cr, view.labels()[i], segment, 12, ink, kit::TextAlignment::Center);
            continue;
        }
        // The symbol and the title, centred together in the segment.
        constexpr double kSymbol = 14, kGap = 4;
        const double titleWidth = std::ceil(kit::textWidth(view.labels()[i], kit::Font::systemFont(12)));
        const double start = segment.midX() - (kSymbol + kGap + titleWidth) / 2;
        images.draw(cr, symbol, {start, segment.midY() - kSymbol / 2, kSymbol, kSymbol}, ink, appearance);
        line(text, cr, view.labels()[i], {start + kSymbol + kGap, segment.minY(), titleWidth + 2, segment.height()}, 12, ink);
    }
}

// Two chevrons, one up and one down, stacked in the box.
void chevrons(cairo_t* cr, const kit::Rect& r, const kit::Color& color) {
    const double w = 3, h = 2.5, gap = 1.5;
    cairo_move_to(cr, r.midX() - w, r.midY() - gap);
    cairo_line_to(cr, r.midX(), r.midY() - gap - h);
    cairo_line_to(cr, r.midX() + w, r.midY() - gap);
    cairo_move_to(cr, r.midX() - w, r.midY() + gap);
    cairo_line_to(cr, r.midX(), r.midY() + gap + h);
    cairo_line_to(cr, r.midX() + w, r.midY() + gap);
    setSource(cr, color);
    cairo_set_line_width(cr, 1.4);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke(cr);
}

void paintPopUpButton(cairo_t* cr, TextPainter& text, const kit::PopUpButton& view, const Palette& p) {
    const kit::Rect r = box(view).insetBy(0.5, 0.5);
    bezel(cr, r, p, false);
    const kit::Rect indicator = local(view, view.indicatorRect());
    fillRounded(cr, indicator, 4, p.accent);
    chevrons(cr, indicator, kit::Color::rgba(1, 1, 1, 1));
    line(text, cr, view.title(), {8, 0, std::max(0.0, indicator.minX() - 12), view.bounds().height()}, 13, p.text);
}

void paintPopUpMenu(cairo_t* cr, TextPainter& text, const kit::PopUpMenu& view, const Palette& p, bool dark) {
    const kit::Rect menu = local(view, view.menuRect());
    // A soft shadow under the menu, then its face and hairline edge.
    for (int i = 4; i >= 1; --i) {
        roundedRectPath(cr, menu.insetBy(-i, -i).offsetBy(0, 2), 6 + i);
        setSource(cr, kit::Color::rgba(0, 0, 0, 0.035));
        cairo_fill(cr);
    }
    roundedRectPath(cr, menu, 6);
    setSource(cr, dark ? kit::Color::rgba(0.17, 0.17, 0.18, 0.97) : kit::Color::rgba(0.96, 0.96, 0.96, 0.97));
    cairo_fill_preserve(cr);
    setSource(cr, dark ? kit::Color::rgba(1, 1, 1, 0.18) : kit::Color::rgba(0, 0, 0, 0.18));
    cairo_set_line_width(cr, 0.5);
    cairo_stroke(cr);
    for (std::size_t i = 0; i < view.items().size(); ++i) {
        const kit::Rect item = local(view, view.itemRect(i));
        const double titleX = item.minX() + kit::PopUpMenu::kLeadingInset - 5;
        if (view.checkedIndex() == i)
            line(text, cr, "\u2713", {item.minX() + 5, item.minY(), titleX - item.minX() - 5, item.height()}, 13, p.text);
        line(text, cr, view.items()[i], {titleX, item.minY(), std::max(0.0, item.maxX() - titleX), item.height()}, 13,
             p.text);
    }
}

void paintLink(cairo_t* cr, TextPainter& text, const kit::Link& view, const Palette& p) {
    line(text, cr, view.title(), box(view), view.fontSize(), p.accent);
}

}  // namespace

bool paintControl(cairo_t* cr, TextPainter& text, ImagePainter& images, const kit::View& view,
                  kit::Appearance appearance) {
    const Palette p = paletteFor(appearance);
    if (const auto* v = dynamic_cast<const kit::Switch*>(&view)) paintSwitch(cr, text, *v, p);
    else if (const auto* v = dynamic_cast<const kit::PushToggle*>(&view)) paintPushToggle(cr, text, *v, p);
    else if (const auto* v = dynamic_cast<const kit::Stepper*>(&view)) paintStepper(cr, text, *v, p);
    else if (const auto* v = dynamic_cast<const kit::Slider*>(&view)) paintSlider(cr, *v, p);
    else if (const auto* v = dynamic_cast<const kit::SegmentedControl*>(&view))
        paintSegments(cr, text, images, *v, p, appearance);
    else if (const auto* v = dynamic_cast<const kit::PopUpButton*>(&view)) paintPopUpButton(cr, text, *v, p);
    else if (const auto* v = dynamic_cast<const kit::PopUpMenu*>(&view))
        paintPopUpMenu(cr, text, *v, p, kit::isDark(appearance));
    else if (const auto* v = dynamic_cast<const kit::Link*>(&view)) paintLink(cr, text, *v, p);
    else return false;
    return true;
}

void paintScrollIndicator(cairo_t* cr, const kit::View& view, kit::Appearance appearance) {
    const auto* scroll = dynamic_cast<const kit::ScrollView*>(&view);
    const std::optional<kit::Rect> knob = scroll ? scroll->scrollerKnobRect() : std::nullopt;
    if (!knob) return;
    fillRounded(cr, *knob, knob->width() / 2,
                kit::isDark(appearance) ? kit::Color::rgba(1, 1, 1, 0.35) : kit::Color::rgba(0, 0, 0, 0.3));
}

void installTextMeasure() {
    kit::setTextMeasure([](std::string_view s, const kit::Font& font) {
        // One painter and scratch surface per thread: pango's font map is per thread.
        thread_local TextPainter painter;
        thread_local SurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1));
        thread_local ContextPtr context(cairo_create(surface.get()));
        return painter.measure(context.get(), s, font).width;
    });
}

}  // namespace render
