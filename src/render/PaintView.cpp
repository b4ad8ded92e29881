#include <algorithm>
#include <cmath>

#include "render/Cairo.h"
#include "render/ImagePainter.h"
#include "render/Renderer.h"
#include "render/TextPainter.h"
#include "render/ViewPainter.h"

namespace render {

Frame paintView(const kit::View& root, kit::Size size, double scale, std::optional<kit::Appearance> appearance) {
    return paintViewRegion(root, {0, 0, size.width, size.height}, scale, appearance);
}

Frame paintViewRegion(const kit::View& root, kit::Rect region, double scale,
                      std::optional<kit::Appearance> appearance) {
    Frame frame;
    const std::optional<std::pair<int, int>> pixels = scale > 0 ? pictureSize(region.size, scale) : std::nullopt;
    if (!pixels) return frame;
    frame.width = pixels->first;
    frame.height = pixels->second;
    frame.pixels.assign(static_cast<std::size_t>(frame.width) * static_cast<std::size_t>(frame.height), 0);

    SurfacePtr surface(cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(frame.pixels.data()),
                                                           CAIRO_FORMAT_ARGB32, frame.width, frame.height,
                                                           frame.width * 4));
    ContextPtr cr(cairo_create(surface.get()));
    cairo_scale(cr.get(), scale, scale);
    // The picture is the root's superview space: origin bottom-left, y up.
    cairo_translate(cr.get(), -region.minX(), region.maxY());
    cairo_scale(cr.get(), 1, -1);
    TextPainter text;
    ImagePainter images(text);
    ViewPainter views(text, images);
    views.paint(cr.get(), root, appearance.value_or(kit::Appearance::Aqua));
    cr.reset();
    cairo_surface_finish(surface.get());
    return frame;
}

}  // namespace render
