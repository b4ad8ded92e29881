#include "render/Wallpaper.h"

#include <algorithm>
#include <cmath>

#include "kit/Saturate.h"

namespace render {

SurfacePtr makeWallpaper(kit::Size size, double scale, bool dark) {
    const int width = std::max(1, kit::saturatingCast<int>(std::ceil(size.width * scale)));
    const int height = std::max(1, kit::saturatingCast<int>(std::ceil(size.height * scale)));
    SurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    ContextPtr cr(cairo_create(surface.get()));
    cairo_scale(cr.get(), scale, scale);

    PatternPtr diagonal(cairo_pattern_create_linear(0, 0, size.width, size.height));
    if (dark) {
        cairo_pattern_add_color_stop_rgb(diagonal.get(), 0.0, 0.04, 0.07, 0.18);
        cairo_pattern_add_color_stop_rgb(diagonal.get(), 0.55, 0.16, 0.12, 0.30);
        cairo_pattern_add_color_stop_rgb(diagonal.get(), 1.0, 0.38, 0.19, 0.27);
    } else {
        cairo_pattern_add_color_stop_rgb(diagonal.get(), 0.0, 0.13, 0.27, 0.55);
        cairo_pattern_add_color_stop_rgb(diagonal.get(), 0.55, 0.42, 0.36, 0.70);
        cairo_pattern_add_color_stop_rgb(diagonal.get(), 1.0, 0.91, 0.56, 0.58);
    }
    cairo_set_source(cr.get(), diagonal.get());
    cairo_paint(cr.get());

    const double reach = std::max(size.width, size.height) * 0.6;
    PatternPtr glow(cairo_pattern_create_radial(size.width * 0.72, size.height * 0.28, 0,
                                                size.width * 0.72, size.height * 0.28, reach));
    cairo_pattern_add_color_stop_rgba(glow.get(), 0, 1, 0.93, 0.85, dark ? 0.08 : 0.35);
    cairo_pattern_add_color_stop_rgba(glow.get(), 1, 1, 0.93, 0.85, 0);
    cairo_set_source(cr.get(), glow.get());
    cairo_paint(cr.get());
    cairo_surface_flush(surface.get());
    return surface;
}

}  // namespace render
