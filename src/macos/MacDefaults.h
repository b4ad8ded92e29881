#pragma once

#include <map>
#include <mutex>

#include "platform/Defaults.h"
#include "platform/DefaultsCoercion.h"

namespace macos {

// NSUserDefaults.standardUserDefaults. The typed readers go through the
// shared coercion rather than NSUserDefaults' own, so that a key reads the
// same here as in every other store.
class MacDefaults final : public platform::Defaults {
public:
    void registerDefaults(const std::map<std::string, platform::DefaultValue>& defaults) override;
    bool boolForKey(const std::string& key) override;
    std::int64_t integerForKey(const std::string& key) override;
    double doubleForKey(const std::string& key) override;
    void setBool(bool value, const std::string& key) override;
    void setInteger(std::int64_t value, const std::string& key) override;
    void setDouble(double value, const std::string& key) override;
    void removeObjectForKey(const std::string& key) override;
    std::optional<platform::DefaultValue> objectForKey(const std::string& key) override;

private:
    // The user's value, without the registration domain beneath it.
    platform::coercion::Stored userValue(const std::string& key);
    platform::coercion::Stored effectiveValue(const std::string& key);

    std::mutex mutex_;
    std::map<std::string, platform::DefaultValue> registered_;
};

}  // namespace macos
