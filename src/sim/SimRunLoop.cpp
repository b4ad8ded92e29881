#include "sim/SimRunLoop.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>

namespace sim {

namespace {

// Which run loop and process generation the current background thread works
// for, so that its hand-backs can be matched to the process that started it.
struct BackgroundContext {
    const void* loop = nullptr;
    std::uint64_t generation = 0;
};
thread_local BackgroundContext backgroundContext;

// NSTimer treats a non-positive interval as 0.1 ms.
constexpr double kMinimumTimerInterval = 0.0001;

}  // namespace

struct SimRunLoop::TimerImpl final : platform::Timer {
    double interval = 0;
    double origin = 0;          // when it was scheduled
    std::uint64_t slot = 1;     // the fire due at origin + slot * interval comes next
    bool repeats = false;
    std::uint64_t generation = 0;
    std::function<void(platform::Timer&)> block;   // touched on the main thread only
    std::atomic<bool> valid{true};

    void invalidate() override { valid.store(false, std::memory_order_release); }
    bool isValid() const override { return valid.load(std::memory_order_acquire); }
};

SimRunLoop::SimRunLoop(SimClock& clock, Graveyard& graveyard)
    : clock_(clock), graveyard_(graveyard), mainThread_(std::this_thread::get_id()) {}

SimRunLoop::~SimRunLoop() { shutdown(); }

std::shared_ptr<platform::Timer> SimRunLoop::scheduledTimer(double interval, bool repeats,
                                                            std::function<void(platform::Timer&)> block) {
    auto timer = std::make_shared<TimerImpl>();
    timer->interval = interval > 0 ? interval : kMinimumTimerInterval;
    timer->repeats = repeats;
    timer->block = std::move(block);
    timer->origin = clock_.read();
    double fireAt = timer->origin + timer->interval;
    std::lock_guard lock(mutex_);
    timer->generation = generation_;
    if (!accepting_) {
        // A process that has ended schedules nothing; the handle is born invalid.
        timer->valid = false;
        graveyard_.bury(std::make_shared<std::function<void(platform::Timer&)>>(std::move(timer->block)));
        return timer;
    }
    scheduled_.push_back({fireAt, nextSeq_++, timer, {}});
    return timer;
}

void SimRunLoop::asyncMain(std::function<void()> work) {
    std::uint64_t generation = callerGeneration();
    std::lock_guard lock(mutex_);
    if (!acceptsLocked(generation)) {
        graveyard_.bury(std::move(work));
        return;
    }
    main_.push_back({std::move(work), generation});
}

void SimRunLoop::asyncAfterMain(double delay, std::function<void()> work) {
    std::uint64_t generation = callerGeneration();
    double due = clock_.read() + std::max(delay, 0.0);
    std::lock_guard lock(mutex_);
    if (!acceptsLocked(generation)) {
        graveyard_.bury(std::move(work));
        return;
    }
    scheduled_.push_back({due, nextSeq_++, nullptr, std::move(work)});
}

void SimRunLoop::asyncGlobal(platform::QualityOfService, std::function<void()> work) {
    std::uint64_t generation = callerGeneration();
    {
        std::lock_guard lock(mutex_);
        if (!acceptsLocked(generation)) {
            graveyard_.bury(std::move(work));
            return;
        }
    }
    // One thread per task: tasks of the global queue may wait on each other,
    // as they can on a concurrent queue, so a fixed pool could deadlock.
    auto done = std::make_shared<std::atomic<bool>>(false);
    std::lock_guard lock(workersMutex_);
    ++inFlight_;
    std::thread thread([this, generation, done, work = std::move(work)]() mutable {
        backgroundContext = {this, generation};
        work();
        work = nullptr;   // the captures die on this thread, as with a dispatch queue
        backgroundContext = {};
        {
            std::lock_guard inner(workersMutex_);
            --inFlight_;
            done->store(true, std::memory_order_release);
        }
        workersIdle_.notify_all();
    });
    workers_.push_back({std::move(thread), std::move(done)});
}

bool SimRunLoop::isMainThread() const { return std::this_thread::get_id() == mainThread_; }

std::uint64_t SimRunLoop::callerGeneration() const {
    if (backgroundContext.loop == this) return backgroundContext.generation;
    std::lock_guard lock(mutex_);
    return generation_;
}

void SimRunLoop::runUntil(double target, bool waitForBackground) {
    for (;;) {
        if (waitForBackground) this->waitForBackground();
        reapWorkers(false);
        sweepInvalidTimers();
        if (auto work = popMain()) {
            runWork(std::move(*work));
            continue;
        }
        if (auto entry = popDue(target)) {
            clock_.advanceTo(entry->time);
            fire(std::move(*entry));
            continue;
        }
        return;
    }
}

void SimRunLoop::waitForBackground() {
    std::unique_lock lock(workersMutex_);
    workersIdle_.wait(lock, [this] { return inFlight_ == 0; });
}

void SimRunLoop::backgroundBlocked() {
    {
        std::lock_guard lock(workersMutex_);
        --inFlight_;
    }
    workersIdle_.notify_all();
}

void SimRunLoop::backgroundWoken() {
    std::lock_guard lock(workersMutex_);
    ++inFlight_;
}

void SimRunLoop::stall(double seconds) {
    if (!(seconds > 0) || !isMainThread()) return;
    if (clock_.realTime()) std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    else clock_.shift(seconds);
}

std::optional<std::function<void()>> SimRunLoop::popMain() {
    std::lock_guard lock(mutex_);
    while (!main_.empty()) {
        Queued front = std::move(main_.front());
        main_.pop_front();
        if (acceptsLocked(front.generation)) return std::move(front.work);
        graveyard_.bury(std::move(front.work));
    }
    return std::nullopt;
}

std::optional<SimRunLoop::Entry> SimRunLoop::popDue(double target) {
    std::lock_guard lock(mutex_);
    auto earliest = scheduled_.end();
    for (auto it = scheduled_.begin(); it != scheduled_.end(); ++it) {
        if (it->time > target) continue;
        if (earliest == scheduled_.end() || it->time < earliest->time ||
            (it->time == earliest->time && it->seq < earliest->seq))
            earliest = it;
    }
    if (earliest == scheduled_.end()) return std::nullopt;
    Entry entry = std::move(*earliest);
    scheduled_.erase(earliest);
    return entry;
}

void SimRunLoop::runWork(std::function<void()> work) {
    {
        CallbackScope scope(graveyard_);
        if (work) work();
    }
    // `work` is destroyed here, after it has returned and outside any lock.
}

void SimRunLoop::fire(Entry entry) {
    if (!entry.timer) {
        runWork(std::move(entry.work));
        return;
    }
    std::shared_ptr<TimerImpl> timer = entry.timer;
    // The block leaves the timer while it runs: an invalidate or a terminate
    // from inside it then never destroys the closure that is executing.
    std::function<void(platform::Timer&)> block = std::move(timer->block);
    timer->block = nullptr;
    if (!timer->isValid()) return;
    {
        std::lock_guard lock(mutex_);
        firing_ = timer;
    }
    {
        CallbackScope scope(graveyard_);
        if (block) block(*timer);
    }
    std::lock_guard lock(mutex_);
    firing_.reset();
    bool again = timer->repeats && timer->isValid() && acceptsLocked(timer->generation);
    if (!again) {
        timer->invalidate();
        graveyard_.bury(std::make_shared<std::function<void(platform::Timer&)>>(std::move(block)));
        return;
    }
    // Fires stay on the original schedule (computed from its start, so that
    // rounding does not accumulate); fires missed because the clock jumped
    // are skipped, as NSTimer does.
    double now = clock_.read();
    ++timer->slot;
    double next = timer->origin + static_cast<double>(timer->slot) * timer->interval;
    if (next <= now) {
        timer->slot = static_cast<std::uint64_t>(std::floor((now - timer->origin) / timer->interval)) + 1;
        next = timer->origin + static_cast<double>(timer->slot) * timer->interval;
        if (next <= now) next = timer->origin + static_cast<double>(++timer->slot) * timer->interval;
    }
    timer->block = std::move(block);
    scheduled_.push_back({next, nextSeq_++, timer, {}});
}

std::vector<double> SimRunLoop::repeatingTimerIntervals() const {
    std::lock_guard lock(mutex_);
    std::vector<double> intervals;
    auto live = [this](const std::shared_ptr<TimerImpl>& timer) {
        return timer && timer->repeats && timer->isValid() && acceptsLocked(timer->generation);
    };
    for (const Entry& entry : scheduled_)
        if (live(entry.timer)) intervals.push_back(entry.timer->interval);
    if (live(firing_)) intervals.push_back(firing_->interval);
    return intervals;
}

void SimRunLoop::sweepInvalidTimers() {
    std::vector<Entry> dead;
    {
        std::lock_guard lock(mutex_);
        auto keep = std::stable_partition(scheduled_.begin(), scheduled_.end(),
                                          [](const Entry& e) { return !e.timer || e.timer->isValid(); });
        std::move(keep, scheduled_.end(), std::back_inserter(dead));
        scheduled_.erase(keep, scheduled_.end());
    }
    // An invalidated timer lets go of its block, breaking any cycle through it.
    for (Entry& e : dead) e.timer->block = nullptr;
}

void SimRunLoop::endProcess() {
    std::vector<Entry> entries;
    std::deque<Queued> queued;
    std::shared_ptr<TimerImpl> firing;
    {
        std::lock_guard lock(mutex_);
        ++generation_;
        accepting_ = false;
        entries.swap(scheduled_);
        queued.swap(main_);
        firing = firing_;
    }
    if (firing) firing->invalidate();
    for (Entry& e : entries) {
        if (e.timer) {
            e.timer->invalidate();
            graveyard_.bury(std::make_shared<std::function<void(platform::Timer&)>>(std::move(e.timer->block)));
            e.timer->block = nullptr;
        }
        graveyard_.bury(std::move(e.work));
    }
    for (Queued& q : queued) graveyard_.bury(std::move(q.work));
}

void SimRunLoop::beginProcess() {
    std::lock_guard lock(mutex_);
    accepting_ = true;
}

void SimRunLoop::shutdown() {
    waitForBackground();
    reapWorkers(true);
    endProcess();
}

void SimRunLoop::reapWorkers(bool all) {
    std::vector<Worker> finished;
    {
        std::lock_guard lock(workersMutex_);
        auto keep = std::stable_partition(workers_.begin(), workers_.end(), [all](const Worker& w) {
            return !all && !w.done->load(std::memory_order_acquire);
        });
        std::move(keep, workers_.end(), std::back_inserter(finished));
        workers_.erase(keep, workers_.end());
    }
    for (Worker& w : finished)
        if (w.thread.joinable()) w.thread.join();
}

}  // namespace sim
