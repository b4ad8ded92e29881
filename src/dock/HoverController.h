#pragma once

namespace durazizi {

// The Dock hover loop. Until the loop itself lands this only records that the
// application asked for it, so the launch sequence can be checked.
class HoverController {
public:
    void start();
    void stop();

    int startCount() const { return startCount_; }
    bool isRunning() const { return running_; }

private:
    int startCount_ = 0;
    bool running_ = false;
};

}  // namespace durazizi
