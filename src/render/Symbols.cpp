#include "render/Symbols.h"

#include <array>
#include <utility>

namespace render {

namespace {

// Read once from the installed icon font's glyph names (its 1.6 release):
// the system symbol, the glyph that reads the same, its codepoint.
constexpr std::array<std::pair<std::string_view, char32_t>, 13> kSymbols = {{
    {"xmark.circle.fill", 0xF159},               // close-circle
    {"minus.circle.fill", 0xF376},               // minus-circle
    {"play.fill", 0xF40A},                       // play
    {"pause.fill", 0xF3E4},                      // pause
    {"backward.fill", 0xF4AE},                   // skip-previous
    {"forward.fill", 0xF4AD},                    // skip-next
    {"calendar", 0xF0ED},                        // calendar
    {"gearshape", 0xF493},                       // settings
    {"questionmark.circle", 0xF2D7},             // help-circle
    {"power", 0xF425},                           // power
    {"hand.raised", 0xF2C7},                     // hand-pointing-right
    {"rectangle.dashed.badge.record", 0xF489},   // selection
    {"playpause.fill", 0xF40E},                  // play-pause
}};

}  // namespace

std::optional<char32_t> symbolCodepoint(std::string_view name) {
    for (const auto& [symbol, codepoint] : kSymbols)
        if (symbol == name) return codepoint;
    return std::nullopt;
}

}  // namespace render
