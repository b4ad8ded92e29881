#pragma once

#include <functional>
#include <string>
#include <vector>

#include "kit/Declarative.h"

namespace durazizi::Bind {

// Controls bound straight to a settings key: every read asks the defaults,
// every change writes them at once, and nothing keeps a copy.
kit::ui::Node toggle(std::string label, std::string key);
kit::ui::Node modifierToggle(std::string symbol, std::string key);
// An integer stepper whose label shows the value through `format` ("%lld").
kit::ui::Node integerStepper(std::string prefix, std::string suffix, std::string key, std::int64_t minimum,
                             std::int64_t maximum, std::int64_t step);
// A seconds stepper labelled with the value as "%.1f" and " s".
kit::ui::Node secondsStepper(std::string key, double minimum, double maximum, double step);
kit::ui::Node integerPicker(std::string label, std::vector<std::string> options, std::string key);

}  // namespace durazizi::Bind
