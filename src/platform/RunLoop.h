#pragma once

#include <functional>
#include <memory>

#include "platform/Constants.h"

namespace platform {

// NSTimer
class Timer {
public:
    virtual ~Timer() = default;
    virtual void invalidate() = 0;
    virtual bool isValid() const = 0;
};

// The main run loop and the dispatch queues. Timers are added to the main run
// loop in the common modes, so they keep firing while menus track or windows
// drag. Everything but asyncGlobal runs its work on the main thread.
class RunLoop {
public:
    virtual ~RunLoop() = default;

    // +[NSTimer timerWithTimeInterval:repeats:block:] added with addTimer:forMode:NSRunLoopCommonModes.
    virtual std::shared_ptr<Timer> scheduledTimer(double interval, bool repeats,
                                                  std::function<void(Timer&)> block) = 0;
    virtual void asyncMain(std::function<void()> work) = 0;                      // dispatch_async(main)
    virtual void asyncAfterMain(double delay, std::function<void()> work) = 0;   // dispatch_after(main)
    virtual void asyncGlobal(QualityOfService qos, std::function<void()> work) = 0;
    virtual bool isMainThread() const = 0;
};

}  // namespace platform
