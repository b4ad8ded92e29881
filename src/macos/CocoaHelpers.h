#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "kit/Geometry.h"
#include "platform/Accessibility.h"
#include "platform/EventTaps.h"

// What the macOS backend computes rather than asks the system: conversions
// between the numbers and spaces of the frameworks and the seam. Plain C++,
// so that it is built and tested on every host.
namespace macos::helpers {

// --- events ------------------------------------------------------------------

// NSEventModifierFlagDeviceIndependentFlagsMask. The low bits of a raw
// CGEventFlags word say which side's key is down and whether the event was
// coalesced; nothing above them depends on the keyboard.
inline constexpr std::uint64_t kDeviceIndependentFlagsMask = 0xffff0000ull;

// A raw CGEventFlags or NSEvent.modifierFlags word as the seam hands it on:
// the device-independent bits only, so that a left and a right Command read
// the same.
std::uint64_t deviceIndependentFlags(std::uint64_t rawFlags);

// A CGEventType number from the system as a seam event type. Types the seam
// does not name (tablet, gesture, other buttons) read as kCGEventNull so the
// core ignores them; the two tap-disabled notifications are kept.
platform::CGEventType eventTypeFromNative(std::uint32_t nativeType);

// Whether a CGEventMask or NSEventMask selects an event type: bit n selects
// type n. Types at 64 and beyond (the tap-disabled notifications) are
// selected by no mask, however many bits it sets.
bool maskSelects(std::uint64_t mask, std::uint32_t type);

// --- coordinates ---------------------------------------------------------------

// Cocoa screen space has its origin at the bottom-left of the primary screen
// with y up; Quartz global space (window list, accessibility, event taps) has
// it at the top-left of the same screen with y down. `primaryHeight` is the
// height of NSScreen.screens[0].frame, never of the main screen.
kit::Point quartzPointFromCocoa(kit::Point cocoa, double primaryHeight);
kit::Point cocoaPointFromQuartz(kit::Point quartz, double primaryHeight);
kit::Rect quartzRectFromCocoa(kit::Rect cocoa, double primaryHeight);
kit::Rect cocoaRectFromQuartz(kit::Rect quartz, double primaryHeight);

// --- accessibility -----------------------------------------------------------

// An AXError number from the system as the seam's AXError. A code the seam
// does not know reads as kAXErrorFailure, so that no caller mistakes it for
// success.
platform::AXError axErrorFromNative(std::int32_t nativeError);

// An AXValueType number from the system; unknown types read as illegal.
platform::AXValueType axValueTypeFromNative(std::uint32_t nativeType);

// How deep and how wide a value read from another application is copied.
// An attribute's value comes from that application, so a list of lists or a
// list of a million children is cut here rather than copied whole.
inline constexpr int kMaxValueDepth = 4;
inline constexpr long kMaxArrayCount = 4096;

// --- capture -----------------------------------------------------------------

// The pixel size of a capture: exactly what was asked, or none when a side
// is not positive or the bitmap would be larger than kMaxCapturePixels
// (ScreenCaptureKit refuses such a configuration as invalid).
struct PixelSize {
    int width = 0;
    int height = 0;
};
inline constexpr int kMaxCaptureSide = 8192;
inline constexpr std::int64_t kMaxCapturePixels = std::int64_t{kMaxCaptureSide} * kMaxCaptureSide;
std::optional<PixelSize> capturePixelSize(int requestedWidth, int requestedHeight);

// The pixels an image of `points` takes at `backingScale` pixels per point
// (an icon copied out of AppKit): rounded up so that no column is lost, at
// least 1, and the larger side capped at kMaxCaptureSide with the shape kept.
// A scale that is not a finite positive number is 1.
PixelSize pixelSizeAtScale(kit::Size points, double backingScale);

// The points-per-pixel of a captured image, so that the image keeps the
// window's size in points whatever its pixel size.
kit::Size capturePointSize(PixelSize pixels, kit::Size windowPoints);

// Images from outside are measured before they are decoded.
inline constexpr std::uint64_t kMaxImagePixels = 4096ull * 4096ull;
inline constexpr std::uint64_t kMaxImageSide = 16384;
bool imagePixelSizeAcceptable(std::optional<double> width, std::optional<double> height);

// --- downloads ---------------------------------------------------------------

// The same bounds as the Linux session: only https, on every hop; a body of
// at most maxBytes; the whole load within timeout seconds.
struct DownloadLimits {
    std::uint64_t maxBytes = 4 * 1024 * 1024;
    double timeoutSeconds = 15;
    double connectTimeoutSeconds = 8;
    int maxRedirects = 5;
};

// Whether a load may start at `url`: an https URL with a host.
bool downloadAllowed(std::string_view url);
// Whether the session may follow a redirect to `target` after `hopsSoFar`
// redirects: an https target, within the redirect limit.
bool redirectAllowed(std::string_view target, int hopsSoFar, const DownloadLimits& limits);
// Whether a response announcing `expectedLength` bytes (negative: unknown)
// or having delivered `received` bytes so far is over the byte limit.
bool overByteLimit(std::int64_t expectedLength, std::uint64_t received, const DownloadLimits& limits);
// The error text of an HTTP status, none for 2xx. The session itself treats
// 4xx and 5xx as answers, the Linux session as failures; the core sees failures.
std::optional<std::string> httpStatusError(long statusCode);

}  // namespace macos::helpers
