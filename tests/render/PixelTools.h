#pragma once

#include <cstdint>
#include <cstdlib>

#include "render/Renderer.h"

namespace rendertest {

// Channels of a premultiplied ARGB32 pixel.
struct Argb {
    int a, r, g, b;
};

inline Argb argb(std::uint32_t p) {
    return {static_cast<int>(p >> 24), static_cast<int>((p >> 16) & 0xff), static_cast<int>((p >> 8) & 0xff),
            static_cast<int>(p & 0xff)};
}

// True when every channel is within `tolerance` of the other pixel's.
inline bool near(std::uint32_t p, std::uint32_t q, int tolerance = 2) {
    const Argb x = argb(p), y = argb(q);
    return std::abs(x.a - y.a) <= tolerance && std::abs(x.r - y.r) <= tolerance &&
           std::abs(x.g - y.g) <= tolerance && std::abs(x.b - y.b) <= tolerance;
}

inline bool isRed(std::uint32_t p) {
    const Argb c = argb(p);
    return c.a > 240 && c.r > 240 && c.g < 15 && c.b < 15;
}

inline bool isTransparent(std::uint32_t p) { return argb(p).a == 0; }

// A pixel with ink darker than `level` on any channel that shows.
inline bool hasInk(std::uint32_t p) { return argb(p).a > 40; }

}  // namespace rendertest
