#include "sim/SimSymbols.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace sim {

namespace {

constexpr std::array<std::string_view, 28> kKnownSymbols = {
    "xmark.circle.fill", "minus.circle.fill", "play.fill",           "pause.fill",
    "backward.fill",     "forward.fill",      "calendar",            "gearshape",
    "questionmark.circle", "power",           "hand.raised",         "rectangle.dashed.badge.record",
    "exclamationmark.triangle.fill", "lock.shield", "rectangle.on.rectangle", "doc.text",
    "switch.2", "paintpalette", "macwindow.on.rectangle", "info.circle",
    "rectangle.stack", "square.grid.2x2", "keyboard", "arrow.up.and.down.and.arrow.left.and.right",
    "arrow.up.arrow.down", "music.note", "slider.horizontal.3", "playpause.fill",
};

// Symbol images come at the body text size unless configured otherwise.
constexpr double kSymbolPointSize = 16;

}  // namespace

kit::ImageRef SimSymbols::imageWithSystemSymbolName(const std::string& name,
                                                    const std::string& accessibilityDescription) {
    if (std::find(kKnownSymbols.begin(), kKnownSymbols.end(), name) == kKnownSymbols.end()) return nullptr;
    return kit::Image::symbol(name, kSymbolPointSize, accessibilityDescription);
}

}  // namespace sim
