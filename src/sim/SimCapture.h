#pragma once

#include "platform/Capture.h"
#include "sim/World.h"

namespace sim {

class SimCapture final : public platform::Capture {
public:
    explicit SimCapture(World& world) : world_(world) {}

    bool preflightScreenCaptureAccess() override;
    bool requestScreenCaptureAccess() override;
    int operatingSystemMajorVersion() override { return 14; }

private:
    World& world_;
};

}  // namespace sim
