#pragma once

#include <string>

#include "platform/Constants.h"

namespace platform {

// SMAppService.mainAppService
class LoginService {
public:
    virtual ~LoginService() = default;
    virtual SMAppServiceStatus status() = 0;
    // registerAndReturnError: / unregisterAndReturnError:; on failure `error`
    // receives the error's localized description.
    virtual bool registerService(std::string* error) = 0;
    virtual bool unregisterService(std::string* error) = 0;
};

}  // namespace platform
