#pragma once

#include <mutex>
#include <thread>

#include "sim/Service.h"

namespace sim {

class SimClock;

// How long Durazizi's main thread is busy, piece by piece: a timer, a tap or
// monitor callback, an observer callback, a main-queue block, an event
// delivered to one of its windows. Measured on the virtual clock, which
// only moves inside such a piece when the thread is stuck (a message to a
// process that does not answer), so the figures are what a user would feel
// as a frozen menu bar or pointer.
class Callouts final : public Service {
public:
    explicit Callouts(SimClock& clock);

    struct Figures {
        double longest = 0;   // seconds, the longest single piece
        double busy = 0;      // seconds, all pieces together
    };

    // The outermost callback on the main thread begins or ends.
    void began();
    void ended();
    // Since the process started or the previous take.
    Figures take();

    void beginProcess() override;

private:
    SimClock& clock_;
    const std::thread::id mainThread_;
    std::mutex mutex_;
    bool running_ = false;
    double start_ = 0;
    Figures figures_;
};

}  // namespace sim
