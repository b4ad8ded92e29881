#pragma once

#include <string>
#include <vector>

#include "platform/Constants.h"

namespace platform {

// NSFileManager's folder lookups; everything else is std::filesystem.
class Files {
public:
    virtual ~Files() = default;
    // URLsForDirectory:inDomains:, as paths; may be empty.
    virtual std::vector<std::string> urlsForDirectory(SearchPathDirectory directory, SearchPathDomainMask domain) = 0;
    // NSTemporaryDirectory(): ends with a slash.
    virtual std::string temporaryDirectory() = 0;
};

}  // namespace platform
