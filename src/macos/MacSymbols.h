#pragma once

#include "platform/Symbols.h"

namespace macos {

// NSImage system symbols (macOS 11).
class MacSymbols final : public platform::Symbols {
public:
    kit::ImageRef imageWithSystemSymbolName(const std::string& name, const std::string& accessibilityDescription) override;
};

}  // namespace macos
