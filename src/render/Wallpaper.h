#pragma once

#include "kit/Geometry.h"
#include "render/Cairo.h"

namespace render {

// The desktop picture for a display of `size` points at `scale`: a calm
// blue-to-rose diagonal gradient with a soft glow, painted once and reused.
// Dark gives its night version, as a dynamic desktop picture follows the
// dark appearance.
SurfacePtr makeWallpaper(kit::Size size, double scale, bool dark = false);

}  // namespace render
