#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "support/InstalledDesktop.h"

namespace {

using platform::QualityOfService;

TEST(SimRunLoop, EqualTimesRunInSchedulingOrderWithMainQueueWorkFirstAndTimersKeepTheirSchedule) {
    sim::Desktop desktop;
    auto& loop = desktop.runLoop();
    std::vector<std::string> order;
    auto timer = loop.scheduledTimer(1, false, [&](platform::Timer&) {
        order.push_back("timer");
        loop.asyncMain([&] { order.push_back("main from timer"); });
    });
    loop.asyncAfterMain(1, [&] { order.push_back("after"); });
    loop.asyncMain([&] { order.push_back("main"); });

    std::vector<double> fires;
    loop.scheduledTimer(0.05, true, [&](platform::Timer& repeating) {
        fires.push_back(desktop.time().now() - sim::kDefaultWallClock);
        if (fires.size() == 30) repeating.invalidate();
    });

    desktop.time().advance(0.5);
    EXPECT_EQ(order, (std::vector<std::string>{"main"}));
    desktop.time().advance(0.5);
    EXPECT_EQ(order, (std::vector<std::string>{"main", "timer", "main from timer", "after"}));
    EXPECT_FALSE(timer->isValid());   // a one-shot timer is spent once it fired
    // A repeating timer keeps its schedule (a fire due exactly at the target
    // runs) and stops from inside its block.
    ASSERT_EQ(fires.size(), 20u);
    EXPECT_NEAR(fires.back(), 1.0, 1e-6);
    desktop.time().advance(10);
    EXPECT_EQ(fires.size(), 30u);
}

TEST(SimRunLoop, BackgroundWorkRunsConcurrentlyAndHandsBackOnlyToItsOwnProcess) {
    testsupport::InstalledDesktop installed;
    sim::Desktop& desktop = installed.desktop;
    auto& loop = desktop.runLoop();
    // Each task waits until all eight have started: only real concurrency finishes.
    std::mutex mutex;
    std::condition_variable allStarted;
    int started = 0;
    int handedBack = 0;
    std::atomic<bool> offMain{false};
    for (int i = 0; i < 8; ++i) {
        loop.asyncGlobal(QualityOfService::UserInitiated, [&] {
            offMain = offMain || !loop.isMainThread();
            std::unique_lock lock(mutex);
            ++started;
            allStarted.notify_all();
            allStarted.wait(lock, [&] { return started == 8; });
            loop.asyncMain([&] { ++handedBack; });
        });
    }
    desktop.time().advance(0);
    EXPECT_EQ(handedBack, 8);
    EXPECT_TRUE(offMain);

    // The process dies while a task runs; its answer must not reach the next one.
    loop.asyncGlobal(QualityOfService::Utility, [&] { loop.asyncMain([&] { ++handedBack; }); });
    desktop.ownProcess().terminate();
    desktop.ownProcess().start();
    desktop.time().settle();
    EXPECT_EQ(handedBack, 8);
    loop.asyncMain([&] { ++handedBack; });
    desktop.time().settle();
    EXPECT_EQ(handedBack, 9);
}

TEST(SimClock, WallClockIsSetAndRealTimeContinuesFromVirtualTime) {
    sim::Desktop desktop;
    desktop.time().setWallClock(1'800'000'000.0);
    desktop.time().advance(60);
    EXPECT_DOUBLE_EQ(desktop.clock().now(), 1'800'000'060.0);

    // Real time never moves the clock backwards, and pump runs what is due
    // without being told how much time passed.
    int ran = 0;
    desktop.runLoop().asyncMain([&] { ++ran; });
    desktop.runLoop().asyncAfterMain(3600, [&] { ran += 10; });
    desktop.time().setRealTime(true);
    EXPECT_GE(desktop.time().now(), 1'800'000'060.0);
    desktop.time().pump();
    EXPECT_EQ(ran, 1);
    desktop.time().setRealTime(false);
    desktop.time().advance(3600);
    EXPECT_EQ(ran, 11);
}

}  // namespace

namespace {

// A main thread stuck in a message to a hung process: virtual time passes
// meanwhile, timers due in between fire late (once, as NSTimer skips missed
// fires), and the stuck piece of work is what the run-loop figures report.
TEST(SimRunLoop, AStuckMainThreadLetsTimePassAndTimersFireLate) {
    testsupport::InstalledDesktop installed;
    sim::Desktop& desktop = installed.desktop;
    desktop.screens().add({0, 0, 1440, 900});
    sim::AppSpec spec;
    spec.name = "Editor";
    spec.bundleId = "com.example.Editor";
    const platform::pid_t editor = desktop.processes().add(spec);
    desktop.accessibility().setHung(editor, true);
    auto& loop = desktop.runLoop();
    auto& ax = desktop.accessibility();

    std::vector<double> ticks;
    auto timer = loop.scheduledTimer(1, true, [&](platform::Timer&) {
        ticks.push_back(desktop.time().now() - sim::kDefaultWallClock);
    });
    loop.asyncAfterMain(0.5, [&] {
        platform::CFType value;
        ax.copyAttributeValue(ax.createApplication(editor), "AXTitle", &value);   // 6 s
    });
    desktop.time().advance(2);
    // Stuck from 0.5 s to 6.5 s: the fire due at 1 s comes at 6.5 s; the
    // advance ends there, past its own target.
    EXPECT_EQ(ticks, (std::vector<double>{6.5}));
    EXPECT_NEAR(desktop.time().now() - sim::kDefaultWallClock, 6.5, 1e-9);
    desktop.time().advance(1);
    EXPECT_EQ(ticks, (std::vector<double>{6.5, 7}));

    const sim::Callouts::Figures figures = desktop.callouts().take();
    EXPECT_NEAR(figures.longest, 6.0, 1e-9);
    EXPECT_NEAR(figures.busy, 6.0, 1e-9);
    const sim::Callouts::Figures none = desktop.callouts().take();
    EXPECT_EQ(none.longest, 0);
    EXPECT_EQ(none.busy, 0);
    timer->invalidate();
}

}  // namespace
