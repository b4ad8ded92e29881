#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <variant>

namespace platform {

using DefaultValue = std::variant<bool, std::int64_t, double>;

// NSUserDefaults standardUserDefaults: registered defaults beneath the user's
// stored values. A key with neither reads as false, 0 or 0.0. Safe to call
// from any thread.
class Defaults {
public:
    virtual ~Defaults() = default;

    virtual void registerDefaults(const std::map<std::string, DefaultValue>& defaults) = 0;
    virtual bool boolForKey(const std::string& key) = 0;
    virtual std::int64_t integerForKey(const std::string& key) = 0;
    virtual double doubleForKey(const std::string& key) = 0;
    virtual void setBool(bool value, const std::string& key) = 0;
    virtual void setInteger(std::int64_t value, const std::string& key) = 0;
    virtual void setDouble(double value, const std::string& key) = 0;
    virtual void removeObjectForKey(const std::string& key) = 0;
    // What the key reads as when no reader type is named: for a registered
    // key, what the reader of the default's type answers (the user's value,
    // coerced, wins over the default); otherwise the user's value when it is
    // a boolean or a number, else none. Keys holding control characters are
    // refused by every operation: reads find nothing, writes do nothing.
    virtual std::optional<DefaultValue> objectForKey(const std::string& key) = 0;
};

}  // namespace platform
