#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "kit/Geometry.h"

namespace scenario {

// The value syntaxes of scenario files. Each answers nullopt for text that
// is not exactly of its form.

// -?DIGITS[.DIGITS]
std::optional<double> parseNumber(std::string_view text);
// -?DIGITS, within 64 bits
std::optional<std::int64_t> parseInteger(std::string_view text);
// 70ms, 1.5s or 0; in seconds
std::optional<double> parseDuration(std::string_view text);
// x,y
std::optional<kit::Point> parsePoint(std::string_view text);
// x,y,w,h
std::optional<kit::Rect> parseRect(std::string_view text);
// ctrl+alt+shift+cmd in any order and subset, or none; as modifier-flag bits
std::optional<std::uint64_t> parseModifiers(std::string_view text);
// capslock+fn+numpad in any order and subset, or none; as event-flag bits
std::optional<std::uint64_t> parseEventFlags(std::string_view text);
// YYYY-MM-DDTHH:MM:SS[.fff](Z|+HH:MM|-HH:MM); seconds since 1970
std::optional<double> parseIso8601(std::string_view text);

}  // namespace scenario
