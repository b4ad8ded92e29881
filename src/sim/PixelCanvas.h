#pragma once

#include <cstdint>
#include <vector>

#include "kit/Geometry.h"

// The few drawing operations the window painter needs, on a picture's
// pixels: premultiplied RGBA packed as kit::Image keeps them.
namespace sim::painting {

// An opaque colour, channels 0…255.
struct Rgb {
    double r = 0;
    double g = 0;
    double b = 0;
};

inline Rgb gray(double v) { return {v, v, v}; }

inline Rgb mix(Rgb a, Rgb b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb unpack(std::uint32_t pixel);
std::uint32_t pack(Rgb colour);

// Hue 0…1 (wrapping), saturation and lightness 0…1.
Rgb hsl(double hue, double saturation, double lightness);

// Whole pixels, end-exclusive.
struct PixelBox {
    int x0 = 0;
    int y0 = 0;
    int x1 = 0;
    int y1 = 0;
};

// Paints in points onto a picture's pixels: a point (x, y) lands at pixel
// (left + x * scale, top + y * scale). Shapes are anti-aliased by how much
// of each pixel they cover, so text lines a pixel high in a thumbnail come
// out as lighter lines instead of flickering in and out. Nothing is painted
// outside the clip, whose pixels must be opaque (clear() makes them so):
// blending assumes it.
class PixelCanvas {
public:
    PixelCanvas(std::vector<std::uint32_t>& pixels, int width, double scale, double left, double top, PixelBox clip)
        : pixels_(pixels.data()), width_(width), scale_(scale), left_(left), top_(top), clip_(clip) {}

    // Every pixel of the clip in one colour, no blending.
    void clear(Rgb colour);
    void fill(const kit::Rect& r, Rgb colour, double radius = 0) { shape(r, radius, colour, colour); }
    // From `top` at the top edge to `bottom` at the bottom edge.
    void gradient(const kit::Rect& r, Rgb top, Rgb bottom, double radius = 0) { shape(r, radius, top, bottom); }
    void disc(kit::Point centre, double radius, Rgb colour) {
        fill({centre.x - radius, centre.y - radius, 2 * radius, 2 * radius}, colour, radius);
    }

    PixelBox clip() const { return clip_; }
    void setClip(PixelBox box) { clip_ = box; }
    // The whole pixels nearest to `r`, inside the current clip.
    PixelBox boxOf(const kit::Rect& r) const;

private:
    void shape(const kit::Rect& r, double radius, Rgb top, Rgb bottom);

    std::uint32_t* pixels_;
    int width_;
    double scale_;
    double left_;
    double top_;
    PixelBox clip_;
};

}  // namespace sim::painting
