#pragma once

#include "platform/Files.h"

namespace macos {

// NSFileManager's folder lookups and NSTemporaryDirectory.
class MacFiles final : public platform::Files {
public:
    std::vector<std::string> urlsForDirectory(platform::SearchPathDirectory directory,
                                              platform::SearchPathDomainMask domain) override;
    std::string temporaryDirectory() override;
};

}  // namespace macos
