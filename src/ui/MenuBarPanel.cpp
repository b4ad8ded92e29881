#include "ui/MenuBarPanel.h"

#include <utility>

namespace durazizi {

void MenuBarPanelController::show(platform::StatusBarButton& /*from*/, HomePanelView rootView) {
    rootView_ = std::move(rootView);
    visible_ = true;
    ++showCount_;
}

void MenuBarPanelController::hide() { visible_ = false; }

}  // namespace durazizi
