// Artwork bytes come from a player's script or from a download: PNG and JPEG
// are decoded, everything else refused, and nothing above the pixel cap is
// ever allocated.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

#include <vector>

#include "linux/ImageDecoder.h"

namespace {

std::uint32_t crc32(const std::uint8_t* bytes, std::size_t size) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// A mutated PNG chunk fails its checksum and is refused at once, so the
// fuzzer would never get past the first chunk. Mend the checksums, so that
// the mutations reach the chunk readers and the decompressor.
void mendChecksums(std::vector<std::uint8_t>& png) {
    static constexpr std::uint8_t kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (png.size() < 8 || !std::equal(kSignature, kSignature + 8, png.begin())) return;
    std::size_t at = 8;
    while (at + 12 <= png.size()) {
        const std::size_t length = (std::size_t{png[at]} << 24) | (std::size_t{png[at + 1]} << 16) |
                                   (std::size_t{png[at + 2]} << 8) | png[at + 3];
        if (length > png.size() - at - 12) return;
        const std::uint32_t crc = crc32(png.data() + at + 4, length + 4);
        std::uint8_t* out = png.data() + at + 8 + length;
        out[0] = static_cast<std::uint8_t>(crc >> 24);
        out[1] = static_cast<std::uint8_t>(crc >> 16);
        out[2] = static_cast<std::uint8_t>(crc >> 8);
        out[3] = static_cast<std::uint8_t>(crc);
        at += 12 + length;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> bytes(data, data + size);
    mendChecksums(bytes);
    linuxhost::ImageDecoder decoder;
    kit::ImageRef image = decoder.imageWithData(std::span<const std::uint8_t>(bytes));
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
