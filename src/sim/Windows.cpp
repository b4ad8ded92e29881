#include "sim/Windows.h"

#include <algorithm>

#include "sim/Fingerprint.h"
#include "sim/SimCapture.h"
#include "sim/Spaces.h"
#include "sim/World.h"

namespace sim {

CGWindowID Windows::add(const WindowSpec& spec) {
    std::lock_guard lock(world_.mutex);
    CGWindowID id = world_.allocateWindowId(spec.id);
    if (world_.window(id)) world_.closeWindow(id);
    WindowRecord record;
    record.id = id;
    record.pid = spec.pid;
    record.title = spec.title;
    record.frame = spec.frame;
    record.subrole = spec.subrole;
    record.minimized = spec.minimized;
    record.closeButton = spec.closeButton;
    record.depth = std::max(0, spec.depth);
    record.minimumSize = spec.minimumSize;
    record.refusesMove = spec.refusesMove;
    record.refusesResize = spec.refusesResize;
    record.space = spec.space.value_or(spaceForFrame(world_, spec.frame));
    world_.windows[id] = std::move(record);
    world_.zOrder.insert(world_.zOrder.begin(), id);
    world_.notifyAX(spec.pid, id, "AXWindowCreated");
    return id;
}

namespace {

WindowInfo describe(const World& w, const WindowRecord& record) {
    WindowInfo info;
    info.id = record.id;
    info.pid = record.pid;
    info.exists = true;
    info.title = record.title;
    info.frame = record.frame;
    info.minimized = record.minimized;
    info.focused = w.frontmost == record.pid && w.focusedWindow(record.pid) == record.id;
    info.space = record.space;
    info.onCurrentSpace = onCurrentSpace(w, record);
    return info;
}

}  // namespace

void Windows::close(CGWindowID id) {
    std::lock_guard lock(world_.mutex);
    world_.closeWindow(id);
}

void Windows::setTitle(CGWindowID id, const std::string& title) {
    std::lock_guard lock(world_.mutex);
    WindowRecord* record = world_.window(id);
    if (!record || record->title == title) return;
    record->title = title;
    world_.notifyAX(record->pid, id, "AXTitleChanged");
}

WindowInfo Windows::info(CGWindowID id) const {
    std::lock_guard lock(world_.mutex);
    const WindowRecord* record = world_.window(id);
    if (!record || !world_.runningApp(record->pid)) {
        WindowInfo gone;
        gone.id = id;
        return gone;
    }
    return describe(world_, *record);
}

std::vector<WindowInfo> Windows::all() const {
    std::lock_guard lock(world_.mutex);
    std::vector<WindowInfo> result;
    for (CGWindowID id : world_.zOrder) {
        const WindowRecord* record = world_.window(id);
        if (record && world_.runningApp(record->pid)) result.push_back(describe(world_, *record));
    }
    return result;
}

std::vector<std::uint32_t> Windows::pixels(CGWindowID id, int pixelWidth, int pixelHeight) const {
    std::string title;
    std::string bundleId;
    kit::Size size;
    bool dark = false;
    {
        std::lock_guard lock(world_.mutex);
        const WindowRecord* record = world_.window(id);
        const AppRecord* app = record ? world_.runningApp(record->pid) : nullptr;
        if (!app) return {};
        title = record->title;
        bundleId = app->identity->bundleId;
        size = record->frame.size;
        dark = world_.darkAppearance;
    }
    if (pixelWidth <= 0 || pixelHeight <= 0) return {};
    return renderWindow(title, bundleId, id, size, pixelWidth, pixelHeight, dark);
}

void Windows::fingerprint(Fingerprint& f) const {
    std::lock_guard lock(world_.mutex);
    for (CGWindowID id : world_.zOrder) {
        const WindowRecord* record = world_.window(id);
        if (!record) continue;
        f.add(id);
        f.add(world_.runningApp(record->pid) != nullptr);
        f.add(record->title);
        f.add(record->frame);
        f.add(record->minimized);
    }
}

}  // namespace sim
