#include "sim/SimCapture.h"

namespace sim {

bool SimCapture::preflightScreenCaptureAccess() {
    std::lock_guard lock(world_.mutex);
    return world_.screenRecording;
}

bool SimCapture::requestScreenCaptureAccess() {
    // The request only shows the system's prompt; access changes when the user acts on it.
    std::lock_guard lock(world_.mutex);
    ++world_.screenRecordingRequests;
    return world_.screenRecording;
}

}  // namespace sim
