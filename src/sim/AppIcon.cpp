#include "sim/AppIcon.h"

#include <cstdint>
#include <vector>

namespace sim {

namespace {

constexpr int kIconPixels = 32;
constexpr double kIconPoints = 32;

std::uint32_t pack(std::uint32_t r, std::uint32_t g, std::uint32_t b, std::uint32_t a) {
    return r | (g << 8) | (b << 16) | (a << 24);
}

}  // namespace

std::uint32_t appIconColor(const std::string& bundleId) {
    // FNV-1a: stable across runs and platforms, unlike std::hash.
    std::uint32_t h = 2166136261u;
    for (unsigned char c : bundleId) {
        h ^= c;
        h *= 16777619u;
    }
    // Keep the channels away from black and white so the tile reads as a colour.
    std::uint32_t r = 48 + (h & 0xff) % 176;
    std::uint32_t g = 48 + ((h >> 8) & 0xff) % 176;
    std::uint32_t b = 48 + ((h >> 16) & 0xff) % 176;
    return pack(r, g, b, 255);
}

kit::ImageRef makeAppIcon(const std::string& bundleId) {
    const std::uint32_t fill = appIconColor(bundleId);
    const std::uint32_t edge = pack((fill & 0xff) / 2, ((fill >> 8) & 0xff) / 2, ((fill >> 16) & 0xff) / 2, 255);
    std::vector<std::uint32_t> pixels(kIconPixels * kIconPixels, 0);
    const int corner = 6;
    for (int y = 0; y < kIconPixels; ++y) {
        for (int x = 0; x < kIconPixels; ++x) {
            // Distance into the nearest rounded corner, if the pixel lies in one.
            int cx = x < corner ? corner - x : (x >= kIconPixels - corner ? x - (kIconPixels - corner - 1) : 0);
            int cy = y < corner ? corner - y : (y >= kIconPixels - corner ? y - (kIconPixels - corner - 1) : 0);
            int d2 = cx * cx + cy * cy;
            if (d2 > corner * corner) continue;
            bool border = x == 0 || y == 0 || x == kIconPixels - 1 || y == kIconPixels - 1 ||
                          d2 > (corner - 1) * (corner - 1);
            pixels[y * kIconPixels + x] = border ? edge : fill;
        }
    }
    return kit::Image::fromPixels(kIconPixels, kIconPixels, std::move(pixels), {kIconPoints, kIconPoints});
}

}  // namespace sim
