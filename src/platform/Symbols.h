#pragma once

#include <string>

#include "kit/Image.h"

namespace platform {

// System symbol images: +[NSImage imageWithSystemSymbolName:accessibilityDescription:].
class Symbols {
public:
    virtual ~Symbols() = default;
    // Null when the system has no symbol of that name.
    virtual kit::ImageRef imageWithSystemSymbolName(const std::string& name,
                                                    const std::string& accessibilityDescription) = 0;
};

}  // namespace platform
