#include "sim/Time.h"

#include <algorithm>
#include <cmath>

#include "sim/Fingerprint.h"
#include "sim/Graveyard.h"
#include "sim/SimClock.h"
#include "sim/SimRunLoop.h"

namespace sim {

// Clears what a dead process left behind, unless one of its callbacks is
// still on the stack.
void Time::reap() { graveyard_.clearIfIdle(); }

void Time::setWallClock(double secondsSince1970) { clock_.set(secondsSince1970); }

double Time::now() const { return clock_.read(); }

void Time::advance(double seconds) {
    reap();
    seconds = std::max(seconds, 0.0);
    if (clock_.realTime()) {
        clock_.shift(seconds);
        runLoop_.runUntil(clock_.read(), true);
    } else {
        double target = clock_.read() + seconds;
        runLoop_.runUntil(target, true);
        clock_.advanceTo(target);
    }
    reap();
}

void Time::settle() {
    reap();
    runLoop_.runUntil(clock_.read(), true);
    reap();
}

void Time::setRealTime(bool on) { clock_.setRealTime(on); }

void Time::pump() {
    reap();
    runLoop_.runUntil(clock_.read(), false);
    reap();
}

void Time::fingerprint(Fingerprint& f) const { f.add(std::floor(clock_.read() / 60)); }

}  // namespace sim
