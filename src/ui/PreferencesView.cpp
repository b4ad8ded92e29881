#include "ui/PreferencesView.h"

#include "platform/Platform.h"

namespace durazizi {

std::shared_ptr<PreferencesWindowController> PreferencesWindowController::shared() {
    // A new platform install is a new process; nothing of an earlier one is kept.
    static std::shared_ptr<PreferencesWindowController> instance;
    static unsigned generation = 0;
    if (!instance || generation != platform::processGeneration()) {
        instance = std::make_shared<PreferencesWindowController>();
        generation = platform::processGeneration();
    }
    return instance;
}

void PreferencesWindowController::show() { ++showCount_; }

}  // namespace durazizi
