#pragma once

#include <cstdint>
#include <span>

#include "kit/Image.h"

namespace platform {

// Images made from encoded bytes: -[NSImage initWithData:]. Callable from any thread.
class Images {
public:
    virtual ~Images() = default;
    // Null when the bytes are not an image the system can read.
    virtual kit::ImageRef imageWithData(std::span<const std::uint8_t> data) = 0;
};

}  // namespace platform
