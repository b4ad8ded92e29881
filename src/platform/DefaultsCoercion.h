#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "platform/Defaults.h"

// How the typed readers of the user defaults turn whatever a store holds into
// the type they were asked for. Every store answers through these, so a key
// reads the same whichever store and whichever reader asks.
namespace platform::coercion {

// A stored value as the readers see it: a boolean, an integer, a real, a text,
// or something no reader can use (a list, a dictionary, data, a date).
using Stored = std::variant<std::monostate, bool, std::int64_t, double, std::string>;

// Numbers convert into each other, reals truncating toward zero and
// saturating. A text reads as the string conversions of the platform read it
// ("YES", "true" and "1" are true; leading digits make the number). Anything
// else reads as false, 0 or 0.0. A NaN is no number at all and reads as false,
// 0 or 0.0 too; an infinity reads as the largest finite value of its sign, so
// that no reader ever hands a non-finite number to the code that asked.
bool asBool(const Stored& value);
std::int64_t asInteger(const Stored& value);
double asDouble(const Stored& value);

Stored stored(const DefaultValue& value);

// What a key reads as when the reader is not named (objectForKey): with a
// registered default, what the reader of the default's type answers, the
// user's value coerced to that type winning over the default; without one,
// the user's value when it is a boolean or a number; otherwise nothing.
std::optional<DefaultValue> read(const Stored* user, const std::optional<DefaultValue>& registered);

// Keys holding NUL or other control characters are refused: a NUL would end
// the key early in every C-string interface beneath a store (so the key would
// alias a shorter one), and control characters make property lists that
// other readers reject.
bool isUsableKey(std::string_view key);

}  // namespace platform::coercion
