#pragma once

#include <map>
#include <mutex>

#include "platform/Capture.h"

namespace macos {

// ScreenCaptureKit from macOS 14 (one SCScreenshotManager capture per window
// with a desktop-independent filter); nothing on 13, where tiles keep their
// icon. The screen-capture permission calls are CoreGraphics'.
class MacCapture final : public platform::Capture {
public:
    MacCapture();
    ~MacCapture() override;

    bool preflightScreenCaptureAccess() override;
    bool requestScreenCaptureAccess() override;
    int operatingSystemMajorVersion() override;
    void getShareableContent(bool excludingDesktopWindows, bool onScreenWindowsOnly,
                             ShareableContentHandler completion) override;
    void captureImage(const platform::SCWindow& window, const platform::SCStreamConfiguration& configuration,
                      CaptureImageHandler completion) override;

    struct State;

private:
    std::shared_ptr<State> state_;
};

}  // namespace macos
