#pragma once

#include "platform/LoginService.h"

namespace macos {

// SMAppService.mainAppService (macOS 13).
class MacLoginService final : public platform::LoginService {
public:
    platform::SMAppServiceStatus status() override;
    bool registerService(std::string* error) override;
    bool unregisterService(std::string* error) override;
};

}  // namespace macos
