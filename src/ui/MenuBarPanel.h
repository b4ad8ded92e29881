#pragma once

#include <functional>
#include <optional>

#include "platform/Application.h"

namespace durazizi {

// The content of the drop-down panel under the status item. For now only the
// five commands it offers; the switches and permission rows come with the
// panel itself.
struct HomePanelView {
    std::function<void()> openGuide;
    std::function<void()> openSettings;
    std::function<void()> openAX;
    std::function<void()> openSR;
    std::function<void()> quit;
};

// The drop-down panel under the status item. Until the panel is drawn this
// keeps what it was asked to show, so the status item's toggling can be seen.
class MenuBarPanelController {
public:
    void show(platform::StatusBarButton& from, HomePanelView rootView);
    void hide();
    bool hasVisiblePanel() const { return visible_; }

    int showCount() const { return showCount_; }
    // The view of the latest showing, kept after hiding so its commands can be run.
    const std::optional<HomePanelView>& lastRootView() const { return rootView_; }

private:
    bool visible_ = false;
    int showCount_ = 0;
    std::optional<HomePanelView> rootView_;
};

}  // namespace durazizi
