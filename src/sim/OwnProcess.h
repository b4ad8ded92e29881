#pragma once

#include <vector>

#include "platform/Platform.h"
#include "sim/Service.h"

namespace sim {

class Graveyard;
struct World;

// Durazizi's own process: it runs from the moment the desktop is made, and
// can end and start again as a new process with a fresh pid.
class OwnProcess final {
public:
    // `services` hear of every end and start, in order; `platform` is the
    // desktop the process may have been installed on.
    OwnProcess(World& world, Graveyard& graveyard, const std::vector<Service*>& services,
               platform::Platform& platform);

    platform::pid_t pid() const;
    bool running() const;
    // A new process: fresh pid, no timers, menus, status items or delegate.
    void start();
    // The process ends as terminate: would end it (also what `terminate` does).
    void terminate();

private:
    void launch(platform::pid_t pid);

    World& world_;
    Graveyard& graveyard_;
    const std::vector<Service*>& services_;
    platform::Platform& platform_;
};

}  // namespace sim
