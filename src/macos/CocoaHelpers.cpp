#include "macos/CocoaHelpers.h"

#include <algorithm>
#include <cmath>

namespace macos::helpers {

std::uint64_t deviceIndependentFlags(std::uint64_t rawFlags) { return rawFlags & kDeviceIndependentFlagsMask; }

platform::CGEventType eventTypeFromNative(std::uint32_t nativeType) {
    switch (nativeType) {
        case platform::kCGEventLeftMouseDown:
        case platform::kCGEventLeftMouseUp:
        case platform::kCGEventRightMouseDown:
        case platform::kCGEventRightMouseUp:
        case platform::kCGEventMouseMoved:
        case platform::kCGEventLeftMouseDragged:
        case platform::kCGEventKeyDown:
        case platform::kCGEventKeyUp:
        case platform::kCGEventFlagsChanged:
        case platform::kCGEventScrollWheel:
        case platform::kCGEventTapDisabledByTimeout:
        case platform::kCGEventTapDisabledByUserInput:
            return static_cast<platform::CGEventType>(nativeType);
        default:
            return platform::kCGEventNull;
    }
}

bool maskSelects(std::uint64_t mask, std::uint32_t type) {
    // Shifting by 64 or more is undefined, and on x86 wraps to a small shift.
    if (type >= 64) return false;
    return (mask >> type) & 1u;
}

kit::Point quartzPointFromCocoa(kit::Point cocoa, double primaryHeight) { return {cocoa.x, primaryHeight - cocoa.y}; }

kit::Point cocoaPointFromQuartz(kit::Point quartz, double primaryHeight) { return {quartz.x, primaryHeight - quartz.y}; }

kit::Rect quartzRectFromCocoa(kit::Rect cocoa, double primaryHeight) {
    return {cocoa.origin.x, primaryHeight - (cocoa.origin.y + cocoa.size.height), cocoa.size.width, cocoa.size.height};
}

kit::Rect cocoaRectFromQuartz(kit::Rect quartz, double primaryHeight) {
    // The flip is its own inverse for rectangles: the far edge becomes the origin.
    return quartzRectFromCocoa(quartz, primaryHeight);
}

platform::AXError axErrorFromNative(std::int32_t nativeError) {
    if (nativeError == platform::kAXErrorSuccess) return platform::kAXErrorSuccess;
    if (nativeError <= platform::kAXErrorFailure && nativeError >= platform::kAXErrorNotEnoughPrecision) {
        return static_cast<platform::AXError>(nativeError);
    }
    return platform::kAXErrorFailure;
}

platform::AXValueType axValueTypeFromNative(std::uint32_t nativeType) {
    switch (nativeType) {
        case platform::kAXValueCGPointType:
        case platform::kAXValueCGSizeType:
        case platform::kAXValueCGRectType:
        case platform::kAXValueCFRangeType:
        case platform::kAXValueAXErrorType:
            return static_cast<platform::AXValueType>(nativeType);
        default:
            return platform::kAXValueIllegalType;
    }
}

namespace {

int clampSide(double side) {
    if (!std::isfinite(side) || side < 1) return 1;
    return static_cast<int>(std::min<double>(std::ceil(side), kMaxCaptureSide));
}

}  // namespace

std::optional<PixelSize> capturePixelSize(int requestedWidth, int requestedHeight) {
    if (requestedWidth <= 0 || requestedHeight <= 0) return std::nullopt;
    if (std::int64_t{requestedWidth} * requestedHeight > kMaxCapturePixels) return std::nullopt;
    return PixelSize{requestedWidth, requestedHeight};
}

PixelSize pixelSizeAtScale(kit::Size points, double backingScale) {
    const double scale = std::isfinite(backingScale) && backingScale > 0 ? backingScale : 1;
    const double width = points.width * scale;
    const double height = points.height * scale;
    // Both sides shrink by the same factor when one is over the cap, so the
    // picture keeps its shape.
    const double largest = std::max(width, height);
    const double shrink = std::isfinite(largest) && largest > kMaxCaptureSide ? kMaxCaptureSide / largest : 1;
    return {clampSide(width * shrink), clampSide(height * shrink)};
}

kit::Size capturePointSize(PixelSize pixels, kit::Size windowPoints) {
    if (windowPoints.width > 0 && windowPoints.height > 0 && std::isfinite(windowPoints.width) &&
        std::isfinite(windowPoints.height)) {
        return windowPoints;
    }
    return {static_cast<double>(pixels.width), static_cast<double>(pixels.height)};
}

bool imagePixelSizeAcceptable(std::optional<double> width, std::optional<double> height) {
    // A format whose properties do not carry its size is refused: decoding it
    // to find out is what the check is there to avoid.
    if (!width || !height) return false;
    const double w = *width;
    const double h = *height;
    if (!(w >= 1) || !(h >= 1) || w > kMaxImageSide || h > kMaxImageSide) return false;
    return w * h <= static_cast<double>(kMaxImagePixels);
}

namespace {

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != prefix[i]) return false;
    }
    return true;
}

bool isHttpsWithHost(std::string_view url) {
    if (!startsWithNoCase(url, "https://")) return false;
    const std::string_view rest = url.substr(8);
    const std::size_t end = rest.find_first_of("/?#");
    std::string_view authority = rest.substr(0, end);
    if (const std::size_t at = authority.rfind('@'); at != std::string_view::npos) authority.remove_prefix(at + 1);
    if (const std::size_t colon = authority.rfind(':'); colon != std::string_view::npos && authority.find(']') == std::string_view::npos) {
        authority = authority.substr(0, colon);
    }
    return !authority.empty();
}

}  // namespace

bool downloadAllowed(std::string_view url) { return isHttpsWithHost(url); }

bool redirectAllowed(std::string_view target, int hopsSoFar, const DownloadLimits& limits) {
    return hopsSoFar < limits.maxRedirects && isHttpsWithHost(target);
}

bool overByteLimit(std::int64_t expectedLength, std::uint64_t received, const DownloadLimits& limits) {
    if (expectedLength >= 0 && static_cast<std::uint64_t>(expectedLength) > limits.maxBytes) return true;
    return received > limits.maxBytes;
}

std::optional<std::string> httpStatusError(long statusCode) {
    if (statusCode >= 200 && statusCode < 300) return std::nullopt;
    return "the server answered " + std::to_string(statusCode);
}

}  // namespace macos::helpers
