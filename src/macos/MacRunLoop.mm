#include "macos/MacRunLoop.h"

#import <Foundation/Foundation.h>

#include <dispatch/dispatch.h>

#include <cmath>

#include "macos/ObjCRef.h"

namespace macos {

namespace {

class MacTimer final : public platform::Timer {
public:
    // Dropping the NSTimer here breaks the cycle through its block (which
    // keeps this handle); a dropped timer answers not valid, as it should.
    void invalidate() override {
        ObjCRef<NSTimer> timer = std::move(timer_);
        [timer.get() invalidate];
    }
    bool isValid() const override { return [timer_.get() isValid]; }

    ObjCRef<NSTimer> timer_;
};

// Work handed to a block is moved into shared storage once, rather than
// copied into every copy the block runtime makes of the block.
using Work = std::shared_ptr<std::function<void()>>;

Work share(std::function<void()> work) { return std::make_shared<std::function<void()>>(std::move(work)); }

long qosClass(platform::QualityOfService qos) {
    switch (qos) {
        case platform::QualityOfService::UserInteractive: return QOS_CLASS_USER_INTERACTIVE;
        case platform::QualityOfService::UserInitiated: return QOS_CLASS_USER_INITIATED;
        case platform::QualityOfService::Default: return QOS_CLASS_DEFAULT;
        case platform::QualityOfService::Utility: return QOS_CLASS_UTILITY;
        case platform::QualityOfService::Background: return QOS_CLASS_BACKGROUND;
    }
    return QOS_CLASS_DEFAULT;
}

}  // namespace

bool onMainThread() { return [NSThread isMainThread]; }

std::shared_ptr<platform::Timer> MacRunLoop::scheduledTimer(double interval, bool repeats,
                                                            std::function<void(platform::Timer&)> block) {
    auto timer = std::make_shared<MacTimer>();
    auto body = std::make_shared<std::function<void(platform::Timer&)>>(std::move(block));
    // The run loop keeps a scheduled timer, and the timer its block, until
    // the timer is invalidated (or has fired, if it does not repeat); the
    // block keeps the handle, since the caller may drop its own reference.
    std::shared_ptr<MacTimer> keep = timer;
    NSTimer* native = [NSTimer timerWithTimeInterval:std::max(0.0, interval)
                                             repeats:repeats
                                               block:^(NSTimer*) {
                                                   (*body)(*keep);
                                                   if (!repeats) keep->invalidate();
                                               }];
    timer->timer_ = ObjCRef<NSTimer>::retain(native);
    [[NSRunLoop mainRunLoop] addTimer:native forMode:NSRunLoopCommonModes];
    return timer;
}

void MacRunLoop::asyncMain(std::function<void()> work) {
    Work shared = share(std::move(work));
    dispatch_async(dispatch_get_main_queue(), ^{
        (*shared)();
    });
}

void MacRunLoop::asyncAfterMain(double delay, std::function<void()> work) {
    Work shared = share(std::move(work));
    const double seconds = std::isfinite(delay) && delay > 0 ? delay : 0;
    dispatch_after(dispatch_time(DISPATCH_TIME_NOW, static_cast<int64_t>(seconds * NSEC_PER_SEC)),
                   dispatch_get_main_queue(), ^{
                       (*shared)();
                   });
}

void MacRunLoop::asyncGlobal(platform::QualityOfService qos, std::function<void()> work) {
    Work shared = share(std::move(work));
    dispatch_async(dispatch_get_global_queue(qosClass(qos), 0), ^{
        (*shared)();
    });
}

bool MacRunLoop::isMainThread() const { return onMainThread(); }

}  // namespace macos
