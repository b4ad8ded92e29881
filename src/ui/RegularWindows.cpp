#include "ui/RegularWindows.h"

#include <algorithm>
#include <vector>

#include "platform/PerProcess.h"
#include "platform/Platform.h"

namespace durazizi::RegularWindows {

namespace {

// The windows shown through here in this process.
std::vector<std::weak_ptr<platform::Window>>& shownWindows() {
    static platform::PerProcess windows{[] { return std::vector<std::weak_ptr<platform::Window>>(); }};
    return windows.get();
}

}  // namespace

void show(const std::shared_ptr<platform::Window>& window) {
    if (!window) return;
    auto& windows = shownWindows();
    std::erase_if(windows, [](const auto& weak) { return weak.expired(); });
    const bool known = std::any_of(windows.begin(), windows.end(),
                                   [&](const auto& weak) { return weak.lock() == window; });
    if (!known) windows.push_back(window);
    auto& app = platform::current().application();
    app.setActivationPolicy(platform::ActivationPolicy::Regular);
    app.activateIgnoringOtherApps(true);
    window->makeKeyAndOrderFront();
}

void closing(const platform::Window& window) {
    // Going back to accessory whenever any one window closed would take the
    // Dock icon and the menu bar away from a window still on screen.
    for (const auto& weak : shownWindows()) {
        auto other = weak.lock();
        if (other && other.get() != &window && other->isVisible()) return;
    }
    platform::current().application().setActivationPolicy(platform::ActivationPolicy::Accessory);
}

}  // namespace durazizi::RegularWindows
