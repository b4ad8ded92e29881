#include "macos/MacCapture.h"

#import <AppKit/AppKit.h>
#import <ScreenCaptureKit/ScreenCaptureKit.h>

#include <CoreGraphics/CoreGraphics.h>

#include "macos/CocoaHelpers.h"
#include "macos/KitImages.h"
#include "macos/ObjCRef.h"

namespace macos {

// The SCWindow objects of the latest shareable content, by window number:
// a filter needs the object, the seam hands over only the number. Written
// on ScreenCaptureKit's queue, read by the capture calls.
struct MacCapture::State {
    std::mutex mutex;
    std::map<platform::CGWindowID, ObjCRef<SCWindow>> windows;
};

namespace {

std::string describe(NSError* error) {
    if (error == nil) return "the capture failed";
    const char* text = [[error localizedDescription] UTF8String];
    return text ? text : "the capture failed";
}

}  // namespace

MacCapture::MacCapture() : state_(std::make_shared<State>()) {}

MacCapture::~MacCapture() = default;

bool MacCapture::preflightScreenCaptureAccess() { return CGPreflightScreenCaptureAccess(); }

bool MacCapture::requestScreenCaptureAccess() { return CGRequestScreenCaptureAccess(); }

int MacCapture::operatingSystemMajorVersion() {
    return static_cast<int>([[NSProcessInfo processInfo] operatingSystemVersion].majorVersion);
}

void MacCapture::getShareableContent(bool excludingDesktopWindows, bool onScreenWindowsOnly,
                                     ShareableContentHandler completion) {
    auto handler = std::make_shared<ShareableContentHandler>(std::move(completion));
    std::weak_ptr<State> weak = state_;
    [SCShareableContent
        getShareableContentExcludingDesktopWindows:excludingDesktopWindows
                               onScreenWindowsOnly:onScreenWindowsOnly
                                 completionHandler:^(SCShareableContent* content, NSError* error) {
                                     if (content == nil) {
                                         (*handler)(std::nullopt, describe(error));
                                         return;
                                     }
                                     platform::SCShareableContent result;
                                     std::map<platform::CGWindowID, ObjCRef<SCWindow>> byNumber;
                                     for (SCWindow* window in [content windows]) {
                                         const CGRect f = [window frame];
                                         result.windows.push_back(
                                             {[window windowID], {f.origin.x, f.origin.y, f.size.width, f.size.height}});
                                         byNumber[[window windowID]] = ObjCRef<SCWindow>::retain(window);
                                     }
                                     if (auto state = weak.lock()) {
                                         std::lock_guard lock(state->mutex);
                                         state->windows = std::move(byNumber);
                                     }
                                     (*handler)(std::move(result), std::nullopt);
                                 }];
}

void MacCapture::captureImage(const platform::SCWindow& window, const platform::SCStreamConfiguration& configuration,
                              CaptureImageHandler completion) {
    if (@available(macOS 14.0, *)) {
        ObjCRef<SCWindow> native;
        {
            std::lock_guard lock(state_->mutex);
            if (auto it = state_->windows.find(window.windowID); it != state_->windows.end()) native = it->second;
        }
        if (!native) {
            // Not seen yet (it opened since the last listing): list again
            // once, then capture it if it is there now.
            auto retry = std::make_shared<CaptureImageHandler>(std::move(completion));
            std::weak_ptr<State> weak = state_;
            platform::SCWindow wanted = window;
            platform::SCStreamConfiguration wantedConfiguration = configuration;
            getShareableContent(true, true, [this, weak, wanted, wantedConfiguration, retry](
                                                std::optional<platform::SCShareableContent>, std::optional<std::string>) {
                auto state = weak.lock();
                bool listed = false;
                if (state) {
                    std::lock_guard lock(state->mutex);
                    listed = state->windows.count(wanted.windowID) > 0;
                }
                if (!listed) {
                    (*retry)(nullptr, "the window is not in the shareable content");
                    return;
                }
                captureImage(wanted, wantedConfiguration, std::move(*retry));
            });
            return;
        }
        const auto checked = helpers::capturePixelSize(configuration.width, configuration.height);
        if (!checked) {
            completion(nullptr, "The stream configuration is invalid.");
            return;
        }
        const helpers::PixelSize size = *checked;
        SCContentFilter* filter = autoreleased([[SCContentFilter alloc] initWithDesktopIndependentWindow:native.get()]);
        SCStreamConfiguration* config = autoreleased([[SCStreamConfiguration alloc] init]);
        [config setWidth:static_cast<size_t>(size.width)];
        [config setHeight:static_cast<size_t>(size.height)];
        [config setShowsCursor:configuration.showsCursor];
        [config setScalesToFit:configuration.scalesToFit];
        [config setIgnoreShadowsSingleWindow:configuration.ignoreShadowsSingleWindow];
        auto handler = std::make_shared<CaptureImageHandler>(std::move(completion));
        const kit::Size points = helpers::capturePointSize(size, window.frame.size);
        [SCScreenshotManager captureImageWithFilter:filter
                                      configuration:config
                                  completionHandler:^(CGImageRef image, NSError* error) {
                                      // The image is valid only inside this handler: copy it out here.
                                      if (image == nullptr) {
                                          (*handler)(nullptr, describe(error));
                                          return;
                                      }
                                      kit::ImageRef copy = kitImageFromCGImage(image, size.width, size.height, points);
                                      if (!copy) {
                                          (*handler)(nullptr, "the capture could not be copied");
                                          return;
                                      }
                                      (*handler)(std::move(copy), std::nullopt);
                                  }];
    } else {
        completion(nullptr, "window capture needs macOS 14");
    }
}

}  // namespace macos
