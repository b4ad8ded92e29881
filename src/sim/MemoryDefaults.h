#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/Defaults.h"

namespace sim {

// NSUserDefaults held in memory, for tests that need no file.
class MemoryDefaults final : public platform::Defaults {
public:
    MemoryDefaults();
    ~MemoryDefaults() override;
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
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace sim
