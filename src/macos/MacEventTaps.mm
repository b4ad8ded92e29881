#include "macos/MacEventTaps.h"

#include <CoreFoundation/CoreFoundation.h>
#include <CoreGraphics/CoreGraphics.h>

#include "macos/CFRef.h"
#include "macos/CocoaHelpers.h"

namespace macos {

namespace {

// The tap's state lives in the port's handle; the system holds a raw
// pointer to it (userInfo) for as long as the port is valid, and the
// handle invalidates the port before it goes.
class MacMachPort final : public platform::CFMachPort {
public:
    MacMachPort(bool listenOnly, platform::CGEventTapCallBack callback)
        : listenOnly_(listenOnly), callback_(std::move(callback)) {}
    ~MacMachPort() override {
        if (port_) CFMachPortInvalidate(port_.get());
    }

    static CGEventRef deliver(CGEventTapProxy, CGEventType type, CGEventRef event, void* userInfo) {
        auto* self = static_cast<MacMachPort*>(userInfo);
        auto seen = std::make_shared<platform::CGEvent>();
        seen->type = helpers::eventTypeFromNative(type);
        // Both disabled notices reach the callback, which turns the tap back
        // on; the event that came with them is passed on untouched.
        const bool notice = seen->type == platform::kCGEventTapDisabledByTimeout ||
                            seen->type == platform::kCGEventTapDisabledByUserInput;
        if (!notice && event != nullptr) {
            const CGPoint location = CGEventGetLocation(event);   // Quartz global, as the seam has it
            seen->location = {location.x, location.y};
            seen->flags = helpers::deviceIndependentFlags(CGEventGetFlags(event));
            seen->keycode = CGEventGetIntegerValueField(event, kCGKeyboardEventKeycode);
            seen->lineDelta = static_cast<double>(CGEventGetIntegerValueField(event, kCGScrollWheelEventDeltaAxis1));
            seen->pointDelta = CGEventGetDoubleValueField(event, kCGScrollWheelEventPointDeltaAxis1);
        }
        platform::CGEventRef answer = self->callback_(seen->type, seen);
        if (answer == nullptr && !self->listenOnly_ && !notice) return nullptr;   // swallowed
        return event;
    }

    CFRef<CFMachPortRef> port_;

private:
    bool listenOnly_;
    platform::CGEventTapCallBack callback_;
};

class MacRunLoopSource final : public platform::CFRunLoopSource {
public:
    explicit MacRunLoopSource(CFRef<CFRunLoopSourceRef> source) : source_(std::move(source)) {}
    ~MacRunLoopSource() override { remove(); }
    void add() {
        if (added_) return;
        CFRunLoopAddSource(CFRunLoopGetMain(), source_.get(), kCFRunLoopCommonModes);
        added_ = true;
    }
    void remove() {
        if (!added_) return;
        CFRunLoopRemoveSource(CFRunLoopGetMain(), source_.get(), kCFRunLoopCommonModes);
        added_ = false;
    }

private:
    CFRef<CFRunLoopSourceRef> source_;
    bool added_ = false;
};

CFMachPortRef native(const platform::CFMachPortRef& tap) {
    auto mac = dynamic_cast<MacMachPort*>(tap.get());
    return mac ? mac->port_.get() : nullptr;
}

}  // namespace

platform::CFMachPortRef MacEventTaps::tapCreate(platform::CGEventTapLocation location,
                                                platform::CGEventTapPlacement placement,
                                                platform::CGEventTapOptions options,
                                                platform::CGEventMask eventsOfInterest,
                                                platform::CGEventTapCallBack callback) {
    if (!callback) return nullptr;
    auto port = std::make_shared<MacMachPort>(options == platform::kCGEventTapOptionListenOnly, std::move(callback));
    port->port_ = CFRef<CFMachPortRef>::adopt(CGEventTapCreate(location, placement, options, eventsOfInterest,
                                                               &MacMachPort::deliver, port.get()));
    // Null without the permission the tap needs (Accessibility for an
    // active tap).
    if (!port->port_) return nullptr;
    return port;
}

platform::CFRunLoopSourceRef MacEventTaps::machPortCreateRunLoopSource(const platform::CFMachPortRef& tap,
                                                                       std::int64_t order) {
    CFMachPortRef port = native(tap);
    if (port == nullptr) return nullptr;
    auto source = CFRef<CFRunLoopSourceRef>::adopt(CFMachPortCreateRunLoopSource(kCFAllocatorDefault, port, order));
    if (!source) return nullptr;
    return std::make_shared<MacRunLoopSource>(std::move(source));
}

void MacEventTaps::runLoopAddSource(const platform::CFRunLoopSourceRef& source) {
    if (auto mac = dynamic_cast<MacRunLoopSource*>(source.get())) mac->add();
}

void MacEventTaps::runLoopRemoveSource(const platform::CFRunLoopSourceRef& source) {
    if (auto mac = dynamic_cast<MacRunLoopSource*>(source.get())) mac->remove();
}

void MacEventTaps::tapEnable(const platform::CFMachPortRef& tap, bool enable) {
    if (CFMachPortRef port = native(tap)) CGEventTapEnable(port, enable);
}

bool MacEventTaps::tapIsEnabled(const platform::CFMachPortRef& tap) {
    CFMachPortRef port = native(tap);
    return port != nullptr && CGEventTapIsEnabled(port);
}

}  // namespace macos
