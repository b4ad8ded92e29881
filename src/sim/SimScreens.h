#pragma once

#include "platform/Screens.h"
#include "sim/World.h"

namespace sim {

// NSScreen and NSEvent.mouseLocation: the world keeps displays and the
// pointer in top-left coordinates and answers here in Cocoa coordinates.
class SimScreens final : public platform::Screens {
public:
    explicit SimScreens(World& world) : world_(world) {}

    std::vector<platform::Screen> screens() override;
    std::optional<platform::Screen> mainScreen() override;
    kit::Point mouseLocation() override;

    // Top-left to Cocoa, anchored at the primary display (a rectangle's far
    // edge in one space is its origin in the other).
    static kit::Rect toCocoa(const kit::Rect& topLeft, double primaryHeight);
    static kit::Point toCocoa(kit::Point topLeft, double primaryHeight);

private:
    platform::Screen describe(const ScreenRecord& screen) const;

    World& world_;
};

}  // namespace sim
