// The player's answer to the state script: four fields joined by U+2028, as
// whatever the player (or something pretending to be it) sends back.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "specials/MediaControl.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view answer(reinterpret_cast<const char*>(data), size);
    auto state = durazizi::MediaControl::parseState(answer);
    // The fields are pieces of the answer, never more than it.
    if (state && state->title.size() + state->artist.size() + state->album.size() > size) __builtin_trap();
    return 0;
}
