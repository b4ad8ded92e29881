#include "app/LoginItem.h"

#include <string>

#include "app/Diag.h"
#include "platform/Platform.h"

namespace durazizi::LoginItem {

void set(bool enabled) {
    platform::LoginService& service = platform::current().loginService();
    // Only Enabled counts as on: a registration still waiting for the user's
    // approval is registered again when asked for.
    const bool isEnabled = service.status() == platform::SMAppServiceStatusEnabled;
    std::string error;
    if (enabled) {
        if (isEnabled) return;
        if (!service.registerService(&error)) Diag::log("LoginItem: register failed: " + error);
    } else {
        if (!isEnabled) return;
        if (!service.unregisterService(&error)) Diag::log("LoginItem: unregister failed: " + error);
    }
}

bool isEnabled() {
    return platform::current().loginService().status() == platform::SMAppServiceStatusEnabled;
}

}  // namespace durazizi::LoginItem
