#include "sim/SimStatusItem.h"

#include "sim/SimScreens.h"

namespace sim {

namespace {

// Status items sit right to left from this far in from the display's right
// edge, where the clock and the system's own items end.
constexpr double kStatusAreaRightInset = 160;
constexpr double kStatusItemSpacing = 6;
constexpr double kVariableItemWidth = 24;
constexpr double kButtonHeight = 22;

}  // namespace

void SimStatusBarButton::setAction(std::function<void()> action) {
    action_ = action ? std::make_shared<const std::function<void()>>(std::move(action)) : nullptr;
}

std::optional<kit::Rect> SimStatusBarButton::screenFrame() const {
    std::shared_ptr<World> world = world_.lock();
    if (!world) return std::nullopt;
    std::lock_guard lock(world->mutex);
    const ScreenRecord* primary = world->primaryScreen();
    if (!primary) return std::nullopt;
    double right = primary->frame.maxX() - kStatusAreaRightInset - slot_ * (kVariableItemWidth + kStatusItemSpacing);
    kit::Rect topLeft{right - width_, primary->frame.minY() + (kMenuBarHeight - kButtonHeight) / 2, width_,
                      kButtonHeight};
    return SimScreens::toCocoa(topLeft, world->primaryHeight());
}

SimStatusItem::SimStatusItem(std::weak_ptr<World> world, int slot, double length)
    : length_(length), button_(std::move(world), slot, length > 0 ? length : kVariableItemWidth) {}

}  // namespace sim
