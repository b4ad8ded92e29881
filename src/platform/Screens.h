#pragma once

#include <optional>
#include <vector>

#include "kit/Geometry.h"

namespace platform {

// NSScreen, in Cocoa screen coordinates (origin bottom-left of the primary display).
struct Screen {
    kit::Rect frame;
    kit::Rect visibleFrame;
};

class Screens {
public:
    virtual ~Screens() = default;
    virtual std::vector<Screen> screens() = 0;              // NSScreen.screens
    virtual std::optional<Screen> mainScreen() = 0;         // NSScreen.mainScreen
    virtual kit::Point mouseLocation() = 0;                 // NSEvent.mouseLocation
};

}  // namespace platform
