#pragma once

#include "platform/EventTaps.h"

namespace macos {

// CGEventTap on the session, with its CFMachPort's run-loop source on the
// main run loop in the common modes.
class MacEventTaps final : public platform::EventTaps {
public:
    platform::CFMachPortRef tapCreate(platform::CGEventTapLocation location, platform::CGEventTapPlacement placement,
                                      platform::CGEventTapOptions options, platform::CGEventMask eventsOfInterest,
                                      platform::CGEventTapCallBack callback) override;
    platform::CFRunLoopSourceRef machPortCreateRunLoopSource(const platform::CFMachPortRef& tap,
                                                             std::int64_t order) override;
    void runLoopAddSource(const platform::CFRunLoopSourceRef& source) override;
    void runLoopRemoveSource(const platform::CFRunLoopSourceRef& source) override;
    void tapEnable(const platform::CFMachPortRef& tap, bool enable) override;
    bool tapIsEnabled(const platform::CFMachPortRef& tap) override;
};

}  // namespace macos
