// Artwork bytes come from a player's script or from a download: PNG and JPEG
// are decoded, everything else refused, and nothing above the pixel cap is
// ever allocated.
#include <cstddef>
#include <cstdint>
#include <span>

#include "linux/ImageDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    linuxhost::ImageDecoder decoder;
    kit::ImageRef image = decoder.imageWithData(std::span<const std::uint8_t>(data, size));
    if (!image) return 0;
    const auto width = static_cast<std::uint64_t>(image->pixelWidth());
    const auto height = static_cast<std::uint64_t>(image->pixelHeight());
    if (width * height > linuxhost::ImageDecoder::kMaxPixels) __builtin_trap();
    if (image->pixels().size() != width * height) __builtin_trap();
    // Read every pixel, so that a short buffer shows.
    std::uint32_t sum = 0;
    for (std::uint32_t pixel : image->pixels()) sum ^= pixel;
    volatile std::uint32_t sink = sum;
    (void)sink;
    return 0;
}
