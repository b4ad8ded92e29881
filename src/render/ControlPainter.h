#pragma once

#include <cairo.h>

#include "kit/Appearance.h"
#include "kit/View.h"
#include "render/ImagePainter.h"
#include "render/TextPainter.h"

namespace render {

// Draws the declarative screens' controls (switches, push toggles, steppers,
// sliders, pop-up buttons and their open menus, tab bars, links) in their
// view's top-down box, light or dark. False when the view is none of these.
bool paintControl(cairo_t* cr, TextPainter& text, ImagePainter& images, const kit::View& view,
                  kit::Appearance appearance);

// A scroll view's indicator over its content, when the content overflows.
void paintScrollIndicator(cairo_t* cr, const kit::View& view, kit::Appearance appearance);

// Makes the declarative layout measure text with the same fonts that draw
// it. Once per process, before any screen is laid out.
void installTextMeasure();

}  // namespace render
