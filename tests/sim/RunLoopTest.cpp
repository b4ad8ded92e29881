#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "support/InstalledDesktop.h"

namespace {

using platform::QualityOfService;

TEST(SimRunLoop, EqualTimesRunInSchedulingOrderWithMainQueueWorkFirst) {
    sim::Desktop desktop;
    auto& loop = desktop.runLoop();
    std::vector<std::string> order;
    auto timer = loop.scheduledTimer(1, false, [&](platform::Timer&) {
        order.push_back("timer");
        loop.asyncMain([&] { order.push_back("main from timer"); });
    });
    loop.asyncAfterMain(1, [&] { order.push_back("after"); });
    loop.asyncMain([&] { order.push_back("main"); });

    desktop.advance(0.5);
    EXPECT_EQ(order, (std::vector<std::string>{"main"}));
    desktop.advance(0.5);
    EXPECT_EQ(order, (std::vector<std::string>{"main", "timer", "main from timer", "after"}));
    EXPECT_FALSE(timer->isValid());   // a one-shot timer is spent once it fired
    EXPECT_DOUBLE_EQ(desktop.now(), sim::kDefaultWallClock + 1);
}

TEST(SimRunLoop, RepeatingTimerKeepsItsScheduleAndStopsFromInsideItsBlock) {
    sim::Desktop desktop;
    std::vector<double> fires;
    desktop.runLoop().scheduledTimer(0.05, true, [&](platform::Timer& timer) {
        fires.push_back(desktop.now() - sim::kDefaultWallClock);
        if (fires.size() == 30) timer.invalidate();
    });
    desktop.advance(1.0);
    ASSERT_EQ(fires.size(), 20u);
    EXPECT_NEAR(fires.front(), 0.05, 1e-6);
    EXPECT_NEAR(fires.back(), 1.0, 1e-6);   // a fire due exactly at the target runs
    desktop.advance(10);
    EXPECT_EQ(fires.size(), 30u);
}

TEST(SimRunLoop, BackgroundHandBacksCompleteWithinAdvanceInOrder) {
    sim::Desktop desktop;
    auto& loop = desktop.runLoop();
    std::vector<int> handed;
    std::atomic<bool> offMain{false};
    for (int i = 0; i < 3; ++i) {
        loop.asyncGlobal(QualityOfService::Utility, [&, i] {
            offMain = offMain || !loop.isMainThread();
            loop.asyncMain([&, i] { handed.push_back(i); });
        });
        desktop.settle();   // one at a time, so the order is the order they were started
    }
    EXPECT_TRUE(offMain);
    EXPECT_EQ(handed, (std::vector<int>{0, 1, 2}));
    EXPECT_TRUE(loop.isMainThread());
}

TEST(SimRunLoop, EightBackgroundTasksRunConcurrently) {
    sim::Desktop desktop;
    auto& loop = desktop.runLoop();
    // Each task waits until all eight have started: only real concurrency finishes.
    std::mutex mutex;
    std::condition_variable allStarted;
    int started = 0;
    int handedBack = 0;
    for (int i = 0; i < 8; ++i) {
        loop.asyncGlobal(QualityOfService::UserInitiated, [&] {
            std::unique_lock lock(mutex);
            ++started;
            allStarted.notify_all();
            allStarted.wait(lock, [&] { return started == 8; });
            loop.asyncMain([&] { ++handedBack; });
        });
    }
    desktop.advance(0);
    EXPECT_EQ(handedBack, 8);
}

TEST(SimClock, WallClockIsSetAndRealTimeContinuesFromVirtualTime) {
    sim::Desktop desktop;
    EXPECT_DOUBLE_EQ(desktop.clock().now(), sim::kDefaultWallClock);
    desktop.setWallClock(1'800'000'000.0);
    desktop.advance(60);
    EXPECT_DOUBLE_EQ(desktop.now(), 1'800'000'060.0);

    // Switching to real time never moves the clock backwards, and pump runs
    // what is due without being told how much time passed.
    int ran = 0;
    desktop.runLoop().asyncMain([&] { ++ran; });
    desktop.runLoop().asyncAfterMain(3600, [&] { ran += 10; });
    desktop.setRealTime(true);
    double before = desktop.now();
    EXPECT_GE(before, 1'800'000'060.0);
    desktop.pump();
    EXPECT_EQ(ran, 1);
    EXPECT_GE(desktop.now(), before);
    desktop.setRealTime(false);
    desktop.advance(3600);
    EXPECT_EQ(ran, 11);
}

}  // namespace
