#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "kit/Geometry.h"
#include "platform/EventTaps.h"

namespace platform {

// NSEventMask: bit n selects NSEventType n (the same numbers as CGEventType).
using NSEventMask = std::uint64_t;
inline constexpr NSEventMask NSEventMaskLeftMouseDown = 1ull << kCGEventLeftMouseDown;
inline constexpr NSEventMask NSEventMaskLeftMouseUp = 1ull << kCGEventLeftMouseUp;
inline constexpr NSEventMask NSEventMaskRightMouseDown = 1ull << kCGEventRightMouseDown;
inline constexpr NSEventMask NSEventMaskLeftMouseDragged = 1ull << kCGEventLeftMouseDragged;
inline constexpr NSEventMask NSEventMaskKeyDown = 1ull << kCGEventKeyDown;
inline constexpr NSEventMask NSEventMaskScrollWheel = 1ull << kCGEventScrollWheel;

// The NSEvent a monitor's handler receives.
struct NSEvent {
    CGEventType type = kCGEventNull;
    kit::Point locationInWindow;   // a global event has no window: screen coordinates (Cocoa)
    std::uint64_t modifierFlags = 0;
};

// An opaque monitor token.
struct EventMonitor {
    virtual ~EventMonitor() = default;
};
using EventMonitorRef = std::shared_ptr<EventMonitor>;

// NSEvent global monitors: copies of the events posted to other
// applications, never of those sent to our own windows. Handlers run on the
// main thread.
class EventMonitors {
public:
    virtual ~EventMonitors() = default;
    // +addGlobalMonitorForEventsMatchingMask:handler:; null when the monitor
    // cannot be installed.
    virtual EventMonitorRef addGlobalMonitorForEventsMatchingMask(NSEventMask mask,
                                                                 std::function<void(const NSEvent&)> handler) = 0;
    virtual void removeMonitor(const EventMonitorRef& monitor) = 0;   // +removeMonitor:
};

}  // namespace platform
