#pragma once

#include <cstdint>
#include <vector>

namespace sim {

class Service;

// Counts visible changes: the count differs from an earlier answer whenever
// something a painter draws may have changed since (windows, apps, the Dock,
// the status item, own windows and their animation steps, the clock's
// minute). Changes inside own windows' view trees show in the views'
// needsDisplay flags instead. Cheap enough to ask every frame.
class ChangeCounter {
public:
    explicit ChangeCounter(const std::vector<Service*>& services) : services_(services) {}

    // Asking is not a change, so a painter holding a const desktop may ask.
    std::uint64_t count() const;

private:
    const std::vector<Service*>& services_;
    mutable std::uint64_t shown_ = 0;   // the fingerprint of what was visible when last asked
    mutable std::uint64_t changes_ = 0;
};

}  // namespace sim
