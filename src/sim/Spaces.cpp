#include "sim/Spaces.h"

#include <algorithm>

#include "sim/Fingerprint.h"

namespace sim {

namespace {

std::optional<std::size_t> displayIndex(const World& world, const ScreenRecord* screen) {
    if (!screen) return std::nullopt;
    return static_cast<std::size_t>(screen - world.screens.data());
}

SpaceID currentOf(const World& world, std::size_t display) {
    const auto& current = world.spaceState.current;
    return display < current.size() ? current[display] : 0;
}

}  // namespace

SpaceID addSpace(World& world, std::size_t display) {
    if (display >= world.screens.size()) return 0;
    SpaceState& state = world.spaceState;
    const SpaceID id = state.nextId++;
    state.spaces.push_back({id, display});
    if (state.current.size() < world.screens.size()) state.current.resize(world.screens.size(), 0);
    if (state.current[display] == 0) state.current[display] = id;
    return id;
}

const SpaceRecord* findSpace(const World& world, SpaceID id) {
    for (const SpaceRecord& space : world.spaceState.spaces)
        if (space.id == id) return &space;
    return nullptr;
}

bool onCurrentSpace(const World& world, const WindowRecord& window) {
    if (window.space == 0) return true;
    const SpaceRecord* space = findSpace(world, window.space);
    return !space || currentOf(world, space->display) == space->id;
}

bool shownOnScreen(const World& world, const WindowRecord& window) {
    return !window.minimized && onCurrentSpace(world, window);
}

SpaceID spaceForFrame(const World& world, const kit::Rect& frame) {
    const ScreenRecord* best = nullptr;
    double bestArea = 0;
    for (const ScreenRecord& screen : world.screens) {
        const double width = std::min(screen.frame.maxX(), frame.maxX()) - std::max(screen.frame.minX(), frame.minX());
        const double height = std::min(screen.frame.maxY(), frame.maxY()) - std::max(screen.frame.minY(), frame.minY());
        const double area = width > 0 && height > 0 ? width * height : 0;
        if (area > bestArea) {
            best = &screen;
            bestArea = area;
        }
    }
    if (!best) best = world.screenForX(frame.midX(), frame.midY());
    if (!best) best = world.primaryScreen();
    const auto display = displayIndex(world, best);
    return display ? currentOf(world, *display) : 0;
}

bool switchSpace(World& world, SpaceID id) {
    const SpaceRecord* space = findSpace(world, id);
    if (!space) return false;
    auto& current = world.spaceState.current;
    if (current.size() <= space->display) current.resize(space->display + 1, 0);
    current[space->display] = id;
    return true;
}

void followActivation(World& world, pid_t pid) {
    const WindowRecord* front = nullptr;
    for (CGWindowID id : world.zOrder) {
        const WindowRecord* w = world.window(id);
        if (!w || w->pid != pid || w->minimized) continue;
        if (onCurrentSpace(world, *w)) return;   // it has a window where the user is
        if (!front) front = w;
    }
    if (front) switchSpace(world, front->space);
}

void removeDisplaySpaces(World& world, std::size_t index) {
    SpaceState& state = world.spaceState;
    std::vector<SpaceID> gone;
    std::vector<SpaceRecord> kept;
    for (const SpaceRecord& space : state.spaces) {
        if (space.display == index) {
            gone.push_back(space.id);
        } else {
            kept.push_back(space);
            if (space.display > index) --kept.back().display;
        }
    }
    state.spaces = std::move(kept);
    if (index < state.current.size()) state.current.erase(state.current.begin() + static_cast<std::ptrdiff_t>(index));
    // Called once the display has left `screens`.
    const auto primary = displayIndex(world, world.primaryScreen());
    const SpaceID landing = primary ? currentOf(world, *primary) : 0;
    for (auto& [id, w] : world.windows)
        if (std::find(gone.begin(), gone.end(), w.space) != gone.end()) w.space = landing;
}

// --- Spaces ------------------------------------------------------------------------

std::optional<SpaceID> Spaces::add(std::size_t display) {
    std::lock_guard lock(world_.mutex);
    const SpaceID id = addSpace(world_, display);
    if (id == 0) return std::nullopt;
    return id;
}

bool Spaces::switchTo(SpaceID id) {
    std::lock_guard lock(world_.mutex);
    return switchSpace(world_, id);
}

bool Spaces::switchBeside(int direction) {
    std::lock_guard lock(world_.mutex);
    const auto display = displayIndex(world_, world_.screenForX(world_.pointer.x, world_.pointer.y));
    if (!display) return false;
    std::vector<SpaceID> row;
    for (const SpaceRecord& space : world_.spaceState.spaces)
        if (space.display == *display) row.push_back(space.id);
    auto at = std::find(row.begin(), row.end(), currentOf(world_, *display));
    if (at == row.end()) return false;
    const auto position = (at - row.begin()) + (direction < 0 ? -1 : 1);
    if (position < 0 || position >= static_cast<std::ptrdiff_t>(row.size())) return false;
    return switchSpace(world_, row[static_cast<std::size_t>(position)]);
}

bool Spaces::moveWindow(CGWindowID window, SpaceID space) {
    std::lock_guard lock(world_.mutex);
    WindowRecord* record = world_.window(window);
    if (!record || !findSpace(world_, space)) return false;
    record->space = space;
    return true;
}

SpaceID Spaces::spaceOf(CGWindowID window) const {
    std::lock_guard lock(world_.mutex);
    const WindowRecord* record = world_.window(window);
    return record ? record->space : 0;
}

bool Spaces::exists(SpaceID id) const {
    std::lock_guard lock(world_.mutex);
    return findSpace(world_, id) != nullptr;
}

Spaces::Listing Spaces::list() const {
    std::lock_guard lock(world_.mutex);
    Listing listing;
    listing.spaces = world_.spaceState.spaces;
    for (std::size_t display = 0; display < world_.screens.size(); ++display)
        listing.current.push_back(currentOf(world_, display));
    return listing;
}

void Spaces::fingerprint(Fingerprint& f) const {
    std::lock_guard lock(world_.mutex);
    for (SpaceID id : world_.spaceState.current) f.add(id);
    for (const auto& [id, w] : world_.windows) f.add(w.space);
}

}  // namespace sim
