#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "platform/RunLoop.h"
#include "sim/Graveyard.h"
#include "sim/Service.h"
#include "sim/SimClock.h"

namespace sim {

// The main run loop, the main queue and the global queue of the simulated
// process. Main-thread work runs only when the desktop is told to let time
// pass (advance, settle, pump); global-queue work runs at once on real
// threads. Everything queued belongs to one process generation: when the
// process ends, its timers and queued work are dropped, and hand-backs that
// its background threads still send are ignored.
class SimRunLoop final : public platform::RunLoop, public Service {
public:
    SimRunLoop(SimClock& clock, Graveyard& graveyard);
    ~SimRunLoop() override;
    SimRunLoop(const SimRunLoop&) = delete;
    SimRunLoop& operator=(const SimRunLoop&) = delete;

    std::shared_ptr<platform::Timer> scheduledTimer(double interval, bool repeats,
                                                    std::function<void(platform::Timer&)> block) override;
    void asyncMain(std::function<void()> work) override;
    void asyncAfterMain(double delay, std::function<void()> work) override;
    void asyncGlobal(platform::QualityOfService qos, std::function<void()> work) override;
    bool isMainThread() const override;

    // Runs, in time order, main-queue work and every timer or delayed item
    // due at or before `target`, moving the clock to each item's time. With
    // `waitForBackground`, each step first lets background work finish so
    // that its hand-backs join the main queue in a deterministic order.
    void runUntil(double target, bool waitForBackground);
    void waitForBackground();
    // A background task about to wait on the simulated world (a player that
    // does not answer) stops counting as running work, so that letting time
    // pass does not wait for it; whoever wakes it counts it again first, on
    // the main thread, so the next wait includes it.
    void backgroundBlocked();
    void backgroundWoken();
    // The main thread is stuck in a synchronous call (a message to a process
    // that does not answer) for `seconds`. Virtual time passes meanwhile, so
    // timers that fall due fire late, once the thread is free again; in
    // real-time mode the thread really waits. A background caller (not the
    // product's case) fails at once.
    void stall(double seconds);

    // The intervals of the process's live repeating timers, scheduled or
    // firing now: what the process has installed on its run loop.
    std::vector<double> repeatingTimerIntervals() const;

    // The owning process ended: its timers stop, its queued work is dropped.
    void endProcess() override;
    // A new process starts accepting work.
    void beginProcess() override;
    // Waits for every background thread and drops everything; for teardown.
    void shutdown();

private:
    struct TimerImpl;
    struct Entry {
        double time = 0;
        std::uint64_t seq = 0;
        std::shared_ptr<TimerImpl> timer;   // a timer, or
        std::function<void()> work;         // a dispatch_after block
    };
    struct Queued {
        std::function<void()> work;
        std::uint64_t generation = 0;
    };
    struct Worker {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> done;
    };

    std::uint64_t callerGeneration() const;
    bool acceptsLocked(std::uint64_t generation) const { return accepting_ && generation == generation_; }
    std::optional<std::function<void()>> popMain();
    std::optional<Entry> popDue(double target);
    void fire(Entry entry);
    void runWork(std::function<void()> work);
    void sweepInvalidTimers();
    void reapWorkers(bool all);

    SimClock& clock_;
    Graveyard& graveyard_;
    const std::thread::id mainThread_;

    mutable std::mutex mutex_;
    std::deque<Queued> main_;
    std::vector<Entry> scheduled_;
    std::shared_ptr<TimerImpl> firing_;
    std::uint64_t nextSeq_ = 0;
    std::uint64_t generation_ = 1;
    bool accepting_ = true;

    std::mutex workersMutex_;
    std::condition_variable workersIdle_;
    int inFlight_ = 0;
    std::vector<Worker> workers_;
};

}  // namespace sim
