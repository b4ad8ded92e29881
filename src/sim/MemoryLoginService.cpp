#include "sim/MemoryLoginService.h"

namespace sim {

platform::SMAppServiceStatus MemoryLoginService::status() { return status_; }

bool MemoryLoginService::registerService(std::string* error) {
    if (registerError_) {
        if (error) *error = *registerError_;
        return false;
    }
    status_ = platform::SMAppServiceStatusEnabled;
    ++registers_;
    return true;
}

bool MemoryLoginService::unregisterService(std::string* error) {
    if (unregisterError_) {
        if (error) *error = *unregisterError_;
        return false;
    }
    status_ = platform::SMAppServiceStatusNotRegistered;
    ++unregisters_;
    return true;
}

}  // namespace sim
