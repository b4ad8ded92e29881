#include "sim/ChangeCounter.h"

#include "sim/Fingerprint.h"
#include "sim/Service.h"

namespace sim {

std::uint64_t ChangeCounter::count() const {
    Fingerprint f;
    for (const Service* service : services_) service->fingerprint(f);
    if (f.value() != shown_) {
        shown_ = f.value();
        ++changes_;
    }
    return changes_;
}

}  // namespace sim
