#pragma once

#include "platform/Images.h"

namespace linuxhost {

// PNG (libpng) and JPEG (libjpeg-turbo) pictures from bytes, one image pixel
// to a point. Anything else, anything damaged, and anything larger than
// kMaxPixels is refused before its pixels are allocated.
class ImageDecoder final : public platform::Images {
public:
    static constexpr std::uint64_t kMaxPixels = 4096ull * 4096ull;
    static constexpr std::uint32_t kMaxSide = 16384;

    kit::ImageRef imageWithData(std::span<const std::uint8_t> data) override;
};

}  // namespace linuxhost
