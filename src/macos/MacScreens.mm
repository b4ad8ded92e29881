#include "macos/MacScreens.h"

#import <AppKit/AppKit.h>

namespace macos {

namespace {

kit::Rect rect(NSRect r) { return {r.origin.x, r.origin.y, r.size.width, r.size.height}; }

platform::Screen screen(NSScreen* s) { return {rect([s frame]), rect([s visibleFrame])}; }

}  // namespace

std::vector<platform::Screen> MacScreens::screens() {
    std::vector<platform::Screen> result;
    @autoreleasepool {
        // The first is the primary screen, the one with the menu bar, which
        // every coordinate flip is measured against.
        for (NSScreen* s in [NSScreen screens]) result.push_back(screen(s));
    }
    return result;
}

std::optional<platform::Screen> MacScreens::mainScreen() {
    @autoreleasepool {
        NSScreen* s = [NSScreen mainScreen];
        if (s == nil) return std::nullopt;
        return screen(s);
    }
}

kit::Point MacScreens::mouseLocation() {
    const NSPoint p = [NSEvent mouseLocation];
    return {p.x, p.y};
}

}  // namespace macos
