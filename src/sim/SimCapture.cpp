#include "sim/SimCapture.h"

#include "sim/AppIcon.h"
#include "sim/WindowPainter.h"

namespace sim {

namespace {

// The errors ScreenCaptureKit reports, as their localized descriptions read.
constexpr const char* kDeclined = "The user declined TCCs for application, window, display capture";
constexpr const char* kNoWindow = "The window could not be found.";
constexpr const char* kFailed = "The operation could not be completed.";
constexpr const char* kBadSize = "The stream configuration is invalid.";

// Above this many pixels a request is refused rather than allocated.
constexpr long long kMaxCapturePixels = 8192LL * 8192LL;

}  // namespace

std::uint32_t titleColor(const std::string& title) {
    // A different seed from the app colours, so a title and a bundle
    // identifier that happen to be equal still get different colours.
    return appIconColor("title:" + title);
}

bool SimCapture::preflightScreenCaptureAccess() {
    std::lock_guard lock(world_.mutex);
    return world_.screenRecording;
}

bool SimCapture::requestScreenCaptureAccess() {
    // The request only shows the system's prompt; access changes when the user acts on it.
    std::lock_guard lock(world_.mutex);
    ++world_.screenRecordingRequests;
    return world_.screenRecording;
}

void SimCapture::getShareableContent(bool, bool, ShareableContentHandler completion) {
    std::optional<platform::SCShareableContent> content;
    std::optional<std::string> error;
    {
        std::lock_guard lock(world_.mutex);
        if (!world_.screenRecording) {
            error = kDeclined;
        } else if (world_.failShareableContent) {
            error = kFailed;
        } else {
            // Off-screen windows are included: minimized ones, and those of
            // hidden apps, are all there in window-server order.
            content.emplace();
            for (CGWindowID id : world_.zOrder) {
                const WindowRecord* w = world_.window(id);
                if (!w || !world_.runningApp(w->pid)) continue;
                content->windows.push_back({w->id, w->frame});
            }
        }
    }
    if (completion) completion(std::move(content), std::move(error));
}

void SimCapture::captureImage(const platform::SCWindow& window, const platform::SCStreamConfiguration& configuration,
                              CaptureImageHandler completion) {
    world_.captureCount.fetch_add(1, std::memory_order_relaxed);
    std::string title;
    std::string bundleId;
    kit::Size size;
    pid_t pid = 0;
    bool dark = false;
    std::optional<std::string> error;
    {
        std::lock_guard lock(world_.mutex);
        const WindowRecord* w = world_.window(window.windowID);
        const AppRecord* app = w ? world_.runningApp(w->pid) : nullptr;
        if (!world_.screenRecording) {
            error = kDeclined;
        } else if (!w || !app) {
            error = kNoWindow;
        } else if (world_.failedCaptures.count(window.windowID)) {
            error = kFailed;
        } else {
            title = w->title;
            bundleId = app->identity->bundleId;
            size = w->frame.size;
            pid = w->pid;
            dark = world_.darkAppearance;
        }
    }
    const long long pixels = static_cast<long long>(configuration.width) * configuration.height;
    if (!error && (configuration.width <= 0 || configuration.height <= 0 || pixels > kMaxCapturePixels))
        error = kBadSize;
    if (!error && (size.width <= 0 || size.height <= 0)) error = kFailed;
    if (error) {
        if (completion) completion(nullptr, std::move(error));
        return;
    }
    // Drawn outside the lock: the world goes on while a capture renders.
    auto rgba =
        renderWindow(title, bundleId, window.windowID, size, configuration.width, configuration.height, dark);
    auto image = kit::Image::fromPixels(configuration.width, configuration.height, std::move(rgba),
                                        {static_cast<double>(configuration.width),
                                         static_cast<double>(configuration.height)});
    tag(image, {window.windowID, pid});
    if (completion) completion(std::move(image), std::nullopt);
}

void SimCapture::tag(const kit::ImageRef& image, Source source) {
    if (!image || !image->pixelStorage()) return;
    std::lock_guard lock(tagsMutex_);
    std::erase_if(tags_, [](const auto& tagged) { return tagged.first.expired(); });
    tags_.emplace_back(image->pixelStorage(), source);
}

std::optional<SimCapture::Source> SimCapture::sourceOf(const kit::ImageRef& image) const {
    if (!image || !image->pixelStorage()) return std::nullopt;
    std::lock_guard lock(tagsMutex_);
    for (const auto& [pixels, source] : tags_)
        if (pixels.lock() == image->pixelStorage()) return source;
    return std::nullopt;
}

std::vector<std::uint32_t> renderWindow(const std::string& title, const std::string& bundleId, CGWindowID id,
                                        kit::Size windowSize, int width, int height, bool dark) {
    return paintWindow(title, bundleId, id, windowSize, width, height, dark);
}

void SimCapture::failShareableContent(bool fail) {
    std::lock_guard lock(world_.mutex);
    world_.failShareableContent = fail;
}

void SimCapture::failCapture(CGWindowID window) {
    std::lock_guard lock(world_.mutex);
    world_.failedCaptures.insert(window);
}

std::uint64_t SimCapture::captureCount() const { return world_.captureCount.load(); }

}  // namespace sim
