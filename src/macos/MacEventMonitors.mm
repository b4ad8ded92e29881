#include "macos/MacEventMonitors.h"

#import <AppKit/AppKit.h>

#include "macos/CocoaHelpers.h"
#include "macos/ObjCRef.h"

namespace macos {

namespace {

class MacEventMonitor final : public platform::EventMonitor {
public:
    explicit MacEventMonitor(id token) : token_(ObjCRef<NSObject>::retain(token)) {}
    // A monitor dropped without removeMonitor would keep calling a handler
    // whose owner is gone.
    ~MacEventMonitor() override { remove(); }
    void remove() {
        // removeMonitor: takes each token exactly once.
        if (!token_) return;
        [NSEvent removeMonitor:token_.get()];
        token_.reset();
    }

private:
    ObjCRef<NSObject> token_;
};

}  // namespace

platform::EventMonitorRef MacEventMonitors::addGlobalMonitorForEventsMatchingMask(
    platform::NSEventMask mask, std::function<void(const platform::NSEvent&)> handler) {
    if (!handler) return nullptr;
    auto shared = std::make_shared<std::function<void(const platform::NSEvent&)>>(std::move(handler));
    id token = [NSEvent addGlobalMonitorForEventsMatchingMask:mask
                                                      handler:^(NSEvent* event) {
                                                          platform::NSEvent seen;
                                                          seen.type = helpers::eventTypeFromNative(
                                                              static_cast<std::uint32_t>([event type]));
                                                          // A global event has no window of ours: its
                                                          // location is in Cocoa screen coordinates.
                                                          const NSPoint p = [event locationInWindow];
                                                          seen.locationInWindow = {p.x, p.y};
                                                          seen.modifierFlags =
                                                              helpers::deviceIndependentFlags([event modifierFlags]);
                                                          (*shared)(seen);
                                                      }];
    if (token == nil) return nullptr;
    return std::make_shared<MacEventMonitor>(token);
}

void MacEventMonitors::removeMonitor(const platform::EventMonitorRef& monitor) {
    if (auto mac = dynamic_cast<MacEventMonitor*>(monitor.get())) mac->remove();
}

}  // namespace macos
