#pragma once

#include <cairo.h>

#include <cstdint>
#include <vector>

namespace render {

// Durazizi's own icon (kit/IconArt.h) drawn from its paths at N x N pixels:
// what the bundle's AppIcon.icns holds, one call per size it carries.
// Into a context, filling the square from its user-space origin.
void drawDuraziziIcon(cairo_t* cr, int pixels);
// As premultiplied RGBA in kit::Image's layout, top row first; empty for a
// size cairo cannot hold.
std::vector<std::uint32_t> duraziziIconPixels(int pixels);

}  // namespace render
