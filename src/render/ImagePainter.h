#pragma once

#include <cairo.h>

#include <memory>
#include <optional>
#include <unordered_map>

#include "kit/Appearance.h"
#include "kit/Color.h"
#include "kit/Geometry.h"
#include "kit/Image.h"
#include "render/Cairo.h"
#include "render/TextPainter.h"

namespace render {

// Draws kit images: pixel images through cairo surfaces made once per image,
// vector drawings as paths, symbols through the icon font.
class ImagePainter {
public:
    explicit ImagePainter(TextPainter& text) : text_(text) {}

    // Draws the image into `rect` (user space, y down), stretched to it.
    // Templates take `templateColor` (resolved): a symbol or template
    // drawing in that colour, a template pixel image as its alpha mask.
    // Other semantic colours resolve with `appearance`.
    void draw(cairo_t* cr, const kit::ImageRef& image, const kit::Rect& rect, const kit::Color& templateColor,
              kit::Appearance appearance);

    // Forgets the surfaces of images not drawn since the last sweep. Called
    // after each picture, it keeps a copy of what is on screen only: an
    // image that scrolled out of sight, or sits in a tile outside the
    // picture, holds no second copy of its pixels here.
    void sweep();

private:
    cairo_surface_t* surfaceFor(const kit::ImageRef& image);
    void drawVector(cairo_t* cr, const kit::Image& image, const kit::Rect& rect, const kit::Color& templateColor,
                    kit::Appearance appearance);

    struct Entry {
        std::weak_ptr<const kit::Image> image;
        SurfacePtr surface;
        bool drawn = false;
    };
    TextPainter& text_;
    std::unordered_map<const kit::Image*, Entry> surfaces_;
};

}  // namespace render
