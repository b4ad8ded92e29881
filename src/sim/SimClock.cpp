#include "sim/SimClock.h"

namespace sim {

SimClock::SimClock(double start) : virtual_(start) {}

double SimClock::now() { return read(); }

double SimClock::read() const {
    std::lock_guard lock(mutex_);
    return readLocked();
}

double SimClock::readLocked() const {
    if (!realTime_) return virtual_;
    return virtual_ + (systemSeconds() - systemBase_);
}

void SimClock::set(double secondsSince1970) {
    std::lock_guard lock(mutex_);
    virtual_ = secondsSince1970;
    systemBase_ = systemSeconds();
}

void SimClock::advanceTo(double t) {
    std::lock_guard lock(mutex_);
    if (!realTime_ && t > virtual_) virtual_ = t;
}

void SimClock::shift(double seconds) {
    std::lock_guard lock(mutex_);
    virtual_ += seconds;
}

void SimClock::setRealTime(bool on) {
    std::lock_guard lock(mutex_);
    if (on == realTime_) return;
    // Freeze or thaw at the current reading, so time never jumps.
    double current = readLocked();
    realTime_ = on;
    virtual_ = current;
    systemBase_ = systemSeconds();
}

bool SimClock::realTime() const {
    std::lock_guard lock(mutex_);
    return realTime_;
}

double SimClock::systemSeconds() {
    using namespace std::chrono;
    return duration<double>(system_clock::now().time_since_epoch()).count();
}

}  // namespace sim
