#include "sim/World.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace sim {

namespace {
std::atomic<std::uint64_t> worldSerials{1};
}  // namespace

World::World() : serial(worldSerials.fetch_add(1)) {}

const AppRecord* World::app(pid_t pid) const {
    auto it = apps.find(pid);
    return it == apps.end() ? nullptr : &it->second;
}

AppRecord* World::app(pid_t pid) {
    auto it = apps.find(pid);
    return it == apps.end() ? nullptr : &it->second;
}

const AppRecord* World::runningApp(pid_t pid) const {
    const AppRecord* record = app(pid);
    return record && record->running() ? record : nullptr;
}

const WindowRecord* World::window(CGWindowID id) const {
    auto it = windows.find(id);
    return it == windows.end() ? nullptr : &it->second;
}

WindowRecord* World::window(CGWindowID id) {
    auto it = windows.find(id);
    return it == windows.end() ? nullptr : &it->second;
}

const ScreenRecord* World::primaryScreen() const {
    for (const ScreenRecord& s : screens)
        if (s.frame.origin.x == 0 && s.frame.origin.y == 0) return &s;
    return screens.empty() ? nullptr : &screens.front();
}

double World::primaryHeight() const {
    const ScreenRecord* primary = primaryScreen();
    return primary ? primary->frame.height() : 0;
}

kit::Rect World::visibleFrame(const ScreenRecord& screen) const {
    if (screen.visible) return *screen.visible;
    const kit::Rect& f = screen.frame;
    return {f.minX(), f.minY() + kMenuBarHeight, f.width(), std::max(0.0, f.height() - kMenuBarHeight)};
}

const ScreenRecord* World::screenForX(double x, double y) const {
    const ScreenRecord* best = nullptr;
    double bestDistance = std::numeric_limits<double>::infinity();
    for (const ScreenRecord& s : screens) {
        if (x < s.frame.minX() || x >= s.frame.maxX()) continue;
        double distance = 0;
        if (y < s.frame.minY()) distance = s.frame.minY() - y;
        else if (y >= s.frame.maxY()) distance = y - s.frame.maxY();
        if (distance < bestDistance) {
            best = &s;
            bestDistance = distance;
        }
    }
    return best;
}

bool World::inMenuBar(kit::Point p) const {
    for (const ScreenRecord& s : screens)
        if (s.frame.cgContains(p) && p.y < s.frame.minY() + kMenuBarHeight) return true;
    return false;
}

std::vector<CGWindowID> World::windowsOf(pid_t pid) const {
    std::vector<CGWindowID> shown;
    std::vector<CGWindowID> minimizedOnes;
    for (CGWindowID id : zOrder) {
        const WindowRecord* w = window(id);
        if (!w || w->pid != pid) continue;
        (w->minimized ? minimizedOnes : shown).push_back(id);
    }
    shown.insert(shown.end(), minimizedOnes.begin(), minimizedOnes.end());
    return shown;
}

std::optional<CGWindowID> World::focusedWindow(pid_t pid) const {
    for (CGWindowID id : zOrder) {
        const WindowRecord* w = window(id);
        if (w && w->pid == pid && !w->minimized) return id;
    }
    return std::nullopt;
}

pid_t World::allocatePid(std::optional<pid_t> wanted) {
    if (wanted) {
        nextPid = std::max(nextPid, *wanted + 1);
        return *wanted;
    }
    while (apps.count(nextPid)) ++nextPid;
    return nextPid++;
}

CGWindowID World::allocateWindowId(std::optional<CGWindowID> wanted) {
    if (wanted) {
        nextWindowId = std::max(nextWindowId, *wanted + 1);
        return *wanted;
    }
    while (windows.count(nextWindowId)) ++nextWindowId;
    return nextWindowId++;
}

void World::raise(CGWindowID id) {
    auto it = std::find(zOrder.begin(), zOrder.end(), id);
    if (it == zOrder.end()) return;
    zOrder.erase(it);
    zOrder.insert(zOrder.begin(), id);
}

void World::closeWindow(CGWindowID id) {
    windows.erase(id);
    zOrder.erase(std::remove(zOrder.begin(), zOrder.end(), id), zOrder.end());
}

void World::terminate(pid_t pid) {
    AppRecord* record = app(pid);
    if (!record || !record->running()) return;
    record->identity->terminated.store(true);
    std::vector<CGWindowID> gone;
    for (const auto& [id, w] : windows)
        if (w.pid == pid) gone.push_back(id);
    for (CGWindowID id : gone) closeWindow(id);
    if (frontmost == pid) frontmost.reset();
}

void World::activate(pid_t pid) {
    if (!runningApp(pid)) return;
    frontmost = pid;
    if (auto focused = focusedWindow(pid)) raise(*focused);
}

}  // namespace sim
