#include "render/AppIconRaster.h"

#include "kit/IconArt.h"
#include "render/VectorPainter.h"

namespace render {

void drawDuraziziIcon(cairo_t* cr, int pixels) {
    if (pixels <= 0) return;
    const double side = pixels;
    paintDrawing(cr, kit::IconArt::durazizi(side), {0, 0, side, side}, false, kit::Color::clear(),
                 kit::Appearance::Aqua);
}

std::vector<std::uint32_t> duraziziIconPixels(int pixels) {
    return rasterize(kit::IconArt::durazizi(pixels), pixels, pixels);
}

}  // namespace render
