#pragma once

#include <string>

#include "platform/Files.h"

namespace linuxhost {

// The user library folder is $XDG_STATE_HOME/durazizi, so the diagnostic log
// lands in $XDG_STATE_HOME/durazizi/Logs/Durazizi.log.
class XdgFiles final : public platform::Files {
public:
    XdgFiles(std::string stateHome, std::string tempDir);

    std::vector<std::string> urlsForDirectory(platform::SearchPathDirectory directory,
                                              platform::SearchPathDomainMask domain) override;
    std::string temporaryDirectory() override;

private:
    std::string stateHome_;
    std::string tempDir_;
};

}  // namespace linuxhost
