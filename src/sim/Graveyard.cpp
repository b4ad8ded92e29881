#include "sim/Graveyard.h"

namespace sim {

Graveyard::~Graveyard() { clear(); }

void Graveyard::bury(std::shared_ptr<void> body) {
    if (!body) return;
    std::lock_guard lock(mutex_);
    bodies_.push_back(std::move(body));
}

void Graveyard::bury(std::function<void()> work) {
    if (!work) return;
    bury(std::make_shared<std::function<void()>>(std::move(work)));
}

bool Graveyard::clearIfIdle() {
    if (insideCallback()) return false;
    clear();
    return true;
}

void Graveyard::clear() {
    // Destructors may bury more (a delegate releasing its timers), so keep
    // going until nothing new arrives; never destroy under the lock.
    for (;;) {
        std::vector<std::shared_ptr<void>> dead;
        {
            std::lock_guard lock(mutex_);
            dead.swap(bodies_);
        }
        if (dead.empty()) return;
        dead.clear();
    }
}

}  // namespace sim
