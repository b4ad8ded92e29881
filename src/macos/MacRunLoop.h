#pragma once

#include "platform/RunLoop.h"

namespace macos {

// NSTimer on the main run loop in the common modes, and libdispatch's main
// and global queues.
class MacRunLoop final : public platform::RunLoop {
public:
    std::shared_ptr<platform::Timer> scheduledTimer(double interval, bool repeats,
                                                    std::function<void(platform::Timer&)> block) override;
    void asyncMain(std::function<void()> work) override;
    void asyncAfterMain(double delay, std::function<void()> work) override;
    void asyncGlobal(platform::QualityOfService qos, std::function<void()> work) override;
    bool isMainThread() const override;
};

// Whether the caller is on the main thread, for the services whose calls
// macOS allows only there.
bool onMainThread();

}  // namespace macos
