#include "sim/SimScreens.h"

#include "sim/Fingerprint.h"
#include "sim/Spaces.h"

namespace sim {

kit::Rect SimScreens::toCocoa(const kit::Rect& r, double primaryHeight) {
    return {r.minX(), primaryHeight - r.minY() - r.height(), r.width(), r.height()};
}

kit::Point SimScreens::toCocoa(kit::Point p, double primaryHeight) { return {p.x, primaryHeight - p.y}; }

platform::Screen SimScreens::describe(const ScreenRecord& screen) const {
    double h = world_.primaryHeight();
    return {toCocoa(screen.frame, h), toCocoa(world_.visibleFrame(screen), h)};
}

std::vector<platform::Screen> SimScreens::screens() {
    std::lock_guard lock(world_.mutex);
    std::vector<platform::Screen> result;
    for (const ScreenRecord& s : world_.screens) result.push_back(describe(s));
    return result;
}

std::optional<platform::Screen> SimScreens::mainScreen() {
    // The main screen is the one with the key window; with no window of ours
    // being key, that is the primary display.
    std::lock_guard lock(world_.mutex);
    const ScreenRecord* primary = world_.primaryScreen();
    if (!primary) return std::nullopt;
    return describe(*primary);
}

kit::Point SimScreens::mouseLocation() {
    std::lock_guard lock(world_.mutex);
    return toCocoa(world_.pointer, world_.primaryHeight());
}

void SimScreens::add(kit::Rect frame, std::optional<kit::Rect> visible) {
    std::lock_guard lock(world_.mutex);
    world_.screens.push_back({frame, visible});
    // Every display starts with a Space of its own.
    addSpace(world_, world_.screens.size() - 1);
}

bool SimScreens::remove(std::size_t index) {
    std::lock_guard lock(world_.mutex);
    return world_.unplugScreen(index);
}

std::optional<kit::Rect> SimScreens::primaryFrame() const {
    std::lock_guard lock(world_.mutex);
    const ScreenRecord* primary = world_.primaryScreen();
    return primary ? std::optional<kit::Rect>(primary->frame) : std::nullopt;
}

void SimScreens::fingerprint(Fingerprint& f) const {
    std::lock_guard lock(world_.mutex);
    for (const ScreenRecord& screen : world_.screens) f.add(screen.frame);
}

}  // namespace sim
