#pragma once

#include <memory>

namespace durazizi {

// The guide window. Until the window exists this records how often it was shown.
class GuideWindowController {
public:
    // One instance per process, made on first use.
    static std::shared_ptr<GuideWindowController> shared();

    void show();

    int showCount() const { return showCount_; }

private:
    int showCount_ = 0;
};

}  // namespace durazizi
