#include "ui/Bindings.h"

#include <cmath>
#include <cstdio>

#include "app/Settings.h"
#include "kit/Saturate.h"

namespace durazizi::Bind {

using namespace kit::ui;

Node toggle(std::string label, std::string key) {
    return Toggle(std::move(label), [key] { return Settings::boolValue(key); },
                  [key](bool on) { Settings::setBool(key, on); });
}

Node modifierToggle(std::string symbol, std::string key) {
    return PushToggle(std::move(symbol), [key] { return Settings::boolValue(key); },
                      [key](bool on) { Settings::setBool(key, on); });
}

Node integerStepper(std::string prefix, std::string suffix, std::string key, std::int64_t minimum,
                    std::int64_t maximum, std::int64_t step) {
    auto label = [prefix, suffix](double value) {
        char digits[32];
        std::snprintf(digits, sizeof digits, "%lld", kit::saturatingCast<long long>(value));
        return prefix + digits + suffix;
    };
    // The value the system runs with, which a hand edit may have put outside
    // the stepper's own range.
    return Stepper(label, [key] { return static_cast<double>(Settings::boundedInteger(key)); },
                   [key](double value) { Settings::setInteger(key, static_cast<std::int64_t>(std::llround(value))); },
                   static_cast<double>(minimum), static_cast<double>(maximum), static_cast<double>(step));
}

Node secondsStepper(std::string key, double minimum, double maximum, double step) {
    auto label = [](double value) {
        char digits[32];
        std::snprintf(digits, sizeof digits, "%.1f", value);
        return std::string(digits) + " s";
    };
    Node node = Stepper(label, [key] { return Settings::boundedDouble(key); },
                        [key](double value) { Settings::setDouble(key, value); }, minimum, maximum, step);
    node.fullWidth = false;
    return node;
}

Node integerPicker(std::string label, std::vector<std::string> options, std::string key,
                   std::function<std::int64_t()> selected) {
    return Picker(std::move(label), std::move(options),
                  [selected = std::move(selected)] { return static_cast<double>(selected()); },
                  [key](double value) { Settings::setInteger(key, static_cast<std::int64_t>(value)); });
}

}  // namespace durazizi::Bind
