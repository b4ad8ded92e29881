#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "kit/Geometry.h"

// Quartz event services: CGEvent and CGEventTap with its run-loop source.
namespace platform {

// CGEventType
enum CGEventType : std::uint32_t {
    kCGEventNull = 0,
    kCGEventLeftMouseDown = 1,
    kCGEventLeftMouseUp = 2,
    kCGEventRightMouseDown = 3,
    kCGEventRightMouseUp = 4,
    kCGEventMouseMoved = 5,
    kCGEventLeftMouseDragged = 6,
    kCGEventKeyDown = 10,
    kCGEventKeyUp = 11,
    kCGEventFlagsChanged = 12,
    kCGEventScrollWheel = 22,
    // Not events: what a tap's callback receives when the system turned the tap off.
    kCGEventTapDisabledByTimeout = 0xFFFFFFFE,
    kCGEventTapDisabledByUserInput = 0xFFFFFFFF,
};

using CGEventMask = std::uint64_t;
// CoreGraphics defines the name as a macro of the same meaning; a file that
// includes CoreGraphics sees that one.
#ifndef CGEventMaskBit
constexpr CGEventMask CGEventMaskBit(CGEventType type) { return type < 64 ? CGEventMask{1} << type : 0; }
#endif

// CGEventFlags: the four modifiers share their bits with NSEventModifierFlags.
using CGEventFlags = std::uint64_t;
enum : CGEventFlags {
    kCGEventFlagMaskAlphaShift = 0x10000,
    kCGEventFlagMaskShift = 0x20000,
    kCGEventFlagMaskControl = 0x40000,
    kCGEventFlagMaskAlternate = 0x80000,
    kCGEventFlagMaskCommand = 0x100000,
    kCGEventFlagMaskNumericPad = 0x200000,
    kCGEventFlagMaskHelp = 0x400000,
    kCGEventFlagMaskSecondaryFn = 0x800000,
    kCGEventFlagMaskNonCoalesced = 0x100,
};

enum CGEventTapLocation : std::uint32_t { kCGHIDEventTap = 0, kCGSessionEventTap = 1, kCGAnnotatedSessionEventTap = 2 };
enum CGEventTapPlacement : std::uint32_t { kCGHeadInsertEventTap = 0, kCGTailAppendEventTap = 1 };
enum CGEventTapOptions : std::uint32_t { kCGEventTapOptionDefault = 0, kCGEventTapOptionListenOnly = 1 };

// CGEventField, the few the system reads.
enum CGEventField : std::uint32_t {
    kCGKeyboardEventKeycode = 9,
    kCGScrollWheelEventDeltaAxis1 = 11,
    kCGScrollWheelEventPointDeltaAxis1 = 96,
};

// Virtual key codes of the arrow keys.
enum CGKeyCode : std::int64_t { kVK_LeftArrow = 123, kVK_RightArrow = 124, kVK_DownArrow = 125, kVK_UpArrow = 126 };

// A CGEvent as the platform hands it to a tap: plain data, read through the
// CGEventGet functions below.
struct CGEvent {
    CGEventType type = kCGEventNull;
    kit::Point location;        // global top-left coordinates
    CGEventFlags flags = 0;
    std::int64_t keycode = 0;
    double lineDelta = 0;       // vertical, positive up
    double pointDelta = 0;
};
using CGEventRef = std::shared_ptr<CGEvent>;

inline CGEventType CGEventGetType(const CGEventRef& event) { return event ? event->type : kCGEventNull; }
inline CGEventFlags CGEventGetFlags(const CGEventRef& event) { return event ? event->flags : 0; }
inline kit::Point CGEventGetLocation(const CGEventRef& event) { return event ? event->location : kit::Point{}; }
inline std::int64_t CGEventGetIntegerValueField(const CGEventRef& event, CGEventField field) {
    if (!event) return 0;
    switch (field) {
        case kCGKeyboardEventKeycode: return event->keycode;
        case kCGScrollWheelEventDeltaAxis1: return static_cast<std::int64_t>(event->lineDelta);
        case kCGScrollWheelEventPointDeltaAxis1: return static_cast<std::int64_t>(event->pointDelta);
    }
    return 0;
}
inline double CGEventGetDoubleValueField(const CGEventRef& event, CGEventField field) {
    if (!event) return 0;
    switch (field) {
        case kCGKeyboardEventKeycode: return static_cast<double>(event->keycode);
        case kCGScrollWheelEventDeltaAxis1: return event->lineDelta;
        case kCGScrollWheelEventPointDeltaAxis1: return event->pointDelta;
    }
    return 0;
}

// The tap's mach port and its run-loop source: opaque handles.
struct CFMachPort {
    virtual ~CFMachPort() = default;
};
using CFMachPortRef = std::shared_ptr<CFMachPort>;
struct CFRunLoopSource {
    virtual ~CFRunLoopSource() = default;
};
using CFRunLoopSourceRef = std::shared_ptr<CFRunLoopSource>;

// CGEventTapCallBack: returns the event to pass it on, or null to swallow it
// (an active tap only). It runs on the run loop the tap's source was added to.
using CGEventTapCallBack = std::function<CGEventRef(CGEventType type, CGEventRef event)>;

class EventTaps {
public:
    virtual ~EventTaps() = default;

    // CGEventTapCreate: null when the tap cannot be made (without
    // Accessibility trust, among others).
    virtual CFMachPortRef tapCreate(CGEventTapLocation location, CGEventTapPlacement placement,
                                    CGEventTapOptions options, CGEventMask eventsOfInterest,
                                    CGEventTapCallBack callback) = 0;
    // CFMachPortCreateRunLoopSource(kCFAllocatorDefault, tap, order)
    virtual CFRunLoopSourceRef machPortCreateRunLoopSource(const CFMachPortRef& tap, std::int64_t order) = 0;
    // CFRunLoopAddSource / CFRunLoopRemoveSource on the current (main) run
    // loop, in the common modes.
    virtual void runLoopAddSource(const CFRunLoopSourceRef& source) = 0;
    virtual void runLoopRemoveSource(const CFRunLoopSourceRef& source) = 0;
    virtual void tapEnable(const CFMachPortRef& tap, bool enable) = 0;     // CGEventTapEnable
    virtual bool tapIsEnabled(const CFMachPortRef& tap) = 0;               // CGEventTapIsEnabled
};

}  // namespace platform
