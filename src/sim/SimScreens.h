#pragma once

#include "platform/Screens.h"
#include "sim/Service.h"
#include "sim/World.h"

namespace sim {

// NSScreen and NSEvent.mouseLocation: the world keeps displays and the
// pointer in top-left coordinates and answers here in Cocoa coordinates.
class SimScreens final : public platform::Screens, public Service {
public:
    explicit SimScreens(World& world) : world_(world) {}

    std::vector<platform::Screen> screens() override;
    std::optional<platform::Screen> mainScreen() override;
    kit::Point mouseLocation() override;

    // --- the desktop's side (top-left global coordinates) -------------------------
    // The display whose top-left is 0,0 is the primary one. Without `visible`,
    // the visible frame leaves out the 24-point menu bar.
    void add(kit::Rect frame, std::optional<kit::Rect> visible = std::nullopt);
    // The display added `index`-th (from 0) is unplugged; its windows move to
    // the primary display. False when there is no such display.
    bool remove(std::size_t index);
    // Nullopt without displays.
    std::optional<kit::Rect> primaryFrame() const;
    void fingerprint(Fingerprint& f) const override;

    // Top-left to Cocoa, anchored at the primary display (a rectangle's far
    // edge in one space is its origin in the other).
    static kit::Rect toCocoa(const kit::Rect& topLeft, double primaryHeight);
    static kit::Point toCocoa(kit::Point topLeft, double primaryHeight);

private:
    platform::Screen describe(const ScreenRecord& screen) const;

    World& world_;
};

}  // namespace sim
