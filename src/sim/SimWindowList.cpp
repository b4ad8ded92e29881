// The window server's list of every window, as CGWindowListCopyWindowInfo
// gives it: the applications' windows and Durazizi's own, front to back.
#include <algorithm>

#include "sim/SimWindowServer.h"
#include "sim/Spaces.h"

namespace sim {

namespace {

bool isPaletteSubrole(const std::string& subrole) {
    return subrole == "AXFloatingWindow" || subrole == "AXSystemFloatingWindow";
}

// What the options keep of the whole list, as the window server answers them.
std::vector<platform::CGWindowInfo> select(std::vector<platform::CGWindowInfo> all, std::uint32_t option,
                                           CGWindowID relativeTo) {
    const bool above = option & platform::kCGWindowListOptionOnScreenAboveWindow;
    const bool below = option & platform::kCGWindowListOptionOnScreenBelowWindow;
    const bool including = option & platform::kCGWindowListOptionIncludingWindow;
    const bool onScreenOnly = option & platform::kCGWindowListOptionOnScreenOnly;
    if (!above && !below && !including) {
        if (onScreenOnly) std::erase_if(all, [](const platform::CGWindowInfo& w) { return !w.isOnscreen; });
        return all;
    }
    const auto at = std::find_if(all.begin(), all.end(),
                                 [&](const platform::CGWindowInfo& w) { return w.number == relativeTo; });
    std::vector<platform::CGWindowInfo> kept;
    for (auto it = all.begin(); it != all.end(); ++it) {
        const bool isIt = it == at;
        const bool keep = (isIt && including) ||
                          (!isIt && it->isOnscreen && at != all.end() && ((above && it < at) || (below && it > at)));
        if (keep) kept.push_back(*it);
    }
    return kept;
}

}  // namespace

std::optional<std::vector<platform::CGWindowInfo>> SimWindowServer::copyWindowInfo(std::uint32_t option,
                                                                                   CGWindowID relativeToWindow) {
    std::vector<platform::CGWindowInfo> all;
    {
        std::lock_guard lock(core_->world.mutex);
        const World& world = core_->world;
        for (CGWindowID id : world.zOrder) {
            const WindowRecord* w = world.window(id);
            if (!w || !world.runningApp(w->pid)) continue;
            platform::CGWindowInfo info;
            info.number = w->id;
            info.ownerPID = w->pid;
            info.layer = isPaletteSubrole(w->subrole) ? platform::levels::floating : platform::levels::normal;
            info.bounds = w->frame;
            info.isOnscreen = shownOnScreen(world, *w);
            // Other applications' window names are withheld without screen recording.
            if (world.screenRecording) info.name = w->title;
            all.push_back(std::move(info));
        }
        for (const auto& window : windows()) {
            // A deferred window the process never ordered in has no number yet.
            if (window->windowNumber() <= 0) continue;
            platform::CGWindowInfo info;
            info.number = static_cast<CGWindowID>(window->windowNumber());
            info.ownerPID = world.ownPid;
            info.layer = static_cast<platform::CGWindowLevel>(window->level());
            info.bounds = toTopLeft(window->frame());
            info.isOnscreen = window->isVisible();
            info.alpha = window->alphaValue();
            info.name = window->title();
            all.push_back(std::move(info));
        }
    }
    // Front to back: higher layers first, the order within a layer kept.
    std::stable_sort(all.begin(), all.end(), [](const platform::CGWindowInfo& a, const platform::CGWindowInfo& b) {
        return a.layer > b.layer;
    });
    return select(std::move(all), option, relativeToWindow);
}

}  // namespace sim
