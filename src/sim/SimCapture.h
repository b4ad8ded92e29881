#pragma once

#include <cstdint>
#include <vector>

#include "platform/Capture.h"
#include "sim/World.h"

namespace sim {

// CoreGraphics' capture permission and ScreenCaptureKit. Completions run on
// the calling thread before the call returns: the system calls these from a
// background task and waits, so nothing here may need the main queue.
class SimCapture final : public platform::Capture {
public:
    explicit SimCapture(World& world) : world_(world) {}

    bool preflightScreenCaptureAccess() override;
    bool requestScreenCaptureAccess() override;
    int operatingSystemMajorVersion() override { return 14; }

    void getShareableContent(bool excludingDesktopWindows, bool onScreenWindowsOnly,
                             ShareableContentHandler completion) override;
    void captureImage(const platform::SCWindow& window, const platform::SCStreamConfiguration& configuration,
                      CaptureImageHandler completion) override;

    // --- the desktop's side ---------------------------------------------------
    void failShareableContent(bool fail = true);
    void failCapture(CGWindowID window);
    std::uint64_t captureCount() const;     // captureImage calls

private:
    World& world_;
};

// What a simulated window looks like, `width` × `height` pixels, the window
// scaled to fit and centred (transparent around it and in its rounded
// corners): a title bar with a band in the title's colour and the three
// window buttons, and content laid out for the kind of app (see
// WindowPainter.h), its details chosen by the window number.
std::vector<std::uint32_t> renderWindow(const std::string& title, const std::string& bundleId, CGWindowID id,
                                        kit::Size windowSize, int width, int height);

// The title band's colour, packed as the image's pixels are.
std::uint32_t titleColor(const std::string& title);

}  // namespace sim
