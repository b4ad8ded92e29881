#pragma once

#include <optional>
#include <vector>

#include "kit/Geometry.h"
#include "sim/Service.h"
#include "sim/SpaceState.h"
#include "sim/World.h"

namespace sim {

// --- the rules, over the world (callers hold its mutex) ------------------------

// A new Space at the end of the display's row; the display's first Space
// becomes its current one. 0 when there is no such display.
SpaceID addSpace(World& world, std::size_t display);
const SpaceRecord* findSpace(const World& world, SpaceID id);
// The window is on the current Space of its display (a window on no Space
// is on every one). Says nothing about it being minimized.
bool onCurrentSpace(const World& world, const WindowRecord& window);
// On screen as the window server counts it: not minimized, on a current Space.
bool shownOnScreen(const World& world, const WindowRecord& window);
// Where a new window goes: the current Space of the display its frame lies
// on (most of it, else the nearest by its centre, else the primary display).
SpaceID spaceForFrame(const World& world, const kit::Rect& frame);
// The Space becomes its display's current one.
bool switchSpace(World& world, SpaceID id);
// What activating an application does to the Spaces: when none of its
// windows is on the current Space of any display, the display of its
// front-most window shows that window's Space.
void followActivation(World& world, pid_t pid);
// The display at `index` is gone: its Spaces go with it and their windows
// join the current Space of the primary display.
void removeDisplaySpaces(World& world, std::size_t index);

// --- the service -----------------------------------------------------------------

// Mission Control as the user drives it: Spaces added to a display,
// switched by a swipe or ⌃← ⌃→, windows moved between them.
class Spaces final : public Service {
public:
    explicit Spaces(World& world) : world_(world) {}

    // Nullopt when there is no such display.
    std::optional<SpaceID> add(std::size_t display);
    // False when there is no such Space.
    bool switchTo(SpaceID id);
    // The Space beside the current one of the display under the pointer,
    // to the left (-1) or right (+1); false at the end of the row.
    bool switchBeside(int direction);
    // The window is dragged onto that Space in Mission Control.
    bool moveWindow(CGWindowID window, SpaceID space);
    // 0 for a window that does not exist.
    SpaceID spaceOf(CGWindowID window) const;
    bool exists(SpaceID id) const;

    struct Listing {
        std::vector<SpaceID> current;       // per display
        std::vector<SpaceRecord> spaces;    // in the order they were made
    };
    Listing list() const;

    void fingerprint(Fingerprint& f) const override;

private:
    World& world_;
};

}  // namespace sim
