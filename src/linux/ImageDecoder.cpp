#include "linux/ImageDecoder.h"

#include <png.h>
#include <turbojpeg.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace linuxhost {

namespace {

constexpr std::uint8_t kPngSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr std::uint8_t kJpegSignature[] = {0xFF, 0xD8, 0xFF};

bool startsWith(std::span<const std::uint8_t> data, std::span<const std::uint8_t> prefix) {
    return data.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), data.begin());
}

bool acceptableSize(std::uint64_t width, std::uint64_t height) {
    return width > 0 && height > 0 && width <= ImageDecoder::kMaxSide && height <= ImageDecoder::kMaxSide &&
           width * height <= ImageDecoder::kMaxPixels;
}

// Straight RGBA bytes in place become premultiplied pixels as kit::Image keeps them.
kit::ImageRef premultiplied(int width, int height, std::vector<std::uint32_t> pixels) {
    for (std::uint32_t& pixel : pixels) {
        std::uint8_t c[4];
        std::memcpy(c, &pixel, 4);
        if (c[3] != 255) {
            for (int i = 0; i < 3; ++i) c[i] = static_cast<std::uint8_t>((c[i] * c[3] + 127) / 255);
            std::memcpy(&pixel, c, 4);
        }
    }
    return kit::Image::fromPixels(width, height, std::move(pixels),
                                  {static_cast<double>(width), static_cast<double>(height)});
}

kit::ImageRef decodePng(std::span<const std::uint8_t> data) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    // Reads the header only; the pixels are not allocated yet.
    if (!png_image_begin_read_from_memory(&image, data.data(), data.size())) return nullptr;
    if (!acceptableSize(image.width, image.height)) {
        png_image_free(&image);
        return nullptr;
    }
    image.format = PNG_FORMAT_RGBA;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(image.width) * image.height);
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
        png_image_free(&image);
        return nullptr;
    }
    return premultiplied(static_cast<int>(image.width), static_cast<int>(image.height), std::move(pixels));
}

kit::ImageRef decodeJpeg(std::span<const std::uint8_t> data) {
    std::unique_ptr<void, int (*)(tjhandle)> handle(tjInitDecompress(), tjDestroy);
    if (!handle) return nullptr;
    int width = 0, height = 0, subsampling = 0, colorspace = 0;
    auto* bytes = const_cast<unsigned char*>(data.data());   // the 2.x API is not const-correct
    const auto size = static_cast<unsigned long>(data.size());
    if (tjDecompressHeader3(handle.get(), bytes, size, &width, &height, &subsampling, &colorspace) != 0) return nullptr;
    if (width <= 0 || height <= 0 || !acceptableSize(static_cast<std::uint64_t>(width), static_cast<std::uint64_t>(height))) {
        return nullptr;
    }
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    int flags = 0;
#ifdef TJFLAG_LIMITSCANS
    // A progressive file can ask for an endless number of scans.
    flags |= TJFLAG_LIMITSCANS;
#endif
    // A warning (a file cut short, say) still gives a picture, as the platform shows one.
    if (tjDecompress2(handle.get(), bytes, size, reinterpret_cast<unsigned char*>(pixels.data()), width, 0, height,
                      TJPF_RGBA, flags) != 0 &&
        tjGetErrorCode(handle.get()) == TJERR_FATAL) {
        return nullptr;
    }
    return kit::Image::fromPixels(width, height, std::move(pixels),
                                  {static_cast<double>(width), static_cast<double>(height)});
}

}  // namespace

kit::ImageRef ImageDecoder::imageWithData(std::span<const std::uint8_t> data) {
    if (startsWith(data, kPngSignature)) return decodePng(data);
    if (startsWith(data, kJpegSignature)) return decodeJpeg(data);
    return nullptr;
}

}  // namespace linuxhost
