#include "render/ImagePainter.h"

#include <cstring>

#include "render/Symbols.h"
#include "render/VectorPainter.h"

namespace render {

cairo_surface_t* ImagePainter::surfaceFor(const kit::ImageRef& image) {
    auto found = surfaces_.find(image.get());
    // The address alone could name a new image made where a freed one was.
    if (found != surfaces_.end() && found->second.image.lock() == image) {
        found->second.drawn = true;
        return found->second.surface.get();
    }

    const int width = image->pixelWidth();
    const int height = image->pixelHeight();
    if (width <= 0 || height <= 0 ||
        image->pixels().size() < static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
        return nullptr;
    SurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
    cairo_surface_flush(surface.get());
    unsigned char* data = cairo_image_surface_get_data(surface.get());
    const int stride = cairo_image_surface_get_stride(surface.get());
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
        for (int x = 0; x < width; ++x) row[x] = argbFromImagePixel(image->pixelAt(x, y));
    }
    cairo_surface_mark_dirty(surface.get());
    cairo_surface_t* raw = surface.get();
    surfaces_[image.get()] = Entry{image, std::move(surface), true};
    return raw;
}

void ImagePainter::sweep() {
    for (auto it = surfaces_.begin(); it != surfaces_.end();) {
        if (!it->second.drawn || it->second.image.expired()) {
            it = surfaces_.erase(it);
        } else {
            it->second.drawn = false;
            ++it;
        }
    }
}

void ImagePainter::draw(cairo_t* cr, const kit::ImageRef& image, const kit::Rect& rect,
                        const kit::Color& templateColor, kit::Appearance appearance) {
    if (!image || image->isEmpty() || rect.isEmpty()) return;
    if (!image->symbolName().empty()) {
        std::optional<char32_t> codepoint = symbolCodepoint(image->symbolName());
        if (codepoint && text_.drawSymbol(cr, *codepoint, rect, templateColor)) return;
        // A symbol the font lacks: a faint frame keeps its place visible.
        cairo_save(cr);
        roundedRectPath(cr, rect.insetBy(rect.width() * 0.15, rect.height() * 0.15), rect.width() * 0.1);
        kit::Color faint = templateColor;
        faint.alpha *= 0.5;
        setSource(cr, faint);
        cairo_set_line_width(cr, std::max(1.0, rect.width() / 16));
        cairo_stroke(cr);
        cairo_restore(cr);
        return;
    }
    if (image->drawing()) {
        drawVector(cr, *image, rect, templateColor, appearance);
        return;
    }
    cairo_surface_t* surface = surfaceFor(image);
    if (!surface) return;
    cairo_save(cr);
    cairo_translate(cr, rect.minX(), rect.minY());
    cairo_scale(cr, rect.width() / image->pixelWidth(), rect.height() / image->pixelHeight());
    if (image->isTemplate()) {
        setSource(cr, templateColor);
        cairo_mask_surface(cr, surface, 0, 0);
    } else {
        cairo_set_source_surface(cr, surface, 0, 0);
        cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
        // Pad: the edge pixels stretch instead of fading into transparency.
        cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
        cairo_rectangle(cr, 0, 0, image->pixelWidth(), image->pixelHeight());
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

void ImagePainter::drawVector(cairo_t* cr, const kit::Image& image, const kit::Rect& rect,
                              const kit::Color& templateColor, kit::Appearance appearance) {
    paintDrawing(cr, *image.drawing(), rect, image.isTemplate(), templateColor, appearance);
}

}  // namespace render
