#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/LoginService.h"

namespace scenario {

// Wraps the real login service so a scenario can make its registrations fail
// and can count the ones that succeeded.
class LoginServiceProbe final : public platform::LoginService {
public:
    explicit LoginServiceProbe(std::shared_ptr<platform::LoginService> inner);

    platform::SMAppServiceStatus status() override;
    bool registerService(std::string* error) override;
    bool unregisterService(std::string* error) override;

    // Every later call fails with `message` and leaves the real entry alone.
    void failRegister(std::string message) { registerError_ = std::move(message); }
    void failUnregister(std::string message) { unregisterError_ = std::move(message); }

    int registers() const { return registers_; }
    int unregisters() const { return unregisters_; }

private:
    std::shared_ptr<platform::LoginService> inner_;
    std::optional<std::string> registerError_;
    std::optional<std::string> unregisterError_;
    int registers_ = 0;
    int unregisters_ = 0;
};

}  // namespace scenario
