#include "render/ViewPainter.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "kit/Button.h"
#include "kit/ImageView.h"
#include "kit/Label.h"
#include "kit/VisualEffectView.h"
#include "render/Blur.h"
#include "render/Cairo.h"
#include "render/ControlPainter.h"

namespace render {

namespace {

// NSTextField's cell keeps its text this far from the left and right edges.
constexpr double kLabelInset = 2;
// The material's blur, in points.
constexpr double kBlurRadius = 10;

// Moves the user space from the view's own coordinates to a box with its
// origin at the bounds' top-left and y growing down, where text and images
// are drawn upright whether or not the view is flipped.
void enterTopDown(cairo_t* cr, const kit::View& view) {
    const kit::Rect b = view.bounds();
    if (view.isFlipped()) {
        cairo_translate(cr, b.minX(), b.minY());
    } else {
        cairo_translate(cr, b.minX(), b.maxY());
        cairo_scale(cr, 1, -1);
    }
}

// A rect in the view's bounds coordinates, in the top-down box.
kit::Rect topDown(const kit::View& view, const kit::Rect& r) {
    const kit::Rect b = view.bounds();
    if (view.isFlipped()) return {r.minX() - b.minX(), r.minY() - b.minY(), r.width(), r.height()};
    return {r.minX() - b.minX(), b.maxY() - r.maxY(), r.width(), r.height()};
}

kit::Rect box(const kit::View& view) { return {0, 0, view.bounds().width(), view.bounds().height()}; }

// Whether any of `r` (user space) lies inside the clip. A panel of a few
// thousand tiles is mostly outside the picture; those tiles cost a test each
// instead of their text, images and groups.
bool meetsClip(cairo_t* cr, const kit::Rect& r) {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    cairo_clip_extents(cr, &x1, &y1, &x2, &y2);
    return r.maxX() > x1 && r.minX() < x2 && r.maxY() > y1 && r.minY() < y2;
}

double layerRadius(const kit::View& view) { return view.wantsLayer() ? view.layerStyle().cornerRadius : 0; }

kit::Color materialTint(kit::VisualEffectMaterial material, kit::Appearance appearance) {
    using M = kit::VisualEffectMaterial;
    const bool hud = material == M::HudWindow || material == M::FullScreenUI;
    const bool menu = material == M::Menu || material == M::Popover || material == M::ToolTip;
    if (kit::isDark(appearance)) {
        if (hud) return kit::Color::rgba(0.10, 0.10, 0.11, 0.78);
        if (menu) return kit::Color::rgba(0.15, 0.15, 0.16, 0.80);
        return kit::Color::rgba(0.17, 0.17, 0.18, 0.84);
    }
    if (hud) return kit::Color::rgba(0.92, 0.92, 0.93, 0.74);
    if (menu) return kit::Color::rgba(0.97, 0.97, 0.97, 0.78);
    return kit::Color::rgba(0.95, 0.95, 0.95, 0.84);
}

}  // namespace

void ViewPainter::paint(cairo_t* cr, const kit::View& root, kit::Appearance appearance) {
    appearance_ = appearance;
    paintView(cr, root, /*superviewFlipped=*/false);
}

void ViewPainter::paintView(cairo_t* cr, const kit::View& view, bool superviewFlipped) {
    if (view.isHidden() || view.alphaValue() <= 0) return;
    const kit::Rect f = view.frame();
    const kit::Rect b = view.bounds();
    cairo_save(cr);

    // Superview space to the view's own: as View::convertToSuperview, the
    // frame's far edge is its bottom in a flipped superview.
    const double sx = b.width() != 0 ? f.width() / b.width() : 1.0;
    const double sy = b.height() != 0 ? f.height() / b.height() : 1.0;
    cairo_translate(cr, f.minX(), superviewFlipped ? f.maxY() : f.minY());
    cairo_scale(cr, sx, superviewFlipped ? -sy : sy);
    if (view.isFlipped()) {
        cairo_translate(cr, -b.minX(), b.maxY());
        cairo_scale(cr, 1, -1);
    } else {
        cairo_translate(cr, -b.minX(), -b.minY());
    }

    const kit::LayerStyle& layer = view.layerStyle();
    // Outside the clip a view draws nothing of its own; its subviews may
    // still reach into the clip unless it masks them to its bounds.
    const bool shows = meetsClip(cr, b);
    if (!shows && ((view.wantsLayer() && layer.masksToBounds) || view.subviews().empty())) {
        cairo_restore(cr);
        return;
    }

    // A translucent view fades as one picture: its subviews do not show
    // through each other.
    const bool group = view.alphaValue() < 1;
    if (group) cairo_push_group(cr);

    const double radius = layerRadius(view);
    if (shows && view.wantsLayer() && !layer.backgroundColor.isClear()) {
        roundedRectPath(cr, b, radius);
        setSource(cr, kit::resolve(layer.backgroundColor, appearance_));
        cairo_fill(cr);
    }
    if (view.wantsLayer() && layer.masksToBounds) {
        roundedRectPath(cr, b, radius);
        cairo_clip(cr);
    }

    if (shows) {
        if (const auto* material = dynamic_cast<const kit::VisualEffectView*>(&view)) paintMaterial(cr, *material);
        else if (paintControl(cr, text_, images_, view, appearance_)) {}
        else if (const auto* label = dynamic_cast<const kit::Label*>(&view)) paintLabel(cr, *label);
        else if (const auto* image = dynamic_cast<const kit::ImageView*>(&view)) paintImageView(cr, *image);
        else if (const auto* button = dynamic_cast<const kit::Button*>(&view)) paintButton(cr, *button);
    }

    for (const kit::ViewRef& subview : view.subviews())
        if (subview) paintView(cr, *subview, view.isFlipped());

    if (shows) paintScrollIndicator(cr, view, appearance_);

    if (shows && view.wantsLayer() && layer.borderWidth > 0 && !layer.borderColor.isClear()) {
        // The layer's border lies inside its bounds, above the sublayers.
        const double w = layer.borderWidth;
        roundedRectPath(cr, b.insetBy(w / 2, w / 2), std::max(0.0, radius - w / 2));
        setSource(cr, kit::resolve(layer.borderColor, appearance_));
        cairo_set_line_width(cr, w);
        cairo_stroke(cr);
    }

    if (group) {
        cairo_pop_group_to_source(cr);
        cairo_paint_with_alpha(cr, view.alphaValue());
    }
    cairo_restore(cr);
}

void ViewPainter::paintLabel(cairo_t* cr, const kit::Label& label) {
    if (label.text().empty()) return;
    cairo_save(cr);
    enterTopDown(cr, label);
    TextPainter::LineStyle style;
    style.font = label.font();
    style.color = kit::resolve(label.textColor(), appearance_);
    style.alignment = label.alignment();
    style.lineBreakMode = label.lineBreakMode();
    text_.drawLine(cr, label.text(), style, box(label), kLabelInset);
    cairo_restore(cr);
}

void ViewPainter::paintImageView(cairo_t* cr, const kit::ImageView& view) {
    const kit::ImageRef& image = view.image();
    if (!image || image->isEmpty()) return;
    cairo_save(cr);
    enterTopDown(cr, view);
    // An image larger than the view (no scaling) is cut at the view's edges.
    const kit::Rect bounds = box(view);
    cairo_rectangle(cr, bounds.minX(), bounds.minY(), bounds.width(), bounds.height());
    cairo_clip(cr);
    const kit::Color tint = kit::resolve(view.contentTintColor().value_or(kit::Color::label()), appearance_);
    images_.draw(cr, image, topDown(view, view.imageRect()), tint, appearance_);
    cairo_restore(cr);
}

void ViewPainter::paintButton(cairo_t* cr, const kit::Button& button) {
    cairo_save(cr);
    enterTopDown(cr, button);
    const kit::Rect bounds = box(button);
    const bool dark = kit::isDark(appearance_);
    // A disabled button fades; a pressed borderless one dims its content.
    const double fade = !button.isEnabled() ? 0.35 : (button.isHighlighted() && !button.isBordered() ? 0.6 : 1.0);
    if (fade < 1) cairo_push_group(cr);

    kit::Rect content = bounds;
    if (button.isBordered()) {
        const kit::Rect bezel = bounds.insetBy(1, 1);
        if (button.bezelStyle() == kit::BezelStyle::Circular) {
            const double r = std::min(bezel.width(), bezel.height()) / 2;
            cairo_new_sub_path(cr);
            cairo_arc(cr, bezel.midX(), bezel.midY(), r, 0, 2 * std::numbers::pi);
            content = bounds.insetBy(bounds.width() * 0.2, bounds.height() * 0.2);
        } else {
            roundedRectPath(cr, bezel, 5);
            content = bounds.insetBy(6, 3);
        }
        double fill = dark ? 0.38 : 1.0;
        if (button.isHighlighted()) fill = dark ? 0.5 : 0.82;
        if (button.bezelColor()) setSource(cr, kit::resolve(*button.bezelColor(), appearance_));
        else cairo_set_source_rgba(cr, fill, fill, fill, dark ? 0.9 : 1.0);
        cairo_fill_preserve(cr);
        cairo_set_source_rgba(cr, 0, 0, 0, dark ? 0.3 : 0.18);
        cairo_set_line_width(cr, 0.5);
        cairo_stroke(cr);
    }

    const kit::Color tint = kit::resolve(button.contentTintColor().value_or(kit::Color::label()), appearance_);
    const kit::ImageRef& image = button.image();
    const bool hasImage = image && !image->isEmpty();
    kit::Rect titleBox = content;
    if (hasImage) {
        kit::Rect imageBox = content;
        if (!button.title().empty()) {
            // Image leading, title after it.
            // A borderless button with a symbol and a title is a command row: the
            // symbol in an 18-point column, the title 8 after it.
            const double column = button.isBordered() ? std::min(content.height(), content.width()) : 18;
            const double gap = button.isBordered() ? 4 : 8;
            imageBox = {content.minX(), content.minY(), column, content.height()};
            titleBox = {imageBox.maxX() + gap, content.minY(), std::max(0.0, content.maxX() - imageBox.maxX() - gap),
                        content.height()};
        }
        images_.draw(cr, image, kit::imageRectFor(image->size(), imageBox, button.imageScaling()), tint, appearance_);
    }
    if (!button.title().empty()) {
        TextPainter::LineStyle style;
        style.font = kit::Font::systemFont(button.fontSize());
        style.color = button.bezelColor() ? kit::Color::rgba(1, 1, 1, 1) : kit::resolve(kit::Color::label(), appearance_);
        style.alignment = hasImage ? kit::TextAlignment::Left : kit::TextAlignment::Center;
        style.lineBreakMode = kit::LineBreakMode::ByTruncatingTail;
        const double lineHeight = text_.measure(cr, button.title(), style.font).height;
        const kit::Rect line{titleBox.minX(), titleBox.midY() - lineHeight / 2, titleBox.width(), lineHeight};
        text_.drawLine(cr, button.title(), style, line);
    }

    if (fade < 1) {
        cairo_pop_group_to_source(cr);
        cairo_paint_with_alpha(cr, fade);
    }
    cairo_restore(cr);
}

void ViewPainter::paintMaterial(cairo_t* cr, const kit::VisualEffectView& view) {
    const kit::Rect b = view.bounds();
    if (b.isEmpty()) return;
    const double radius = layerRadius(view);
    const bool inactive = view.state() == kit::VisualEffectState::Inactive;
    cairo_save(cr);
    if (const kit::ImageRef& mask = view.maskImage(); mask && mask->drawing()) {
        // The material shows only where the mask covers: blur, tint and all.
        cairo_save(cr);
        enterTopDown(cr, view);
        cairo_new_path(cr);
        drawingPath(cr, *mask->drawing(), box(view));
        cairo_restore(cr);
        cairo_clip(cr);
    }

    // 1. The backdrop: what lies behind, blurred, inside the rounded bounds.
    if (!inactive) paintBlurredBackdrop(cr, b, radius, kBlurRadius);

    // 2. The material's tint over it; an inactive material shows no backdrop.
    kit::Color tint = materialTint(view.material(), appearance_);
    if (inactive) tint.alpha = 0.97;
    cairo_save(cr);
    roundedRectPath(cr, b, radius);
    setSource(cr, tint);
    cairo_fill(cr);
    cairo_restore(cr);
    cairo_restore(cr);
}

}  // namespace render
