#pragma once

#include <cstdint>

namespace durazizi {

// The two players whose Dock icons get a now-playing panel instead of the
// window preview.
enum class MediaApp : std::uint8_t { music, spotify };

}  // namespace durazizi
