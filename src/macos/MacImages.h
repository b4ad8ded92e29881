#pragma once

#include "platform/Images.h"

namespace macos {

// ImageIO: the pixel size is read from the image's properties and checked
// before anything is decoded. Callable from any thread.
class MacImages final : public platform::Images {
public:
    kit::ImageRef imageWithData(std::span<const std::uint8_t> data) override;
};

}  // namespace macos
