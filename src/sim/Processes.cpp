#include "sim/Processes.h"

#include <algorithm>

#include "sim/AppIcon.h"
#include "sim/Fingerprint.h"
#include "sim/OwnProcess.h"
#include "sim/Spaces.h"
#include "sim/World.h"

namespace sim {

pid_t Processes::add(const AppSpec& spec) {
    std::lock_guard lock(world_.mutex);
    pid_t pid = world_.allocatePid(spec.pid);
    auto identity = std::make_shared<ProcessIdentity>();
    identity->pid = pid;
    identity->bundleId = spec.bundleId;
    identity->name = spec.name;
    identity->bundlePath = spec.bundlePath.value_or("/Applications/" + spec.name + ".app");
    identity->icon = spec.hasIcon ? makeAppIcon(spec.bundleId) : nullptr;
    AppRecord record;
    record.identity = std::move(identity);
    record.launched = spec.running;
    record.inDock = spec.inDock;
    if (spec.inDock) world_.addDockApplication(*record.identity);
    // A pid given again names a new process; the old one's handles stay terminated.
    if (AppRecord* old = world_.app(pid)) {
        world_.terminate(pid);
        old->identity->terminated.store(true);
    }
    world_.apps[pid] = std::move(record);
    auto& order = world_.launchOrder;
    order.erase(std::remove(order.begin(), order.end(), pid), order.end());
    order.push_back(pid);
    return pid;
}

void Processes::quit(pid_t pid) {
    if (pid == own_.pid()) {
        own_.terminate();
        return;
    }
    std::lock_guard lock(world_.mutex);
    world_.terminate(pid);
}

void Processes::setFrontmost(pid_t pid, std::optional<CGWindowID> window) {
    std::lock_guard lock(world_.mutex);
    if (!world_.runningApp(pid)) return;
    if (window) {
        WindowRecord* record = world_.window(*window);
        if (record && record->pid == pid) {
            // Only a window on screen can be focused.
            if (record->minimized) world_.notifyAX(pid, *window, "AXWindowDeminiaturized");
            record->minimized = false;
            world_.raise(*window);
            // Picked in Mission Control: its display shows its Space.
            switchSpace(world_, record->space);
        }
    }
    world_.activate(pid);
}

std::optional<AppInfo> Processes::info(pid_t pid) const {
    std::lock_guard lock(world_.mutex);
    const AppRecord* record = world_.app(pid);
    if (!record) return std::nullopt;
    AppInfo info;
    info.pid = pid;
    info.bundleId = record->identity->bundleId;
    info.name = record->identity->name;
    info.bundlePath = record->identity->bundlePath;
    info.running = record->running();
    info.frontmost = info.running && world_.frontmost == pid;
    if (info.running) info.focusedWindow = world_.focusedWindow(pid);
    return info;
}

std::optional<pid_t> Processes::pidForName(const std::string& name) const {
    std::lock_guard lock(world_.mutex);
    std::optional<pid_t> stopped;
    for (auto it = world_.launchOrder.rbegin(); it != world_.launchOrder.rend(); ++it) {
        const AppRecord* record = world_.app(*it);
        if (!record || record->identity->name != name) continue;
        if (record->running()) return *it;
        if (!stopped) stopped = *it;
    }
    return stopped;
}

std::optional<pid_t> Processes::frontmost() const {
    std::lock_guard lock(world_.mutex);
    return world_.frontmost;
}

void Processes::fingerprint(Fingerprint& f) const {
    std::lock_guard lock(world_.mutex);
    f.add(world_.frontmost.value_or(-1));
    for (const auto& [pid, app] : world_.apps) {
        f.add(pid);
        f.add(app.running());
    }
}

}  // namespace sim
