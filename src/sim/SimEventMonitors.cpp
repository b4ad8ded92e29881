#include "sim/SimEventMonitors.h"

#include <algorithm>

namespace sim {

struct SimEventMonitors::Monitor final : platform::EventMonitor {
    platform::NSEventMask mask = 0;
    std::function<void(const platform::NSEvent&)> handler;
    bool removed = false;
};

platform::EventMonitorRef SimEventMonitors::addGlobalMonitorForEventsMatchingMask(
    platform::NSEventMask mask, std::function<void(const platform::NSEvent&)> handler) {
    if (!handler) return nullptr;
    auto monitor = std::make_shared<Monitor>();
    monitor->mask = mask;
    monitor->handler = std::move(handler);
    monitors_.push_back(monitor);
    return monitor;
}

void SimEventMonitors::removeMonitor(const platform::EventMonitorRef& monitor) {
    auto it = std::find(monitors_.begin(), monitors_.end(), monitor);
    if (it == monitors_.end()) return;
    (*it)->removed = true;
    // The handler may be the one running now.
    graveyard_.bury(std::shared_ptr<void>(*it));
    monitors_.erase(it);
}

void SimEventMonitors::deliver(const platform::CGEvent& event) {
    platform::NSEvent copy;
    copy.type = event.type;
    copy.modifierFlags = event.flags;
    {
        std::lock_guard lock(world_.mutex);
        copy.locationInWindow = {event.location.x, world_.primaryHeight() - event.location.y};
    }
    // A handler may add or remove monitors: walk a copy.
    std::vector<std::shared_ptr<Monitor>> monitors = monitors_;
    for (const auto& monitor : monitors) {
        if (monitor->removed || event.type >= 64 || !(monitor->mask & (platform::NSEventMask{1} << event.type))) continue;
        CallbackScope scope(graveyard_);
        monitor->handler(copy);
    }
}

platform::NSEventMask SimEventMonitors::watchedEvents() const {
    platform::NSEventMask mask = 0;
    for (const auto& monitor : monitors_) mask |= monitor->mask;
    return mask;
}

void SimEventMonitors::endProcess() {
    for (auto& monitor : monitors_) {
        monitor->removed = true;
        graveyard_.bury(std::shared_ptr<void>(monitor));
    }
    monitors_.clear();
}

}  // namespace sim
