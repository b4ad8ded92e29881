#pragma once

#include "platform/Images.h"

namespace sim {

// A system that reads no image format: what the desktop has until its host
// installs a real decoder (useImages).
class NoImages final : public platform::Images {
public:
    kit::ImageRef imageWithData(std::span<const std::uint8_t>) override { return nullptr; }
};

}  // namespace sim
