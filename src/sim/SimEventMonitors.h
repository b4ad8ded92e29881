#pragma once

#include <memory>
#include <vector>

#include "platform/EventMonitors.h"
#include "sim/Graveyard.h"
#include "sim/Service.h"
#include "sim/World.h"

namespace sim {

// NSEvent's global monitors: they get a copy of each event the window server
// sends to another application, after the taps had their say, and nothing of
// what goes to the process's own windows.
class SimEventMonitors final : public platform::EventMonitors, public Service {
public:
    SimEventMonitors(World& world, Graveyard& graveyard) : world_(world), graveyard_(graveyard) {}

    platform::EventMonitorRef addGlobalMonitorForEventsMatchingMask(
        platform::NSEventMask mask, std::function<void(const platform::NSEvent&)> handler) override;
    void removeMonitor(const platform::EventMonitorRef& monitor) override;

    // --- the desktop's side ------------------------------------------------------
    // An event on its way to another application.
    void deliver(const platform::CGEvent& event);
    std::size_t count() const { return monitors_.size(); }
    // Every kind of event some monitor of the process watches.
    platform::NSEventMask watchedEvents() const;
    // The process ended: its monitors go with it.
    void endProcess() override;

private:
    struct Monitor;

    World& world_;
    Graveyard& graveyard_;
    std::vector<std::shared_ptr<Monitor>> monitors_;
};

}  // namespace sim
