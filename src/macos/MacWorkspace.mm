#include "macos/MacWorkspace.h"

#import <AppKit/AppKit.h>

#include "macos/KitImages.h"
#include "macos/ObjCRef.h"

namespace macos {

namespace {

std::optional<std::string> text(NSString* s) {
    if (s == nil) return std::nullopt;
    const char* utf8 = [s UTF8String];
    return utf8 ? std::optional<std::string>(utf8) : std::nullopt;
}

// The size icons are copied at: the largest a Dock tile shows, on a
// two-pixels-per-point screen.
constexpr double kIconPoints = 64;
constexpr double kIconScale = 2;

class MacRunningApplication final : public platform::RunningApplication {
public:
    explicit MacRunningApplication(NSRunningApplication* app) : app_(ObjCRef<NSRunningApplication>::retain(app)) {}

    platform::pid_t processIdentifier() const override { return [app_.get() processIdentifier]; }
    std::optional<std::string> bundleIdentifier() const override { return text([app_.get() bundleIdentifier]); }
    std::optional<kit::URL> bundleURL() const override {
        NSURL* url = [app_.get() bundleURL];
        if (url == nil) return std::nullopt;
        auto absolute = text([url absoluteString]);
        return absolute ? kit::URL::fromString(*absolute) : std::nullopt;
    }
    std::optional<std::string> localizedName() const override { return text([app_.get() localizedName]); }
    kit::ImageRef icon() const override {
        @autoreleasepool {
            return kitImageFromNSImage([app_.get() icon], {kIconPoints, kIconPoints}, kIconScale);
        }
    }
    bool isTerminated() const override { return [app_.get() isTerminated]; }
    bool activate() override { return [app_.get() activateWithOptions:0]; }

private:
    ObjCRef<NSRunningApplication> app_;
};

platform::RunningApplicationRef wrap(NSRunningApplication* app) {
    if (app == nil) return nullptr;
    return std::make_shared<MacRunningApplication>(app);
}

}  // namespace

std::vector<platform::RunningApplicationRef> MacWorkspace::runningApplications() {
    std::vector<platform::RunningApplicationRef> result;
    @autoreleasepool {
        for (NSRunningApplication* app in [[NSWorkspace sharedWorkspace] runningApplications]) result.push_back(wrap(app));
    }
    return result;
}

std::vector<platform::RunningApplicationRef> MacWorkspace::runningApplicationsWithBundleIdentifier(
    const std::string& bundleId) {
    std::vector<platform::RunningApplicationRef> result;
    @autoreleasepool {
        NSString* identifier = [NSString stringWithUTF8String:bundleId.c_str()];
        if (identifier == nil) return result;
        for (NSRunningApplication* app in [NSRunningApplication runningApplicationsWithBundleIdentifier:identifier]) {
            result.push_back(wrap(app));
        }
    }
    return result;
}

platform::RunningApplicationRef MacWorkspace::frontmostApplication() {
    @autoreleasepool {
        return wrap([[NSWorkspace sharedWorkspace] frontmostApplication]);
    }
}

bool MacWorkspace::openURL(const kit::URL& url) {
    @autoreleasepool {
        NSString* text = [NSString stringWithUTF8String:url.absoluteString().c_str()];
        NSURL* native = text ? [NSURL URLWithString:text] : nil;
        if (native == nil) return false;
        return [[NSWorkspace sharedWorkspace] openURL:native];
    }
}

platform::pid_t MacWorkspace::processIdentifier() { return [[NSProcessInfo processInfo] processIdentifier]; }

}  // namespace macos
