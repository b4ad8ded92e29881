#pragma once

#include <string>

#include "platform/LoginService.h"

namespace linuxhost {

// The login item as an XDG autostart entry:
// $XDG_CONFIG_HOME/autostart/<bundle id>.desktop. Enabled when the entry
// exists and is neither Hidden nor disabled; registering writes it
// atomically, unregistering removes it.
class XdgAutostart final : public platform::LoginService {
public:
    XdgAutostart(std::string configHome, std::string bundleId, std::string executable);

    platform::SMAppServiceStatus status() override;
    bool registerService(std::string* error) override;
    bool unregisterService(std::string* error) override;

    std::string entryPath() const;

private:
    std::string configHome_;
    std::string bundleId_;
    std::string executable_;
};

}  // namespace linuxhost
