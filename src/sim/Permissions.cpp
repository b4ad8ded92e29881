#include "sim/Permissions.h"

#include "sim/World.h"

namespace sim {

void Permissions::setAccessibilityTrusted(bool trusted) {
    std::lock_guard lock(world_.mutex);
    world_.accessibilityTrusted = trusted;
}

void Permissions::setScreenRecording(bool granted) {
    std::lock_guard lock(world_.mutex);
    world_.screenRecording = granted;
}

int Permissions::accessibilityPrompts() const {
    std::lock_guard lock(world_.mutex);
    return world_.accessibilityPrompts;
}

int Permissions::screenRecordingRequests() const {
    std::lock_guard lock(world_.mutex);
    return world_.screenRecordingRequests;
}

}  // namespace sim
