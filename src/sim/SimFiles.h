#pragma once

#include "platform/Files.h"

namespace sim {

// A file system with no user library folder; the temporary folder is /tmp/.
class SimFiles final : public platform::Files {
public:
    std::vector<std::string> urlsForDirectory(platform::SearchPathDirectory, platform::SearchPathDomainMask) override {
        return {};
    }
    std::string temporaryDirectory() override { return "/tmp/"; }
};

}  // namespace sim
