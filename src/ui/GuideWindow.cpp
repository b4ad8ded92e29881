#include "ui/GuideWindow.h"

#include "platform/Platform.h"

namespace durazizi {

std::shared_ptr<GuideWindowController> GuideWindowController::shared() {
    // A new platform install is a new process; nothing of an earlier one is kept.
    static std::shared_ptr<GuideWindowController> instance;
    static unsigned generation = 0;
    if (!instance || generation != platform::processGeneration()) {
        instance = std::make_shared<GuideWindowController>();
        generation = platform::processGeneration();
    }
    return instance;
}

void GuideWindowController::show() { ++showCount_; }

}  // namespace durazizi
