#include "dock/ThumbnailCapture.h"

#include <algorithm>
#include <cmath>
#include <future>
#include <memory>

#include "app/Diag.h"
#include "kit/Saturate.h"
#include "platform/Platform.h"

namespace durazizi {

namespace {

using platform::Capture;
using platform::SCShareableContent;
using platform::SCWindow;

// The platform hands results to completion handlers on threads of its own;
// a batch is one sequential task, so each step waits for its answer.
struct ContentAnswer {
    std::optional<SCShareableContent> content;
    std::optional<std::string> error;
};

ContentAnswer shareableContent(Capture& capture) {
    auto answer = std::make_shared<std::promise<ContentAnswer>>();
    auto future = answer->get_future();
    capture.getShareableContent(false, false,
                                [answer](std::optional<SCShareableContent> content, std::optional<std::string> error) {
                                    answer->set_value({std::move(content), std::move(error)});
                                });
    return future.get();
}

kit::ImageRef captureOne(Capture& capture, const SCWindow& window, double maxDimension) {
    auto pixels = ThumbnailCapture::pixelSize(window.frame.size, maxDimension);
    if (!pixels) return nullptr;

    platform::SCStreamConfiguration configuration;
    configuration.width = pixels->width;
    configuration.height = pixels->height;
    configuration.showsCursor = false;
    configuration.ignoreShadowsSingleWindow = true;
    configuration.scalesToFit = true;

    auto answer = std::make_shared<std::promise<kit::ImageRef>>();
    auto future = answer->get_future();
    capture.captureImage(window, configuration, [answer](kit::ImageRef image, std::optional<std::string> error) {
        answer->set_value(error ? nullptr : std::move(image));
    });
    kit::ImageRef image = future.get();
    if (!image || image->pixelWidth() <= 0 || image->pixelHeight() <= 0) return nullptr;

    // Thumbnails are rendered at twice their point size; whole-number halves.
    kit::Size points{static_cast<double>(image->pixelWidth() / 2), static_cast<double>(image->pixelHeight() / 2)};
    return kit::Image::withPointSize(image, points);
}

}  // namespace

std::optional<ThumbnailCapture::PixelSize> ThumbnailCapture::pixelSize(kit::Size windowSize, double maxDimension) {
    double w = windowSize.width;
    double h = windowSize.height;
    if (!(w > 1) || !(h > 1)) return std::nullopt;
    double scale = std::min(maxDimension / std::max(w, h), 1.0);
    auto side = [scale](double length) {
        double pixels = std::trunc(2 * length * scale);
        return pixels < 1 ? 1 : kit::saturatingCast<int>(pixels);
    };
    return PixelSize{side(w), side(h)};
}

void ThumbnailCapture::captureBatch(std::vector<platform::CGWindowID> windowIDs, double maxDimension,
                                    std::function<void(Images)> completion) const {
    auto& backend = platform::current();
    backend.runLoop().asyncGlobal(
        platform::QualityOfService::Default,
        [&backend, windowIDs = std::move(windowIDs), maxDimension, completion = std::move(completion)]() mutable {
            Images images;
            ContentAnswer answer = shareableContent(backend.capture());
            if (!answer.content) {
                Diag::log("captureBatch failed: " + answer.error.value_or("unknown error"));
            } else {
                // The first of two windows with one number wins.
                std::unordered_map<platform::CGWindowID, SCWindow> byNumber;
                for (const auto& window : answer.content->windows) byNumber.emplace(window.windowID, window);
                for (auto id : windowIDs) {
                    auto found = byNumber.find(id);
                    if (found == byNumber.end()) continue;
                    if (auto image = captureOne(backend.capture(), found->second, maxDimension)) images[id] = image;
                }
            }
            backend.runLoop().asyncMain(
                [completion = std::move(completion), images = std::move(images)]() mutable {
                    completion(std::move(images));
                });
        });
}

}  // namespace durazizi
