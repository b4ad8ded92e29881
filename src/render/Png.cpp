#include <cairo.h>

#include "render/Cairo.h"
#include "render/Renderer.h"

namespace render {

bool writePNG(const Frame& frame, const std::string& path) {
    if (frame.width <= 0 || frame.height <= 0 ||
        frame.pixels.size() < static_cast<std::size_t>(frame.width) * static_cast<std::size_t>(frame.height))
        return false;
    // cairo only reads the pixels here; the cast spares a copy.
    SurfacePtr surface(cairo_image_surface_create_for_data(
        reinterpret_cast<unsigned char*>(const_cast<std::uint32_t*>(frame.pixels.data())), CAIRO_FORMAT_ARGB32,
        frame.width, frame.height, frame.width * 4));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return false;
    return cairo_surface_write_to_png(surface.get(), path.c_str()) == CAIRO_STATUS_SUCCESS;
}

}  // namespace render
