#pragma once

#include <cairo.h>

#include <cstdint>
#include <vector>

#include "kit/Appearance.h"
#include "kit/Color.h"
#include "kit/Geometry.h"
#include "kit/VectorDrawing.h"

namespace render {

// Paints a vector drawing stretched into `rect` (user space, y down), as
// paths at whatever resolution the context has. A template keeps only its
// shapes' coverage, in `templateColor` (resolved); otherwise semantic
// colours resolve with `appearance`.
void paintDrawing(cairo_t* cr, const kit::VectorDrawing& drawing, const kit::Rect& rect, bool isTemplate,
                  const kit::Color& templateColor, kit::Appearance appearance);

// The drawing rasterised at `width` x `height` pixels: premultiplied RGBA in
// kit::Image's layout, top row first; empty for a size cairo cannot hold.
std::vector<std::uint32_t> rasterize(const kit::VectorDrawing& drawing, int width, int height,
                                     kit::Appearance appearance = kit::Appearance::Aqua);

}  // namespace render
