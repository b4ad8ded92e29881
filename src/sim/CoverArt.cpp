#include "sim/CoverArt.h"

#include <png.h>
#include <turbojpeg.h>

#include <functional>

#include "sim/PixelCanvas.h"

namespace sim {

namespace {

std::vector<std::uint32_t> paintCover(const std::string& title, const std::string& artist, int pixels) {
    using namespace painting;
    std::vector<std::uint32_t> rgba(static_cast<std::size_t>(pixels) * static_cast<std::size_t>(pixels));
    const double hue = static_cast<double>(std::hash<std::string>{}(title + '\x01' + artist) % 360) / 360.0;
    // Drawn on a 100-point square scaled to the pixel size.
    PixelCanvas canvas(rgba, pixels, pixels / 100.0, 0, 0, {0, 0, pixels, pixels});
    canvas.clear(hsl(hue, 0.55, 0.35));
    canvas.gradient({0, 0, 100, 100}, hsl(hue, 0.6, 0.55), hsl(hue + 0.12, 0.5, 0.25));
    canvas.disc({50, 50}, 34, gray(22));
    canvas.disc({50, 50}, 26, gray(34));
    canvas.disc({50, 50}, 12, hsl(hue + 0.5, 0.6, 0.6));
    canvas.disc({50, 50}, 2.5, gray(240));
    return rgba;
}

}  // namespace

std::vector<std::uint8_t> coverPng(const std::string& title, const std::string& artist, int pixels) {
    const auto rgba = paintCover(title, artist, pixels);
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(pixels);
    image.height = static_cast<png_uint_32>(pixels);
    image.format = PNG_FORMAT_RGBA;   // opaque, so premultiplied and straight alpha agree
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, rgba.data(), 0, nullptr)) return {};
    std::vector<std::uint8_t> bytes(size);
    if (!png_image_write_to_memory(&image, bytes.data(), &size, 0, rgba.data(), 0, nullptr)) return {};
    bytes.resize(size);
    return bytes;
}

std::vector<std::uint8_t> coverJpeg(const std::string& title, const std::string& artist, int pixels) {
    const auto rgba = paintCover(title, artist, pixels);
    tjhandle handle = tjInitCompress();
    if (!handle) return {};
    unsigned char* out = nullptr;
    unsigned long size = 0;
    std::vector<std::uint8_t> bytes;
    if (tjCompress2(handle, reinterpret_cast<const unsigned char*>(rgba.data()), pixels, 0, pixels, TJPF_RGBA, &out,
                    &size, TJSAMP_420, 85, 0) == 0) {
        bytes.assign(out, out + size);
    }
    tjFree(out);
    tjDestroy(handle);
    return bytes;
}

}  // namespace sim
