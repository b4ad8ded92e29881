#pragma once

#include "sim/Service.h"

namespace sim {

class Graveyard;
class SimClock;
class SimRunLoop;

// 2026-12-07T09:00:00Z, where every simulated world's clock starts.
inline constexpr double kDefaultWallClock = 1796634000.0;

// Letting time pass on the desktop: the clock and the main run loop move
// together, and what a dead process left behind is cleared between steps.
class Time final : public Service {
public:
    Time(SimClock& clock, SimRunLoop& runLoop, Graveyard& graveyard)
        : clock_(clock), runLoop_(runLoop), graveyard_(graveyard) {}

    void setWallClock(double secondsSince1970);
    double now() const;
    // Lets virtual time pass: due timers, animations and main-queue work run
    // in time order; background work started before or during the advance
    // finishes within it and its hand-backs run in order.
    void advance(double seconds);
    // Runs main-queue work that is already due, and waits for background work.
    void settle();
    // Real-time mode (the playground): the clock follows the system clock and
    // `pump` runs whatever is due.
    void setRealTime(bool on);
    void pump();

    // The menu bar's clock shows minutes.
    void fingerprint(Fingerprint& f) const override;

private:
    void reap();

    SimClock& clock_;
    SimRunLoop& runLoop_;
    Graveyard& graveyard_;
};

}  // namespace sim
