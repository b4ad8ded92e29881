#include "sim/SimCapture.h"

#include <algorithm>
#include <cmath>

#include "sim/AppIcon.h"

namespace sim {

namespace {

// The errors ScreenCaptureKit reports, as their localized descriptions read.
constexpr const char* kDeclined = "The user declined TCCs for application, window, display capture";
constexpr const char* kNoWindow = "The window could not be found.";
constexpr const char* kFailed = "The operation could not be completed.";
constexpr const char* kBadSize = "The stream configuration is invalid.";

// Above this many pixels a request is refused rather than allocated.
constexpr long long kMaxCapturePixels = 8192LL * 8192LL;

constexpr double kTitleBarHeight = 28;

std::uint32_t pack(std::uint32_t r, std::uint32_t g, std::uint32_t b) { return r | (g << 8) | (b << 16) | (255u << 24); }

std::uint32_t channel(std::uint32_t color, int shift) { return (color >> shift) & 0xff; }

std::uint32_t lighten(std::uint32_t color) {
    auto up = [&](int shift) { return (channel(color, shift) + 255) / 2; };
    return pack(up(0), up(8), up(16));
}

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
    auto rgba = renderWindow(title, bundleId, window.windowID, size, configuration.width, configuration.height);
    auto image = kit::Image::fromPixels(configuration.width, configuration.height, std::move(rgba),
                                        {static_cast<double>(configuration.width),
                                         static_cast<double>(configuration.height)});
    if (completion) completion(std::move(image), std::nullopt);
}

std::vector<std::uint32_t> renderWindow(const std::string& title, const std::string& bundleId, CGWindowID id,
                                        kit::Size windowSize, int width, int height) {
    std::vector<std::uint32_t> out(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    if (windowSize.width <= 0 || windowSize.height <= 0) return out;

    const double scale = std::min(width / windowSize.width, height / windowSize.height);
    const double left = (width - windowSize.width * scale) / 2;
    const double top = (height - windowSize.height * scale) / 2;

    const std::uint32_t body = appIconColor(bundleId);
    const std::uint32_t stripe = lighten(body);
    const std::uint32_t band = titleColor(title);
    const std::uint32_t bar = pack(232, 232, 232);
    const std::uint32_t lights[3] = {pack(255, 95, 86), pack(255, 189, 46), pack(39, 201, 63)};
    // Stripes 8 to 24 points wide, leaning one of three ways, chosen by the window number.
    const double period = 8 + 4 * static_cast<double>(id % 5);
    const double lean = static_cast<double>(id % 3) - 1;

    for (int py = 0; py < height; ++py) {
        const double v = (py + 0.5 - top) / scale;
        if (v < 0 || v >= windowSize.height) continue;
        for (int px = 0; px < width; ++px) {
            const double u = (px + 0.5 - left) / scale;
            if (u < 0 || u >= windowSize.width) continue;
            std::uint32_t color;
            if (v < kTitleBarHeight) {
                color = bar;
                if (u >= windowSize.width * 0.3 && u < windowSize.width * 0.7 && v >= 9 && v < 19) color = band;
                for (int i = 0; i < 3; ++i) {
                    double dx = u - (14 + 20 * i);
                    double dy = v - 14;
                    if (dx * dx + dy * dy <= 36) color = lights[i];
                }
            } else {
                double phase = std::floor((u + lean * v) / period);
                color = static_cast<long long>(phase) % 2 == 0 ? body : stripe;
            }
            out[static_cast<std::size_t>(py) * width + px] = color;
        }
    }
    return out;
}

}  // namespace sim
