#pragma once

#include "platform/Clock.h"

namespace macos {

// NSDate for the wall clock.
class MacClock final : public platform::Clock {
public:
    double now() override;
};

}  // namespace macos
