#include "sim/PixelCanvas.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace sim::painting {

namespace {

// A coordinate in pixels as a whole pixel index within [low, high].
int whole(double v, int low, int high) {
    return static_cast<int>(std::clamp(v, static_cast<double>(low), static_cast<double>(high)));
}

}  // namespace

Rgb unpack(std::uint32_t pixel) {
    return {static_cast<double>(pixel & 0xff), static_cast<double>((pixel >> 8) & 0xff),
            static_cast<double>((pixel >> 16) & 0xff)};
}

std::uint32_t pack(Rgb colour) {
    auto channel = [](double v) { return static_cast<std::uint32_t>(std::clamp(v, 0.0, 255.0) + 0.5); };
    return channel(colour.r) | (channel(colour.g) << 8) | (channel(colour.b) << 16) | (255u << 24);
}

Rgb hsl(double hue, double saturation, double lightness) {
    hue -= std::floor(hue);
    const double a = saturation * std::min(lightness, 1 - lightness);
    auto f = [&](double n) {
        const double k = std::fmod(n + hue * 12, 12);
        return 255 * (lightness - a * std::max(-1.0, std::min({k - 3, 9 - k, 1.0})));
    };
    return {f(0), f(8), f(4)};
}

void PixelCanvas::clear(Rgb colour) {
    const std::uint32_t solid = pack(colour);
    for (int y = clip_.y0; y < clip_.y1; ++y) {
        std::uint32_t* row = pixels_ + static_cast<std::ptrdiff_t>(y) * width_;
        std::fill(row + clip_.x0, row + clip_.x1, solid);
    }
}

PixelBox PixelCanvas::boxOf(const kit::Rect& r) const {
    auto nearest = [](double v, int low, int high) { return whole(std::floor(v + 0.5), low, high); };
    return {nearest(left_ + r.minX() * scale_, clip_.x0, clip_.x1), nearest(top_ + r.minY() * scale_, clip_.y0, clip_.y1),
            nearest(left_ + r.maxX() * scale_, clip_.x0, clip_.x1), nearest(top_ + r.maxY() * scale_, clip_.y0, clip_.y1)};
}

void PixelCanvas::shape(const kit::Rect& r, double radius, Rgb top, Rgb bottom) {
    const double x0 = left_ + r.minX() * scale_, x1 = left_ + r.maxX() * scale_;
    const double y0 = top_ + r.minY() * scale_, y1 = top_ + r.maxY() * scale_;
    if (!(x1 > x0 && y1 > y0)) return;
    const double round = std::clamp(radius * scale_, 0.0, std::min(x1 - x0, y1 - y0) / 2);
    const int px0 = whole(std::floor(x0), clip_.x0, clip_.x1), px1 = whole(std::ceil(x1), clip_.x0, clip_.x1);
    const int py0 = whole(std::floor(y0), clip_.y0, clip_.y1), py1 = whole(std::ceil(y1), clip_.y0, clip_.y1);
    const bool flat = top.r == bottom.r && top.g == bottom.g && top.b == bottom.b;

    for (int py = py0; py < py1; ++py) {
        const double rowCover = std::min(py + 1.0, y1) - std::max(static_cast<double>(py), y0);
        const double cy = py + 0.5;
        const Rgb colour = flat ? top : mix(top, bottom, std::clamp((cy - y0) / (y1 - y0), 0.0, 1.0));
        const std::uint32_t solid = pack(colour);
        // How far into a rounded corner's square this row lies; zero outside them.
        double dy = 0;
        if (cy < y0 + round) dy = y0 + round - cy;
        else if (cy > y1 - round) dy = cy - (y1 - round);
        std::uint32_t* row = pixels_ + static_cast<std::ptrdiff_t>(py) * width_;
        for (int px = px0; px < px1; ++px) {
            double cover = rowCover * (std::min(px + 1.0, x1) - std::max(static_cast<double>(px), x0));
            if (dy > 0) {
                const double cx = px + 0.5;
                double dx = 0;
                if (cx < x0 + round) dx = x0 + round - cx;
                else if (cx > x1 - round) dx = cx - (x1 - round);
                if (dx > 0) cover = std::min(cover, std::clamp(round - std::hypot(dx, dy) + 0.5, 0.0, 1.0));
            }
            if (cover >= 0.999) row[px] = solid;
            else if (cover > 0.002) row[px] = pack(mix(unpack(row[px]), colour, cover));
        }
    }
}

}  // namespace sim::painting
