#include "app/Permissions.h"

#include "kit/URL.h"
#include "platform/Platform.h"

namespace durazizi::Permissions {

void open(const std::string& anchor) {
    auto url = kit::URL::fromString("x-apple.systempreferences:" + anchor);
    if (!url) return;
    platform::current().workspace().openURL(*url);
}

}  // namespace durazizi::Permissions
