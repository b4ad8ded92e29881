#pragma once

#include <functional>
#include <optional>
#include <string>

namespace playground {

// Where the playground keeps the simulated account between runs:
// $XDG_DATA_HOME/durazizi-playground, else ~/.local/share/durazizi-playground.
// Relative XDG_DATA_HOME values are ignored, as the XDG rules ask. nullopt
// when neither an absolute XDG_DATA_HOME nor HOME is set.
std::optional<std::string> persistentHome(const std::function<const char*(const char*)>& getenv);

}  // namespace playground
