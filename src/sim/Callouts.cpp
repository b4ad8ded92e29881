#include "sim/Callouts.h"

#include <algorithm>

#include "sim/SimClock.h"

namespace sim {

Callouts::Callouts(SimClock& clock) : clock_(clock), mainThread_(std::this_thread::get_id()) {}

void Callouts::began() {
    if (std::this_thread::get_id() != mainThread_) return;
    std::lock_guard lock(mutex_);
    running_ = true;
    start_ = clock_.read();
}

void Callouts::ended() {
    if (std::this_thread::get_id() != mainThread_) return;
    const double end = clock_.read();
    std::lock_guard lock(mutex_);
    if (!running_) return;
    running_ = false;
    // Virtual time never runs backward, but a clock set by hand may.
    const double took = std::max(0.0, end - start_);
    figures_.longest = std::max(figures_.longest, took);
    figures_.busy += took;
}

Callouts::Figures Callouts::take() {
    std::lock_guard lock(mutex_);
    Figures taken = figures_;
    figures_ = {};
    return taken;
}

void Callouts::beginProcess() {
    std::lock_guard lock(mutex_);
    figures_ = {};
}

}  // namespace sim
