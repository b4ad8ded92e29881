#pragma once

#include <cstdint>
#include <memory>

#include "kit/Geometry.h"

namespace kit {

// NSTrackingArea: a rectangle of its owning view (in that view's coordinates)
// that reports the pointer entering and leaving it. An area is an object:
// it is removed by identity, and the input router tells areas apart by it.
class TrackingArea {
public:
    // NSTrackingAreaOptions, with the platform's bit values.
    enum Option : std::uint32_t {
        MouseEnteredAndExited = 0x01,
        MouseMoved = 0x02,
        CursorUpdate = 0x04,
        ActiveWhenFirstResponder = 0x10,
        ActiveInKeyWindow = 0x20,
        ActiveInActiveApp = 0x40,
        ActiveAlways = 0x80,
        AssumeInside = 0x100,
        InVisibleRect = 0x200,
        EnabledDuringMouseDrag = 0x400,
    };

    TrackingArea(Rect rect, std::uint32_t options) : rect_(rect), options_(options) {}

    static std::shared_ptr<TrackingArea> make(Rect rect, std::uint32_t options) {
        return std::make_shared<TrackingArea>(rect, options);
    }

    Rect rect() const { return rect_; }
    std::uint32_t options() const { return options_; }
    bool has(Option option) const { return (options_ & option) != 0; }

private:
    Rect rect_;
    std::uint32_t options_;
};

using TrackingAreaRef = std::shared_ptr<TrackingArea>;

}  // namespace kit
