#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/EventTaps.h"
#include "sim/World.h"

namespace sim {

// One event as an application received it.
struct ReceivedEvent {
    std::string type;   // "down", "drag", "up", "key", "scroll"
    kit::Point at;      // top-left global coordinates
};

// What the window server and the other applications do with the events that
// reach them: a press raises the window under it and makes its application
// frontmost, a drag from a title bar moves the window, the close button and
// the Dock's items act on release, keys go to the frontmost application and
// the wheel to the window under the pointer or to the Dock. Every application
// keeps what it received.
class SimWindowManager {
public:
    // The strip along a window's top that drags it around.
    static constexpr double kTitleBarHeight = 28;

    explicit SimWindowManager(World& world) : world_(world) {}

    void deliver(const platform::CGEvent& event);
    // Since the previous take for that process.
    std::vector<ReceivedEvent> takeReceived(pid_t pid);
    // A process that starts afresh starts with nothing received.
    void forget(pid_t pid);

private:
    struct Press {
        std::optional<pid_t> receiver;
        std::optional<CGWindowID> closeButtonOf;
        std::optional<std::uint32_t> dockItem;
        std::optional<CGWindowID> titleBarOf;
        kit::Point start;
        kit::Point windowStart;
    };

    // Callers hold the world's mutex.
    void mouseDown(kit::Point p);
    void mouseDragged(kit::Point p);
    void mouseUp(kit::Point p);
    std::optional<pid_t> ownerAt(kit::Point p) const;
    void record(std::optional<pid_t> pid, const char* type, kit::Point at);

    World& world_;
    std::optional<Press> press_;
    std::map<pid_t, std::vector<ReceivedEvent>> received_;
};

}  // namespace sim
