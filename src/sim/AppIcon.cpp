#include "sim/AppIcon.h"

#include <cstdint>

#include "kit/IconArt.h"

namespace sim {

namespace {

// The size a Mac hands running applications' icons out at.
constexpr double kIconPoints = 64;

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
    const kit::Color color = kit::Color::rgba((fill & 0xff) / 255.0, ((fill >> 8) & 0xff) / 255.0,
                                              ((fill >> 16) & 0xff) / 255.0);
    return kit::Image::fromDrawing(kit::IconArt::coloredApplication(kIconPoints, color), /*isTemplate=*/false);
}

}  // namespace sim
