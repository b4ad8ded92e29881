#pragma once

#include <cairo.h>

#include <string_view>

#include "kit/Geometry.h"
#include "kit/VectorDrawing.h"
#include "render/Cairo.h"
#include "render/TextPainter.h"

namespace render {

// What every titled window wears, in top-left desktop points.
inline constexpr double kWindowCornerRadius = 10;
inline constexpr double kTitleBarHeight = 28;

// A soft shadow around a window's rounded shape, dropped a little, as the
// window server casts one. The part under the window is left out where
// `cutOut` asks (translucent windows); opaque ones cover it anyway.
void paintWindowShadow(cairo_t* cr, const kit::Rect& frame, double cornerRadius, bool cutOut = false);

// The same shadow for a window whose content is shaped by a mask (a panel
// with a pointer, say): cast by the shape the drawing covers, stretched over
// `frame`, rather than by a rounded rectangle. The blur is the costly part:
// shapeShadow() makes it for a shape and size, and a painter keeps it for
// as long as both stay.
SurfacePtr shapeShadow(const kit::VectorDrawing& shape, kit::Size size);
void paintShapedShadow(cairo_t* cr, const kit::Rect& frame, const kit::VectorDrawing& shape, cairo_surface_t* shadow,
                       bool cutOut = false);

// The title bar across the top of `frame`: a light bar, the three window
// buttons (grey on a window that is not the focused one) and the centred
// title. Clipped to the window's rounded top corners.
// `buttons` says which of close, minimise and zoom the window has (bits 0 to
// 2); a window without any shows none, one with some shows the others grey.
// Dark draws the bar of a window in the dark appearance.
void paintTitleBar(cairo_t* cr, TextPainter& text, const kit::Rect& frame, std::string_view title, bool focused,
                   unsigned buttons = 7, bool dark = false);

// A thin line around the window's rounded shape.
void paintWindowOutline(cairo_t* cr, const kit::Rect& frame, double cornerRadius);

}  // namespace render
