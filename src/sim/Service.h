#pragma once

namespace sim {

class Fingerprint;

// One part of the simulated desktop, in files of its own. The desktop
// composes the parts; those it registers hear when Durazizi's process ends
// or a new one starts, and feed what they show into the change count, so a
// new part joins both by being listed once.
class Service {
public:
    virtual ~Service() = default;
    Service(const Service&) = delete;
    Service& operator=(const Service&) = delete;

    // Durazizi's process ended, possibly from inside one of its own
    // callbacks: what it held is buried, never destroyed here.
    virtual void endProcess() {}
    // A new process of Durazizi starts with nothing of the previous one.
    virtual void beginProcess() {}
    // Feeds in whatever a painter draws from this part (see ChangeCounter.h).
    virtual void fingerprint(Fingerprint&) const {}

protected:
    Service() = default;
};

}  // namespace sim
