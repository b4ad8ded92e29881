#pragma once

namespace durazizi {

// The event tap for modifier drags, keyboard snapping and scrolling. For now
// it only records that it was started.
class InputTap {
public:
    void start();

    int startCount() const { return startCount_; }

private:
    int startCount_ = 0;
};

}  // namespace durazizi
