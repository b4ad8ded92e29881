#include "render/Symbols.h"

#include <array>
#include <utility>

namespace render {

namespace {

// Read once from the installed icon font's glyph names (its 1.6 release):
// the system symbol, the glyph that reads the same, its codepoint.
constexpr std::array<std::pair<std::string_view, char32_t>, 28> kSymbols = {{
    {"xmark.circle.fill", 0xF159},               // close-circle
    {"minus.circle.fill", 0xF376},               // minus-circle
    {"play.fill", 0xF40A},                       // play
    {"pause.fill", 0xF3E4},                      // pause
    // Two triangles each, as the system draws them; skip-previous and
    // skip-next carry a bar the system's symbols do not have.
    {"backward.fill", 0xF45F},                   // rewind
    {"forward.fill", 0xF211},                    // fast-forward
    {"calendar", 0xF0ED},                        // calendar
    {"gearshape", 0xF493},                       // settings
    {"questionmark.circle", 0xF2D7},             // help-circle
    {"power", 0xF425},                           // power
    {"hand.raised", 0xF2C7},                     // hand-pointing-right
    {"rectangle.dashed.badge.record", 0xF489},   // selection
    {"exclamationmark.triangle.fill", 0xF026},   // alert
    {"lock.shield", 0xF498},                     // shield
    {"rectangle.on.rectangle", 0xF191},          // content-duplicate
    {"doc.text", 0xF219},                        // file-document
    {"switch.2", 0xF521},                        // toggle-switch
    {"paintpalette", 0xF3D8},                    // palette
    {"macwindow.on.rectangle", 0xF5B2},          // window-restore
    {"info.circle", 0xF2FD},                     // information-outline
    {"rectangle.stack", 0xF328},                 // layers
    {"square.grid.2x2", 0xF570},                 // view-grid
    {"keyboard", 0xF30C},                        // keyboard
    {"arrow.up.and.down.and.arrow.left.and.right", 0xF041},   // arrow-all
    {"arrow.up.arrow.down", 0xF4E2},             // swap-vertical
    {"music.note", 0xF387},                      // music-note
    {"slider.horizontal.3", 0xF62E},             // tune
    {"playpause.fill", 0xF40E},                  // play-pause
}};

}  // namespace

std::optional<char32_t> symbolCodepoint(std::string_view name) {
    for (const auto& [symbol, codepoint] : kSymbols)
        if (symbol == name) return codepoint;
    return std::nullopt;
}

}  // namespace render
