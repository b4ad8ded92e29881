#pragma once

#include "platform/EventMonitors.h"

namespace macos {

// NSEvent's global monitors.
class MacEventMonitors final : public platform::EventMonitors {
public:
    platform::EventMonitorRef addGlobalMonitorForEventsMatchingMask(
        platform::NSEventMask mask, std::function<void(const platform::NSEvent&)> handler) override;
    void removeMonitor(const platform::EventMonitorRef& monitor) override;
};

}  // namespace macos
