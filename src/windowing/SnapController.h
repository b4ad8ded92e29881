#pragma once

namespace durazizi {

// Edge snapping. For now it only records that it was started.
class SnapController {
public:
    void start();

    int startCount() const { return startCount_; }

private:
    int startCount_ = 0;
};

}  // namespace durazizi
