#include "sim/KeyLayout.h"

#include <array>
#include <string_view>

namespace sim {

namespace {

// Key codes 0 to 53 of the ANSI layout; gaps are keys that type nothing.
constexpr std::array<std::string_view, 54> kAnsi = {
    "a", "s", "d", "f", "h", "g", "z", "x", "c", "v", "",  "b", "q", "w", "e", "r", "y", "t",
    "1", "2", "3", "4", "6", "5", "=", "9", "7", "-", "8", "0", "]", "o", "u", "[", "i", "p",
    "\r", "l", "j", "'", "k", ";", "\\", ",", "/", "n", "m", ".", "\t", " ", "`", "\x7f", "", "\x1b",
};

}  // namespace

std::string charactersIgnoringModifiers(std::int64_t keyCode) {
    if (keyCode < 0 || keyCode >= static_cast<std::int64_t>(kAnsi.size())) return {};
    return std::string(kAnsi[static_cast<std::size_t>(keyCode)]);
}

}  // namespace sim
