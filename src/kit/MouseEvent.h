#pragma once

#include <cstdint>
#include <memory>

#include "kit/Geometry.h"

namespace kit {

class TrackingArea;

// The part of an NSEvent that mouse handlers read.
struct MouseEvent {
    // NSEventType, with the platform's values.
    enum class Type : std::uint8_t {
        LeftMouseDown = 1,
        LeftMouseUp = 2,
        MouseMoved = 5,
        MouseEntered = 8,
        MouseExited = 9,
    };

    Type type = Type::MouseMoved;
    Point locationInWindow;           // window coordinates: origin bottom-left, y up
    std::uint64_t modifierFlags = 0;  // NSEventModifierFlags
    int clickCount = 0;
    // The area that fired, for entered and exited; null otherwise.
    std::shared_ptr<TrackingArea> trackingArea;
};

}  // namespace kit
