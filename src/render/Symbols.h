#pragma once

#include <optional>
#include <string_view>

namespace render {

// The icon font that stands in for the system's symbol images (its glyphs
// are drawn on a 24-unit grid with 2 units of air around them).
inline constexpr const char* kSymbolFontFamily = "Material Design Icons";

// The icon font's codepoint for a system symbol name; nullopt for a symbol
// the table does not know, which painters draw as an empty frame.
std::optional<char32_t> symbolCodepoint(std::string_view name);

}  // namespace render
