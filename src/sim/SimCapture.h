#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include "kit/Image.h"

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

    // The window a captured picture shows, as the capture service made it.
    struct Source {
        CGWindowID window = 0;
        pid_t pid = 0;
    };
    // Where the pixels of `image` were captured from: the same pixels at
    // another point size (a thumbnail wraps them so) still tell; none for
    // pixels this service never made.
    std::optional<Source> sourceOf(const kit::ImageRef& image) const;

private:
    using Pixels = std::vector<std::uint32_t>;
    void tag(const kit::ImageRef& image, Source source);

    World& world_;
    // Weak, so that a tag lasts exactly as long as the pixels it names: a
    // buffer freed and another made at the same address cannot inherit it.
    mutable std::mutex tagsMutex_;
    std::vector<std::pair<std::weak_ptr<const Pixels>, Source>> tags_;
};

// What a simulated window looks like, `width` × `height` pixels, the window
// scaled to fit and centred (transparent around it and in its rounded
// corners): a title bar with a band in the title's colour and the three
// window buttons, and content laid out for the kind of app (see
// WindowPainter.h), its details chosen by the window number; in the dark
// appearance when the system's is dark.
std::vector<std::uint32_t> renderWindow(const std::string& title, const std::string& bundleId, CGWindowID id,
                                        kit::Size windowSize, int width, int height, bool dark);

// The title band's colour, packed as the image's pixels are.
std::uint32_t titleColor(const std::string& title);

}  // namespace sim
