#pragma once

namespace platform {

// NSDate: wall-clock seconds since 1970.
class Clock {
public:
    virtual ~Clock() = default;
    virtual double now() = 0;
};

// Time stamps that gate behaviour start here so that the first comparison passes.
inline constexpr double kDistantPast = -62135769600.0;

}  // namespace platform
