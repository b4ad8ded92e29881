#include <gtest/gtest.h>
#include <zlib.h>

#include <vector>

#include "linux/ImageDecoder.h"
#include "sim/CoverArt.h"

using linuxhost::ImageDecoder;

namespace {

void putBigEndian(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
}

// A real PNG whose header claims another size (with a correct checksum), so
// that only the decoder's own bound can refuse it.
std::vector<std::uint8_t> pngClaiming(std::uint32_t width, std::uint32_t height) {
    auto bytes = sim::coverPng("t", "a", 8);
    // Signature (8), IHDR length (4), "IHDR" (4), then width and height.
    putBigEndian(bytes, 16, width);
    putBigEndian(bytes, 20, height);
    const auto crc = crc32(0, bytes.data() + 12, 17);
    putBigEndian(bytes, 29, static_cast<std::uint32_t>(crc));
    return bytes;
}

}  // namespace

TEST(ImageDecoder, ReadsPngAndJpegAndRefusesTheRest) {
    ImageDecoder decoder;
    for (const auto& bytes : {sim::coverPng("Night Drive", "Lumen", 64), sim::coverJpeg("Night Drive", "Lumen", 64)}) {
        const auto image = decoder.imageWithData(bytes);
        ASSERT_TRUE(image);
        EXPECT_EQ(image->pixelWidth(), 64);
        EXPECT_EQ(image->pixelHeight(), 64);
        EXPECT_EQ(image->size().width, 64);
        EXPECT_EQ(image->pixelAt(0, 0) >> 24, 0xFFu);   // opaque
    }

    auto cut = sim::coverPng("Night Drive", "Lumen", 64);
    cut.resize(cut.size() / 2);
    const std::vector<std::uint8_t> text = {'<', 'h', 't', 'm', 'l', '>'};
    const std::vector<std::uint8_t> rejected[] = {
        {}, text, cut, pngClaiming(100000, 100000), pngClaiming(ImageDecoder::kMaxSide + 1, 1),
        pngClaiming(0, 10)};
    for (const auto& bytes : rejected) EXPECT_FALSE(decoder.imageWithData(bytes)) << bytes.size() << " bytes";
}
