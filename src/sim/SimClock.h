#pragma once

#include <chrono>
#include <mutex>

#include "platform/Clock.h"

namespace sim {

// The desktop's wall clock. Virtual by default: it moves only when the run
// loop advances it. In real-time mode it follows the system clock from the
// virtual time it had when the mode was switched on, so the world continues
// without a jump. Read from any thread.
class SimClock final : public platform::Clock {
public:
    explicit SimClock(double start);

    double now() override;
    double read() const;

    void set(double secondsSince1970);
    // Moves virtual time forward to `t`; never backward, and a no-op in
    // real-time mode, where the system clock is the one that moves.
    void advanceTo(double t);
    // Shifts the clock by `seconds`, in either mode.
    void shift(double seconds);

    void setRealTime(bool on);
    bool realTime() const;

private:
    double readLocked() const;
    static double systemSeconds();

    mutable std::mutex mutex_;
    double virtual_;
    bool realTime_ = false;
    double systemBase_ = 0;   // system seconds when real-time mode began
};

}  // namespace sim
