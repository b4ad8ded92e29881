#pragma once

#include <cairo.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <utility>

#include "kit/Color.h"
#include "kit/Geometry.h"
#include "kit/VectorDrawing.h"

namespace render {

struct SurfaceRelease {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
struct ContextRelease {
    void operator()(cairo_t* cr) const { cairo_destroy(cr); }
};
struct PatternRelease {
    void operator()(cairo_pattern_t* pattern) const { cairo_pattern_destroy(pattern); }
};
using SurfacePtr = std::unique_ptr<cairo_surface_t, SurfaceRelease>;
using ContextPtr = std::unique_ptr<cairo_t, ContextRelease>;
using PatternPtr = std::unique_ptr<cairo_pattern_t, PatternRelease>;

// cairo's largest image side; a larger picture is not painted at all.
inline constexpr int kMaxPictureSide = 32767;

// The picture size for `size` points at `scale`, or nullopt when it would
// be empty, not finite or larger than cairo can hold.
std::optional<std::pair<int, int>> pictureSize(kit::Size size, double scale);

// A rounded rectangle path; the radius shrinks to what the rect can hold.
void roundedRectPath(cairo_t* cr, const kit::Rect& rect, double radius);

// The outlines of a drawing's filled shapes as one path, the drawing
// stretched over `rect` (user space, y down): what it covers, as a mask or
// a window's shape.
void drawingPath(cairo_t* cr, const kit::VectorDrawing& drawing, const kit::Rect& rect);
// Maps the drawing's canvas onto `rect` in the current transform, its y axis
// turned downward unless the drawing is flipped already.
void mapDrawingCanvas(cairo_t* cr, const kit::VectorDrawing& drawing, const kit::Rect& rect);

// Sets a resolved (plain RGBA) colour as the source.
void setSource(cairo_t* cr, const kit::Color& color);

// kit::Image pixels (premultiplied R,G,B,A bytes in memory) to cairo's
// ARGB32 word (premultiplied 0xAARRGGBB in native order), and back.
inline std::uint32_t argbFromImagePixel(std::uint32_t rgba) {
    const std::uint32_t r = rgba & 0xff;
    const std::uint32_t g = (rgba >> 8) & 0xff;
    const std::uint32_t b = (rgba >> 16) & 0xff;
    const std::uint32_t a = rgba >> 24;
    return (a << 24) | (r << 16) | (g << 8) | b;
}
inline std::uint32_t imagePixelFromArgb(std::uint32_t argb) {
    const std::uint32_t a = argb >> 24;
    const std::uint32_t r = (argb >> 16) & 0xff;
    const std::uint32_t g = (argb >> 8) & 0xff;
    const std::uint32_t b = argb & 0xff;
    return r | (g << 8) | (b << 16) | (a << 24);
}

// An opaque RGBA from a packed image pixel, for colours the sim hands out.
kit::Color colorFromImagePixel(std::uint32_t rgba);

// The same colour mixed toward white (amount > 0) or black (amount < 0).
kit::Color shade(const kit::Color& color, double amount);

}  // namespace render
