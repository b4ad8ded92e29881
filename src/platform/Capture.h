#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "kit/Geometry.h"
#include "kit/Image.h"
#include "platform/Constants.h"

namespace platform {

// SCWindow: a capturable window and its frame in points.
struct SCWindow {
    CGWindowID windowID = 0;
    kit::Rect frame;
};

// SCShareableContent
struct SCShareableContent {
    std::vector<SCWindow> windows;
};

// SCStreamConfiguration, the fields the system sets.
struct SCStreamConfiguration {
    int width = 0;    // pixels
    int height = 0;   // pixels
    bool showsCursor = true;
    bool ignoreShadowsSingleWindow = false;
    bool scalesToFit = false;
};

// Screen capture: the permission checks (CoreGraphics) and ScreenCaptureKit.
// Completions may run on any thread.
class Capture {
public:
    virtual ~Capture() = default;
    virtual bool preflightScreenCaptureAccess() = 0;   // CGPreflightScreenCaptureAccess
    virtual bool requestScreenCaptureAccess() = 0;     // CGRequestScreenCaptureAccess
    virtual int operatingSystemMajorVersion() = 0;     // NSProcessInfo.operatingSystemVersion.majorVersion

    using ShareableContentHandler =
        std::function<void(std::optional<SCShareableContent> content, std::optional<std::string> error)>;
    using CaptureImageHandler = std::function<void(kit::ImageRef image, std::optional<std::string> error)>;

    // SCShareableContent getShareableContentExcludingDesktopWindows:onScreenWindowsOnly:completionHandler:
    virtual void getShareableContent(bool excludingDesktopWindows, bool onScreenWindowsOnly,
                                     ShareableContentHandler completion) = 0;
    // SCScreenshotManager captureImageWithFilter:configuration:completionHandler:
    // with a desktop-independent single-window filter. The image's pixel size
    // is exactly the configuration's width and height.
    virtual void captureImage(const SCWindow& window, const SCStreamConfiguration& configuration,
                              CaptureImageHandler completion) = 0;
};

}  // namespace platform
