#pragma once

#include <functional>
#include <string>
#include <vector>

#include "kit/Declarative.h"

namespace durazizi::Bind {

// Controls bound straight to a settings key: every read asks the defaults
// through the reader the system uses, every change writes them at once, and
// nothing keeps a copy.
kit::ui::Node toggle(std::string label, std::string key);
kit::ui::Node modifierToggle(std::string symbol, std::string key);
// An integer stepper whose label shows the value through `format` ("%lld").
kit::ui::Node integerStepper(std::string prefix, std::string suffix, std::string key, std::int64_t minimum,
                             std::int64_t maximum, std::int64_t step);
// A seconds stepper labelled with the value as "%.1f" and " s".
kit::ui::Node secondsStepper(std::string key, double minimum, double maximum, double step);
// `selected` is the setting's reader: a stored number without a case shows
// the case the system falls back to.
kit::ui::Node integerPicker(std::string label, std::vector<std::string> options, std::string key,
                            std::function<std::int64_t()> selected);

}  // namespace durazizi::Bind
