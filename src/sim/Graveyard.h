#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace sim {

// Where the simulated process's state goes when it dies. Terminate can be
// called from inside a timer block, a menu action or a status-item action;
// the closures and objects it drops may be the very ones on the stack, and
// their destructors may call back into the desktop. So nothing is destroyed
// at that moment: it is buried here and cleared only when no callback of
// the simulated process is running.
class Graveyard {
public:
    Graveyard() = default;
    ~Graveyard();
    Graveyard(const Graveyard&) = delete;
    Graveyard& operator=(const Graveyard&) = delete;

    void bury(std::shared_ptr<void> body);
    void bury(std::function<void()> work);

    // Brackets a call into the simulated process's own code.
    void enterCallback() {
        if (depth_.fetch_add(1, std::memory_order_acq_rel) == 0 && outermost_) outermost_(true);
    }
    void leaveCallback() {
        if (depth_.fetch_sub(1, std::memory_order_acq_rel) == 1 && outermost_) outermost_(false);
    }
    // Told when the outermost callback begins (true) and ends (false), so
    // that each piece of the process's work can be timed; set on the main
    // thread before any callback runs.
    void watchCallbacks(std::function<void(bool began)> outermost) { outermost_ = std::move(outermost); }
    bool insideCallback() const { return depth_.load(std::memory_order_acquire) > 0; }

    // Clears the graveyard unless a callback is running; returns whether it did.
    bool clearIfIdle();
    void clear();

private:
    std::mutex mutex_;
    std::vector<std::shared_ptr<void>> bodies_;
    std::atomic<int> depth_{0};
    std::function<void(bool)> outermost_;
};

// Marks the running of one callback for as long as it lives.
class CallbackScope {
public:
    explicit CallbackScope(Graveyard& graveyard) : graveyard_(graveyard) { graveyard_.enterCallback(); }
    ~CallbackScope() { graveyard_.leaveCallback(); }
    CallbackScope(const CallbackScope&) = delete;
    CallbackScope& operator=(const CallbackScope&) = delete;

private:
    Graveyard& graveyard_;
};

}  // namespace sim
