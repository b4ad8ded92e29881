#pragma once

#include "platform/Symbols.h"

namespace sim {

// The system symbol images the simulated system has: the ones Durazizi draws
// with, as named symbol images that hosts render.
class SimSymbols final : public platform::Symbols {
public:
    kit::ImageRef imageWithSystemSymbolName(const std::string& name,
                                            const std::string& accessibilityDescription) override;
};

}  // namespace sim
