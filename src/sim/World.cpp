#include "sim/World.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "sim/Spaces.h"

namespace sim {

namespace {
std::atomic<std::uint64_t> worldSerials{1};
}  // namespace

World::World() : serial(worldSerials.fetch_add(1)) {
    // The Finder always runs: the desktop and its menu bar are its.
    auto identity = std::make_shared<ProcessIdentity>();
    identity->pid = kFinderPid;
    identity->bundleId = kFinderBundleId;
    identity->name = kFinderName;
    identity->bundlePath = "/System/Library/CoreServices/Finder.app";
    identity->icon = kit::Image::empty();
    AppRecord record;
    record.identity = std::move(identity);
    record.inDock = false;
    apps[kFinderPid] = std::move(record);
    launchOrder.push_back(kFinderPid);
}

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
    double bottom = f.maxY();
    if (dockPid && &screen == primaryScreen()) bottom -= dockIconSize + kDockStripPadding;
    return {f.minX(), f.minY() + kMenuBarHeight, f.width(), std::max(0.0, bottom - f.minY() - kMenuBarHeight)};
}

std::vector<kit::Rect> World::dockLayout() const {
    std::vector<kit::Rect> frames;
    const ScreenRecord* screen = primaryScreen();
    if (!dockPid || !screen || dockItems.empty()) return frames;
    const double icon = dockIconSize;
    double row = kDockItemGap * static_cast<double>(dockItems.size() - 1);
    for (const DockItemRecord& item : dockItems)
        row += item.kind == DockItemKind::Separator ? kDockSeparatorWidth : icon;
    double x = screen->frame.minX() + (screen->frame.width() - row) / 2;
    const double top = screen->frame.maxY() - kDockBottomMargin - icon;
    for (const DockItemRecord& item : dockItems) {
        double width = item.kind == DockItemKind::Separator ? kDockSeparatorWidth : icon;
        frames.push_back({x, top, width, icon});
        x += width + kDockItemGap;
    }
    return frames;
}

std::optional<kit::Rect> World::dockStrip() const {
    const ScreenRecord* screen = primaryScreen();
    if (!dockPid || !screen) return std::nullopt;
    const kit::Rect& f = screen->frame;
    double height = dockIconSize + kDockStripPadding;
    return kit::Rect{f.minX(), f.maxY() - height, f.width(), height};
}

const DockItemRecord* World::dockItem(std::uint32_t id) const {
    for (const DockItemRecord& item : dockItems)
        if (item.id == id) return &item;
    return nullptr;
}

void World::addDockApplication(const ProcessIdentity& app) {
    for (const DockItemRecord& item : dockItems)
        if (item.kind == DockItemKind::Application && item.bundlePath == app.bundlePath) return;
    DockItemRecord item;
    item.id = nextDockItemId++;
    item.kind = DockItemKind::Application;
    item.title = app.name;
    item.bundleId = app.bundleId;
    item.bundlePath = app.bundlePath;
    dockItems.push_back(std::move(item));
}

void World::launchDock() {
    if (dockPid && runningApp(*dockPid)) return;
    pid_t pid = nextDockPid++;
    while (apps.count(pid)) pid = nextDockPid++;
    auto identity = std::make_shared<ProcessIdentity>();
    identity->pid = pid;
    identity->bundleId = kDockBundleId;
    identity->name = kDockName;
    identity->bundlePath = kDockBundlePath;
    identity->icon = kit::Image::empty();
    AppRecord record;
    record.identity = std::move(identity);
    record.inDock = false;
    apps[pid] = std::move(record);
    launchOrder.push_back(pid);
    dockPid = pid;
}

void World::quitDock() {
    if (!dockPid) return;
    terminate(*dockPid);
    dockPid.reset();
}

void World::openDockItem(const DockItemRecord& item) {
    if (item.kind == DockItemKind::Application && !item.own) {
        openDockApplication(item);
    } else if (item.kind == DockItemKind::Application) {
        activate(ownPid);
    } else if (item.kind == DockItemKind::Minimized && item.ownWindow && restoreOwnWindow) {
        // Copied: restoring takes the tile (and `item`) out of the Dock.
        const std::int64_t number = item.ownWindow;
        std::function<void(std::int64_t)> restore = restoreOwnWindow;
        restore(number);
        activate(ownPid);
    }
}

void World::addOwnDockTile(kit::ImageRef icon) {
    removeOwnDockTile();
    DockItemRecord item;
    item.id = nextDockItemId++;
    item.kind = DockItemKind::Application;
    item.title = kOwnName;
    item.bundleId = kOwnBundleId;
    item.bundlePath = std::string("/Applications/") + kOwnName + ".app";
    item.own = true;
    item.icon = std::move(icon);
    // A running application that is not kept in the Dock comes after the others.
    auto at = dockItems.begin();
    for (auto it = dockItems.begin(); it != dockItems.end(); ++it)
        if (it->kind == DockItemKind::Application) at = it + 1;
    dockItems.insert(at, std::move(item));
}

void World::removeOwnDockTile() {
    std::erase_if(dockItems, [](const DockItemRecord& item) { return item.own && !item.ownWindow; });
}

void World::addMinimizedOwnWindow(std::int64_t windowNumber, const std::string& title) {
    removeMinimizedOwnWindow(windowNumber);
    DockItemRecord item;
    item.id = nextDockItemId++;
    item.kind = DockItemKind::Minimized;
    item.title = title;
    item.own = true;
    item.ownWindow = windowNumber;
    auto trash = std::find_if(dockItems.begin(), dockItems.end(),
                              [](const DockItemRecord& i) { return i.kind == DockItemKind::Trash; });
    dockItems.insert(trash, std::move(item));
}

void World::removeMinimizedOwnWindow(std::int64_t windowNumber) {
    std::erase_if(dockItems, [&](const DockItemRecord& item) { return item.own && item.ownWindow == windowNumber; });
}

void World::openDockApplication(const DockItemRecord& item) {
    const pid_t found = launch([&](const ProcessIdentity& p) { return p.bundlePath == item.bundlePath; });
    if (!found) return;   // an item of an app the world does not know opens nothing
    activate(found);
}

pid_t World::launch(const std::function<bool(const ProcessIdentity&)>& matches) {
    // The most recently launched process of that bundle, running or not.
    pid_t found = 0;
    for (auto it = launchOrder.rbegin(); it != launchOrder.rend(); ++it) {
        const AppRecord* record = app(*it);
        if (record && !record->own && matches(*record->identity)) {
            found = *it;
            break;
        }
    }
    AppRecord* record = found ? app(found) : nullptr;
    if (record && !record->running()) {
        if (!record->identity->terminated.load()) {
            record->launched = true;   // installed, never started: it starts now
        } else {
            // A quit app starts as a new process; handles to the old one stay terminated.
            auto identity = std::make_shared<ProcessIdentity>();
            identity->pid = allocatePid(std::nullopt);
            identity->bundleId = record->identity->bundleId;
            identity->name = record->identity->name;
            identity->bundlePath = record->identity->bundlePath;
            identity->icon = record->identity->icon;
            AppRecord fresh;
            fresh.identity = std::move(identity);
            fresh.inDock = record->inDock;
            found = fresh.identity->pid;
            apps[found] = std::move(fresh);
            launchOrder.push_back(found);
        }
    }
    return found;
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
        if (w->minimized) minimizedOnes.push_back(id);
        else if (onCurrentSpace(*this, *w)) shown.push_back(id);
    }
    shown.insert(shown.end(), minimizedOnes.begin(), minimizedOnes.end());
    return shown;
}

std::optional<CGWindowID> World::focusedWindow(pid_t pid) const {
    for (CGWindowID id : zOrder) {
        const WindowRecord* w = window(id);
        if (w && w->pid == pid && shownOnScreen(*this, *w)) return id;
    }
    return std::nullopt;
}

pid_t World::allocatePid(std::optional<pid_t> wanted) {
    // Past the largest pid the count starts again from the first, skipping
    // pids in use, as the kernel's does.
    auto after = [](pid_t pid) { return pid == std::numeric_limits<pid_t>::max() ? kFirstPid : pid + 1; };
    if (wanted) {
        if (*wanted >= nextPid) nextPid = after(*wanted);
        return *wanted;
    }
    for (std::size_t tries = 0; apps.count(nextPid) && tries <= apps.size(); ++tries) nextPid = after(nextPid);
    const pid_t pid = nextPid;
    nextPid = after(pid);
    return pid;
}

CGWindowID World::allocateWindowId(std::optional<CGWindowID> wanted) {
    if (wanted) {
        nextWindowId = std::max(nextWindowId, *wanted + 1);
        return *wanted;
    }
    while (windows.count(nextWindowId)) ++nextWindowId;
    return nextWindowId++;
}

bool World::unplugScreen(std::size_t index) {
    if (index >= screens.size()) return false;
    const kit::Rect gone = screens[index].frame;
    screens.erase(screens.begin() + static_cast<std::ptrdiff_t>(index));
    removeDisplaySpaces(*this, index);
    const ScreenRecord* primary = primaryScreen();
    if (!primary) return true;
    // Moved to the primary display at the same place relative to its
    // top-left, kept inside `area`.
    auto rehome = [&](kit::Point p, kit::Size size, kit::Rect area) {
        kit::Point moved{primary->frame.minX() + p.x - gone.minX(), primary->frame.minY() + p.y - gone.minY()};
        moved.x = std::clamp(moved.x, area.minX(), std::max(area.minX(), area.maxX() - size.width));
        moved.y = std::clamp(moved.y, area.minY(), std::max(area.minY(), area.maxY() - size.height));
        return moved;
    };
    auto onSomeDisplay = [&](const kit::Rect& frame) {
        return std::any_of(screens.begin(), screens.end(),
                           [&](const ScreenRecord& screen) { return screen.frame.intersects(frame); });
    };
    const kit::Rect target = visibleFrame(*primary);
    for (auto& [id, w] : windows) {
        // As the window server does: what was shown on the display, or would
        // now be shown on none (a window dragged past its far edge), comes
        // back where the user can reach it.
        if (!gone.cgContains({w.frame.midX(), w.frame.midY()}) && onSomeDisplay(w.frame)) continue;
        w.frame.origin = rehome(w.frame.origin, w.frame.size, target);
    }
    // The pointer cannot stay on a display that is gone.
    if (gone.cgContains(pointer) && !screenForX(pointer.x, pointer.y)) {
        pointer = rehome(pointer, {1, 1}, primary->frame);
    }
    return true;
}

void World::raise(CGWindowID id) {
    auto it = std::find(zOrder.begin(), zOrder.end(), id);
    if (it == zOrder.end()) return;
    zOrder.erase(it);
    zOrder.insert(zOrder.begin(), id);
    if (const WindowRecord* w = window(id)) notifyAX(w->pid, id, "AXFocusedWindowChanged");
}

void World::notifyAX(pid_t pid, CGWindowID window, const std::string& notification) const {
    if (axNotify) axNotify(pid, window, notification);
}

void World::closeWindow(CGWindowID id) {
    if (const WindowRecord* w = window(id)) notifyAX(w->pid, id, "AXUIElementDestroyed");
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
    std::erase(activationOrder, pid);
    // What the process showed in the Dock goes with it.
    if (pid == ownPid) std::erase_if(dockItems, [](const DockItemRecord& item) { return item.own; });
}

void World::setFrontmost(pid_t pid) {
    frontmost = pid;
    std::erase(activationOrder, pid);
    activationOrder.push_back(pid);
}

void World::activate(pid_t pid) {
    if (!runningApp(pid)) return;
    followActivation(*this, pid);
    setFrontmost(pid);
    if (auto focused = focusedWindow(pid)) raise(*focused);
}

void World::activateNextAfter(pid_t pid) {
    if (frontmost != pid) return;
    for (auto it = activationOrder.rbegin(); it != activationOrder.rend(); ++it) {
        if (*it == pid || *it == dockPid || !runningApp(*it)) continue;
        activate(*it);
        return;
    }
    activate(kFinderPid);
    if (frontmost == pid) frontmost.reset();
}

}  // namespace sim
