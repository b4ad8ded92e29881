#pragma once

#include <cstdint>
#include <optional>

#include "kit/Color.h"

namespace kit {

// NSAppearance names. "Automatic" is no appearance at all: a window or view
// whose appearance is std::nullopt follows the system's.
enum class Appearance : std::uint8_t { Aqua, DarkAqua, VibrantLight, VibrantDark };

bool isDark(Appearance appearance);

// The appearance a view is drawn with: its own if set, else the system's.
inline Appearance effectiveAppearance(std::optional<Appearance> own, Appearance system) {
    return own.value_or(system);
}

// Turns a colour into plain RGBA for drawing. Semantic colours take the
// values the platform's dynamic colours have in that appearance; the colour's
// own alpha scales theirs (label at alpha 0.5 is black at 0.425 in light).
// Plain RGBA colours come back unchanged.
Color resolve(const Color& color, Appearance appearance);

}  // namespace kit
