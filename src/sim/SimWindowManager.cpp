#include "sim/SimWindowManager.h"

#include <algorithm>

#include "sim/Spaces.h"

namespace sim {

namespace {

// An application records what it is sent; a bound keeps a scenario that never
// asks from growing without end.
constexpr std::size_t kMaxReceived = 4096;

}  // namespace

void SimWindowManager::deliver(const platform::CGEvent& event) {
    std::lock_guard lock(world_.mutex);
    switch (event.type) {
        case platform::kCGEventLeftMouseDown: mouseDown(event.location); break;
        case platform::kCGEventLeftMouseDragged: mouseDragged(event.location); break;
        case platform::kCGEventLeftMouseUp: mouseUp(event.location); break;
        case platform::kCGEventKeyDown:
            if (world_.frontmost != world_.ownPid) record(world_.frontmost, "key", event.location);
            break;
        case platform::kCGEventScrollWheel: record(ownerAt(event.location), "scroll", event.location); break;
        default: break;
    }
}

std::vector<ReceivedEvent> SimWindowManager::takeReceived(pid_t pid) {
    std::lock_guard lock(world_.mutex);
    auto it = received_.find(pid);
    if (it == received_.end()) return {};
    std::vector<ReceivedEvent> taken = std::move(it->second);
    received_.erase(it);
    return taken;
}

void SimWindowManager::forget(pid_t pid) {
    std::lock_guard lock(world_.mutex);
    received_.erase(pid);
}

void SimWindowManager::record(std::optional<pid_t> pid, const char* type, kit::Point at) {
    if (!pid || !world_.runningApp(*pid)) return;
    std::vector<ReceivedEvent>& list = received_[*pid];
    if (list.size() >= kMaxReceived) list.erase(list.begin());
    list.push_back({type, at});
}

std::optional<pid_t> SimWindowManager::ownerAt(kit::Point p) const {
    if (world_.inMenuBar(p)) return world_.frontmost;
    // The Dock floats above every application window.
    if (std::optional<kit::Rect> strip = world_.dockStrip(); strip && strip->cgContains(p)) return world_.dockPid;
    for (CGWindowID id : world_.zOrder) {
        const WindowRecord* record = world_.window(id);
        if (!record || !shownOnScreen(world_, *record) || !world_.runningApp(record->pid)) continue;
        if (record->frame.cgContains(p)) return record->pid;
    }
    // The desktop itself, which is the Finder's.
    return world_.runningApp(kFinderPid) ? std::optional<pid_t>(kFinderPid) : std::nullopt;
}

void SimWindowManager::mouseDown(kit::Point p) {
    Press press;
    press.start = p;
    press_ = press;
    if (world_.inMenuBar(p)) {
        press_->receiver = world_.frontmost;
        record(press_->receiver, "down", p);
        return;
    }
    std::vector<kit::Rect> dock = world_.dockLayout();
    for (std::size_t i = 0; i < dock.size(); ++i) {
        if (!dock[i].cgContains(p)) continue;
        press_->dockItem = world_.dockItems[i].id;
        press_->receiver = world_.dockPid;
        record(press_->receiver, "down", p);
        return;
    }
    if (std::optional<kit::Rect> strip = world_.dockStrip(); strip && strip->cgContains(p)) {
        press_->receiver = world_.dockPid;
        record(press_->receiver, "down", p);
        return;
    }
    const WindowRecord* hit = nullptr;
    for (CGWindowID id : world_.zOrder) {
        const WindowRecord* record = world_.window(id);
        if (!record || !shownOnScreen(world_, *record) || !world_.runningApp(record->pid)) continue;
        if (record->frame.cgContains(p)) {
            hit = record;
            break;
        }
    }
    if (!hit) {
        // A click on the desktop makes the Finder active, as on macOS.
        if (world_.runningApp(kFinderPid)) {
            press_->receiver = kFinderPid;
            world_.setFrontmost(kFinderPid);
            record(kFinderPid, "down", p);
        }
        return;
    }
    // A click raises the window and activates its app on the way down.
    press_->receiver = hit->pid;
    if (hit->closeButton && closeButtonRect(*hit).cgContains(p)) {
        press_->closeButtonOf = hit->id;
    } else if (p.y < hit->frame.minY() + kTitleBarHeight) {
        press_->titleBarOf = hit->id;
        press_->windowStart = hit->frame.origin;
    }
    world_.raise(hit->id);
    world_.setFrontmost(hit->pid);
    record(hit->pid, "down", p);
}

void SimWindowManager::mouseDragged(kit::Point p) {
    if (!press_) return;
    record(press_->receiver, "drag", p);
    if (!press_->titleBarOf) return;
    WindowRecord* window = world_.window(*press_->titleBarOf);
    if (!window) return;
    kit::Point origin{press_->windowStart.x + p.x - press_->start.x, press_->windowStart.y + p.y - press_->start.y};
    // The window server keeps a title bar below the menu bar of the display it is on.
    if (const ScreenRecord* screen = world_.screenForX(p.x, p.y))
        origin.y = std::max(origin.y, screen->frame.minY() + kMenuBarHeight);
    window->frame.origin = origin;
}

void SimWindowManager::mouseUp(kit::Point p) {
    std::optional<Press> press = press_;
    press_.reset();
    if (!press) {
        // An up whose down went elsewhere (a tap took it) still reaches the
        // window under the pointer.
        record(ownerAt(p), "up", p);
        return;
    }
    record(press->receiver, "up", p);
    // Buttons and Dock items act on a release over the same thing they were pressed on.
    if (press->closeButtonOf) {
        const WindowRecord* record = world_.window(*press->closeButtonOf);
        if (record && closeButtonRect(*record).cgContains(p)) world_.closeWindow(*press->closeButtonOf);
        return;
    }
    if (press->dockItem) {
        std::vector<kit::Rect> dock = world_.dockLayout();
        for (std::size_t i = 0; i < dock.size(); ++i) {
            if (world_.dockItems[i].id != *press->dockItem || !dock[i].cgContains(p)) continue;
            // Opening may change the Dock's items: the copy stays valid.
            const DockItemRecord item = world_.dockItems[i];
            world_.openDockItem(item);
            return;
        }
    }
}

}  // namespace sim
