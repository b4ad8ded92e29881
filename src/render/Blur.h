#pragma once

#include <cairo.h>

#include <cstdint>

#include "kit/Geometry.h"

namespace render {

// Blurs premultiplied ARGB32 pixels in place with `passes` box blurs of
// `radius` pixels, each horizontal then vertical (three passes come close to
// a Gaussian). Edge pixels repeat past the border, so the picture's edges
// neither darken nor fade.
void boxBlur(std::uint32_t* pixels, int width, int height, int strideInPixels, int radius, int passes);

// Paints, inside the rounded `rect` (user space), a blurred copy of what
// the context's target already holds there: frosted glass. Reads the
// context's own target, which groups (a fading window, a translucent view)
// leave untouched, so it is what lies behind whatever is being drawn.
// Nothing happens on targets other than ARGB32 image surfaces.
void paintBlurredBackdrop(cairo_t* cr, const kit::Rect& rect, double cornerRadius, double blurRadiusPoints);

}  // namespace render
