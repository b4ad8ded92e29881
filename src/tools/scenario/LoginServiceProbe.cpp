#include "tools/scenario/LoginServiceProbe.h"

namespace scenario {

LoginServiceProbe::LoginServiceProbe(std::shared_ptr<platform::LoginService> inner) : inner_(std::move(inner)) {}

platform::SMAppServiceStatus LoginServiceProbe::status() { return inner_->status(); }

bool LoginServiceProbe::registerService(std::string* error) {
    if (registerError_) {
        if (error) *error = *registerError_;
        return false;
    }
    const bool ok = inner_->registerService(error);
    if (ok) ++registers_;
    return ok;
}

bool LoginServiceProbe::unregisterService(std::string* error) {
    if (unregisterError_) {
        if (error) *error = *unregisterError_;
        return false;
    }
    const bool ok = inner_->unregisterService(error);
    if (ok) ++unregisters_;
    return ok;
}

}  // namespace scenario
