#pragma once

#include <optional>
#include <string>

#include "platform/LoginService.h"

namespace sim {

// A login service in memory, with failures that tests can inject.
class MemoryLoginService final : public platform::LoginService {
public:
    platform::SMAppServiceStatus status() override;
    bool registerService(std::string* error) override;
    bool unregisterService(std::string* error) override;

    void setStatus(platform::SMAppServiceStatus status) { status_ = status; }
    void failRegister(std::string message) { registerError_ = std::move(message); }
    void failUnregister(std::string message) { unregisterError_ = std::move(message); }
    int registers() const { return registers_; }         // successful ones
    int unregisters() const { return unregisters_; }

private:
    platform::SMAppServiceStatus status_ = platform::SMAppServiceStatusNotRegistered;
    std::optional<std::string> registerError_;
    std::optional<std::string> unregisterError_;
    int registers_ = 0;
    int unregisters_ = 0;
};

}  // namespace sim
