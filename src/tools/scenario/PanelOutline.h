#pragma once

#include <optional>
#include <string>

#include "kit/Geometry.h"
#include "sim/OwnWindows.h"

namespace scenario {

// A pointer drawn below a panel: a narrow shape hanging from the panel's
// lower edge, as the window's painted pixels show it.
struct DrawnPointer {
    kit::Point tip;     // top-left global points
    double width = 0;   // of its base, along the panel's lower edge
    double height = 0;
    double baseY = 0;   // top-left global: where the panel's body ends
};

// Paints the lower strip of the window's content and looks for a pointer
// below its body: rows of coverage much narrower than the body's. Read to
// half a point. None when nothing hangs below the body.
std::optional<DrawnPointer> drawnPointer(const sim::OwnWindowInfo& window);

// The frame of the panel's body: the window's frame less the strip a
// pointer hangs in.
kit::Rect bodyFrame(const sim::OwnWindowInfo& window, const std::optional<DrawnPointer>& pointer);

// `"triangle"` of `query preview` and `query special`.
std::string pointerJson(const std::optional<DrawnPointer>& pointer, bool visible);

}  // namespace scenario
