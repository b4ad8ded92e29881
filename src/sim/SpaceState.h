#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace sim {

// Mission Control's Spaces. Ids count up from 1 in the order Spaces are made
// and are never reused; 0 names no Space (a window on every Space).
using SpaceID = std::uint32_t;

struct SpaceRecord {
    SpaceID id = 0;
    std::size_t display = 0;   // index into World::screens
};

// The Spaces as plain data, kept in the world beside the displays they
// belong to; the rules over them live in Spaces.h.
struct SpaceState {
    std::vector<SpaceRecord> spaces;   // in the order they were made
    std::vector<SpaceID> current;      // per display, as World::screens
    SpaceID nextId = 1;
};

}  // namespace sim
