#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "platform/Defaults.h"

namespace durazizi {

// A set of keyboard modifiers, as the platform's modifier-flag bits.
using ModifierSet = std::uint64_t;

// Every preference lives in the standard defaults under a literal key and is
// read at the moment of use; nothing here caches a value.
namespace Settings {

enum class OrderBy : std::int64_t { creationTime = 0, title = 1, appName = 2 };
enum class Theme : std::int64_t { automatic = 0, light = 1, dark = 2 };
enum class PopupAnimation : std::int64_t { none = 0, fade = 1, snapIn = 2 };

// Construction from a raw value: only 0, 1 and 2 give a case.
std::optional<OrderBy> orderByFromRaw(std::int64_t raw);
std::optional<Theme> themeFromRaw(std::int64_t raw);
std::optional<PopupAnimation> popupAnimationFromRaw(std::int64_t raw);
// The labels the preferences show for each case.
const char* label(OrderBy value);
const char* label(Theme value);
const char* label(PopupAnimation value);

// The 49 registered keys with their defaults.
const std::map<std::string, platform::DefaultValue>& registeredDefaults();
void registerDefaults();

OrderBy orderBy();
Theme theme();
PopupAnimation popupAnimation();
ModifierSet keyboardModifiers();
ModifierSet resizeModifiers();
ModifierSet moveModifiers();

// Plain typed reads and writes of the standard defaults.
bool boolValue(const std::string& key);
std::int64_t integerValue(const std::string& key);
double doubleValue(const std::string& key);
void setBool(const std::string& key, bool value);
void setInteger(const std::string& key, std::int64_t value);
void setDouble(const std::string& key, double value);

// Reads of a number that becomes a size, a position, a count or a delay,
// clamped to the range the system can afford: the defaults domain takes any
// number from a hand edit or another program. Sizes and counts stay within
// what the preferences offer (more would cost memory and time), delays within
// a day, offsets at least -8. A NaN double reads as the key's registered
// default. Keys without a range read as they are. These are the values the
// system uses, and the preferences show them.
std::int64_t boundedInteger(const std::string& key);
double boundedDouble(const std::string& key);

}  // namespace Settings
}  // namespace durazizi
