#include "sim/SimSymbols.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace sim {

namespace {

constexpr std::array<std::string_view, 13> kKnownSymbols = {
    "xmark.circle.fill", "minus.circle.fill", "play.fill",           "pause.fill",
    "backward.fill",     "forward.fill",      "calendar",            "gearshape",
    "questionmark.circle", "power",           "hand.raised",         "rectangle.dashed.badge.record",
    "playpause.fill",
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
