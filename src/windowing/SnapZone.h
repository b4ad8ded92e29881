#pragma once

#include <cstdint>
#include <optional>

#include "kit/Geometry.h"

namespace durazizi {

// Where a window can be tiled. Edge dragging never produces bottomHalf; only
// keyboard snapping does, which is also why the arrow keys' codes minus 122
// give leftHalf, rightHalf, bottomHalf and maximize.
enum class SnapZone : std::uint8_t {
    none = 0,
    leftHalf = 1,
    rightHalf = 2,
    bottomHalf = 3,
    maximize = 4,
    topLeft = 5,
    topRight = 6,
    bottomLeft = 7,
    bottomRight = 8,
};

// The zone's part of `visible` (a screen's visible frame, Cocoa coordinates,
// y up, so the top quarters start at the middle); none for `none`.
std::optional<kit::Rect> rect(SnapZone zone, const kit::Rect& visible);

}  // namespace durazizi
