#include "sim/Dock.h"

#include "sim/AppIcon.h"
#include "sim/Fingerprint.h"

namespace sim {

void Dock::setRunning(bool running, double iconSize) {
    std::lock_guard lock(world_.mutex);
    if (iconSize > 0) world_.dockIconSize = iconSize;
    if (running) world_.launchDock();
    else world_.quitDock();
}

void Dock::restart() {
    std::lock_guard lock(world_.mutex);
    world_.quitDock();
    world_.launchDock();
}

void Dock::addItem(DockItemKind kind, const std::string& title) {
    std::lock_guard lock(world_.mutex);
    DockItemRecord item;
    item.id = world_.nextDockItemId++;
    item.kind = kind;
    item.title = title;
    if (kind == DockItemKind::Application) item.bundlePath = "/Applications/" + title + ".app";
    world_.dockItems.push_back(std::move(item));
}

std::optional<kit::Rect> Dock::itemFrame(const std::string& title) const {
    std::lock_guard lock(world_.mutex);
    std::vector<kit::Rect> frames = world_.dockLayout();
    for (std::size_t i = 0; i < frames.size(); ++i)
        if (world_.dockItems[i].title == title) return frames[i];
    return std::nullopt;
}

std::optional<platform::pid_t> Dock::pid() const {
    std::lock_guard lock(world_.mutex);
    return world_.dockPid;
}

std::vector<DockItemInfo> Dock::items() const {
    std::lock_guard lock(world_.mutex);
    std::vector<kit::Rect> frames = world_.dockLayout();
    std::vector<DockItemInfo> result;
    // Durazizi's minimized windows are badged with its application tile's icon.
    kit::ImageRef ownIcon;
    for (const DockItemRecord& item : world_.dockItems)
        if (item.own && item.kind == DockItemKind::Application) ownIcon = item.icon;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const DockItemRecord& item = world_.dockItems[i];
        DockItemInfo info;
        info.kind = item.kind;
        info.title = item.title;
        info.bundleId = item.bundleId;
        info.frame = frames[i];
        info.own = item.own;
        info.icon = item.kind == DockItemKind::Minimized && item.own ? ownIcon : item.icon;
        if (item.own && item.kind == DockItemKind::Application) {
            info.running = world_.runningApp(world_.ownPid) != nullptr;
        } else if (item.kind == DockItemKind::Application) {
            for (pid_t pid : world_.launchOrder) {
                const AppRecord* app = world_.runningApp(pid);
                if (app && !app->own && app->identity->bundlePath == item.bundlePath) info.running = true;
            }
        }
        info.color = appIconColor(item.bundleId.empty() ? item.title : item.bundleId);
        result.push_back(std::move(info));
    }
    return result;
}

void Dock::fingerprint(Fingerprint& f) const {
    std::lock_guard lock(world_.mutex);
    f.add(world_.dockPid.value_or(-1));
    f.add(world_.dockIconSize);
    for (const DockItemRecord& item : world_.dockItems) {
        f.add(item.id);
        f.add(static_cast<int>(item.kind));
        f.add(item.title);
        f.add(item.icon.get());
    }
}

}  // namespace sim
