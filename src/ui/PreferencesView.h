#pragma once

#include <memory>

namespace durazizi {

// The preferences window. Until the window exists this records how often it was shown.
class PreferencesWindowController {
public:
    // One instance per process, made on first use.
    static std::shared_ptr<PreferencesWindowController> shared();

    void show();

    int showCount() const { return showCount_; }

private:
    int showCount_ = 0;
};

}  // namespace durazizi
