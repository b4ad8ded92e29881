#pragma once

#include <optional>
#include <string>
#include <vector>

#include "kit/Geometry.h"
#include "kit/URL.h"
#include "platform/CFType.h"
#include "platform/Workspace.h"

namespace durazizi {

// One application icon of the Dock.
struct DockItem {
    kit::Rect frame;                                  // top-left global coordinates
    std::string title;                                // empty when missing
    std::optional<kit::URL> bundleURL;                // the bundle the icon refers to
    platform::RunningApplicationRef runningApp;       // null when not running
};

// Reads where the Dock's application icons are from the Dock's accessibility
// tree, and keeps the list for a short while so that a 20-per-second poll
// does not walk the tree on every tick.
class DockObserver {
public:
    static constexpr double cacheTTL = 2.0;

    std::vector<DockItem> items(bool forceRefresh);
    std::optional<DockItem> item(kit::Point pointTopLeft);

    std::optional<platform::AXUIElementRef> dockApp();
    static platform::RunningApplicationRef runningApp(const std::string& title,
                                                      const std::optional<kit::URL>& bundleURL);

private:
    // The Dock restarts whenever the user changes some of its settings; the
    // element of the old process is dead then and must be looked up again.
    bool dockIsGone() const;
    void forgetDock();

    std::optional<platform::AXUIElementRef> dockElement_;
    platform::RunningApplicationRef dockProcess_;
    std::vector<DockItem> cache_;
    double cacheStamp_ = 0;
};

}  // namespace durazizi
