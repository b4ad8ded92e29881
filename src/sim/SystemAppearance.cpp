#include "sim/SystemAppearance.h"

#include "sim/Fingerprint.h"
#include "sim/World.h"

namespace sim {

void SystemAppearance::setDark(bool dark) {
    std::lock_guard lock(world_.mutex);
    world_.darkAppearance = dark;
}

bool SystemAppearance::isDark() const {
    std::lock_guard lock(world_.mutex);
    return world_.darkAppearance;
}

void SystemAppearance::fingerprint(Fingerprint& f) const { f.add(isDark()); }

}  // namespace sim
