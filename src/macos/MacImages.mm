#include "macos/MacImages.h"

#include <ImageIO/ImageIO.h>

#include "macos/CFRef.h"
#include "macos/CocoaHelpers.h"
#include "macos/KitImages.h"

namespace macos {

namespace {

std::optional<double> number(CFDictionaryRef properties, CFStringRef key) {
    auto value = static_cast<CFNumberRef>(CFDictionaryGetValue(properties, key));
    if (value == nullptr || CFGetTypeID(value) != CFNumberGetTypeID()) return std::nullopt;
    double result = 0;
    if (!CFNumberGetValue(value, kCFNumberDoubleType, &result)) return std::nullopt;
    return result;
}

}  // namespace

kit::ImageRef MacImages::imageWithData(std::span<const std::uint8_t> data) {
    if (data.empty()) return nullptr;
    auto bytes = CFRef<CFDataRef>::adopt(CFDataCreate(nullptr, data.data(), static_cast<CFIndex>(data.size())));
    auto source = CFRef<CGImageSourceRef>::adopt(CGImageSourceCreateWithData(bytes.get(), nullptr));
    if (!source || CGImageSourceGetCount(source.get()) == 0) return nullptr;
    auto properties = CFRef<CFDictionaryRef>::adopt(CGImageSourceCopyPropertiesAtIndex(source.get(), 0, nullptr));
    if (!properties) return nullptr;
    const auto width = number(properties.get(), kCGImagePropertyPixelWidth);
    const auto height = number(properties.get(), kCGImagePropertyPixelHeight);
    if (!helpers::imagePixelSizeAcceptable(width, height)) return nullptr;
    auto image = CFRef<CGImageRef>::adopt(CGImageSourceCreateImageAtIndex(source.get(), 0, nullptr));
    if (!image) return nullptr;
    const int w = static_cast<int>(CGImageGetWidth(image.get()));
    const int h = static_cast<int>(CGImageGetHeight(image.get()));
    // The decoder's own size is what is drawn; it must still be within the
    // bounds the properties promised.
    if (!helpers::imagePixelSizeAcceptable(w, h)) return nullptr;
    return kitImageFromCGImage(image.get(), w, h, {static_cast<double>(w), static_cast<double>(h)});
}

}  // namespace macos
