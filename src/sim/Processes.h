#pragma once

#include <optional>
#include <string>

#include "platform/Platform.h"
#include "sim/Service.h"

namespace sim {

class OwnProcess;
struct World;

using platform::CGWindowID;
using platform::pid_t;

struct AppSpec {
    std::string bundleId;
    std::string name;
    std::optional<pid_t> pid;               // counts up from 500 when absent
    std::optional<std::string> bundlePath;  // defaults to /Applications/<name>.app
    bool running = true;
    bool inDock = true;                     // used by the Dock, when there is one
    bool hasIcon = true;                    // false: the workspace hands out no icon for it
};

struct AppInfo {
    pid_t pid = 0;
    std::string bundleId;
    std::string name;
    std::string bundlePath;
    bool running = false;
    bool frontmost = false;
    std::optional<CGWindowID> focusedWindow;
};

// The other applications' processes, as the system launches, activates and
// ends them.
class Processes final : public Service {
public:
    Processes(World& world, OwnProcess& own) : world_(world), own_(own) {}

    pid_t add(const AppSpec& spec);
    // Durazizi's own pid ends its process as terminate: would.
    void quit(pid_t pid);
    void setFrontmost(pid_t pid, std::optional<CGWindowID> window = std::nullopt);
    std::optional<AppInfo> info(pid_t pid) const;
    // The latest running process of that name, else the latest that ran.
    std::optional<pid_t> pidForName(const std::string& name) const;
    std::optional<pid_t> frontmost() const;

    void fingerprint(Fingerprint& f) const override;

private:
    World& world_;
    OwnProcess& own_;
};

}  // namespace sim
