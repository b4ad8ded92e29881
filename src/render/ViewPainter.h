#pragma once

#include <cairo.h>

#include "kit/Appearance.h"
#include "kit/View.h"
#include "render/ImagePainter.h"
#include "render/TextPainter.h"

namespace kit {
class Button;
class ImageView;
class Label;
class VisualEffectView;
}  // namespace kit

namespace render {

// Paints a retained view tree as the platform composes it: each view's
// layer background, its own content, its subviews in order, then its layer
// border; hidden views and their subtrees not at all; a view's alpha over its
// whole subtree; masksToBounds clipping to the rounded bounds.
class ViewPainter {
public:
    ViewPainter(TextPainter& text, ImagePainter& images) : text_(text), images_(images) {}

    // The context's user space is the root's superview space: window
    // coordinates (origin bottom-left, y up) for a window's content view.
    // Behind-window materials blur what the context's target already holds.
    void paint(cairo_t* cr, const kit::View& root, kit::Appearance appearance);

private:
    void paintView(cairo_t* cr, const kit::View& view, bool superviewFlipped);
    void paintLabel(cairo_t* cr, const kit::Label& label);
    void paintImageView(cairo_t* cr, const kit::ImageView& view);
    void paintButton(cairo_t* cr, const kit::Button& button);
    void paintMaterial(cairo_t* cr, const kit::VisualEffectView& view);

    TextPainter& text_;
    ImagePainter& images_;
    kit::Appearance appearance_ = kit::Appearance::Aqua;
};

}  // namespace render
