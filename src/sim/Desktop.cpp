#include "sim/Desktop.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "sim/AppIcon.h"
#include "sim/Graveyard.h"
#include "sim/SimAccessibility.h"
#include "sim/SimApplication.h"
#include "sim/SimCapture.h"
#include "sim/SimClock.h"
#include "sim/SimEventMonitors.h"
#include "sim/SimEventTaps.h"
#include "sim/SimFiles.h"
#include "sim/SimRunLoop.h"
#include "sim/SimScreens.h"
#include "sim/SimSymbols.h"
#include "sim/SimWindowManager.h"
#include "sim/SimWindowServer.h"
#include "sim/SimWorkspace.h"
#include "sim/World.h"

namespace sim {

// Members are declared so that the graveyard outlives everything that may
// bury something in it, and the world outlives every service reading it.
struct Desktop::State {
    Graveyard graveyard;
    std::shared_ptr<World> world = std::make_shared<World>();
    SimClock clock{kDefaultWallClock};
    SimRunLoop runLoop{clock, graveyard};
    SimAccessibility accessibility{*world};
    SimScreens screens{*world};
    SimWorkspace workspace{world};
    SimCapture capture{*world};
    SimWindowServer windowServer{*world, clock, runLoop, graveyard};
    SimSymbols symbols;
    SimEventTaps eventTaps{*world, runLoop, graveyard};
    SimEventMonitors eventMonitors{*world, graveyard};
    SimWindowManager windowManager{*world};
    std::unique_ptr<SimApplication> application;
    std::shared_ptr<platform::Defaults> defaults = std::make_shared<MemoryDefaults>();
    std::shared_ptr<platform::LoginService> loginService = std::make_shared<MemoryLoginService>();
    std::shared_ptr<platform::Files> files = std::make_shared<SimFiles>();

    // Pointer routing to our own windows.
    std::weak_ptr<SimWindow> hovered;
    std::weak_ptr<SimWindow> pressed;
    // The left button and the modifiers held with it.
    bool buttonDown = false;
    platform::CGEventFlags buttonFlags = 0;
    // A press the taps swallowed: the window under it and its frame then,
    // which tells a move from a resize by what happens to the window.
    struct TappedPress {
        std::optional<CGWindowID> window;
        kit::Rect frame;
    };
    std::optional<TappedPress> tappedPress;

    // changeCount(): the fingerprint of what was visible when last asked.
    std::uint64_t shownFingerprint = 0;
    std::uint64_t changes = 0;

    // The hardware posts an event: the taps see it first, and may swallow it.
    bool passesTaps(platform::CGEventType type, kit::Point at, platform::CGEventFlags flags,
                    std::int64_t keycode = 0, double lines = 0, double points = 0) {
        auto event = std::make_shared<platform::CGEvent>();
        event->type = type;
        event->location = at;
        event->flags = flags;
        event->keycode = keycode;
        event->lineDelta = lines;
        event->pointDelta = points;
        reap();
        bool passed = eventTaps.filter(event) != nullptr;
        reap();
        return passed;
    }

    // An event on its way to another application: the window manager and the
    // application act on it, and global monitors get their copy.
    void deliverToWorld(platform::CGEventType type, kit::Point at, platform::CGEventFlags flags) {
        platform::CGEvent event;
        event.type = type;
        event.location = at;
        event.flags = flags;
        windowManager.deliver(event);
        eventMonitors.deliver(event);
        reap();
    }

    // Clears what a dead process left behind, unless one of its callbacks is
    // still on the stack.
    void reap() { graveyard.clearIfIdle(); }

    void launchOwnProcess(pid_t pid) {
        std::lock_guard lock(world->mutex);
        auto identity = std::make_shared<ProcessIdentity>();
        identity->pid = pid;
        identity->bundleId = kOwnBundleId;
        identity->name = kOwnName;
        identity->bundlePath = std::string("/Applications/") + kOwnName + ".app";
        identity->icon = makeAppIcon(kOwnBundleId);
        AppRecord record;
        record.identity = std::move(identity);
        record.inDock = false;
        record.own = true;
        world->apps[pid] = std::move(record);
        world->launchOrder.push_back(pid);
        world->ownPid = pid;
    }
};

Desktop::Desktop() : state_(std::make_unique<State>()) {
    State& s = *state_;
    s.application = std::make_unique<SimApplication>(s.world, s.graveyard, [this] { terminateOwnProcess(); });
    s.launchOwnProcess(kFirstOwnPid);
}

Desktop::~Desktop() {
    State& s = *state_;
    // Background work may still call into the desktop: let it finish first.
    s.runLoop.shutdown();
    s.windowServer.endProcess();
    s.application->endProcess();
    s.graveyard.clear();
}

// --- platform::Platform -------------------------------------------------------

platform::Defaults& Desktop::defaults() { return *state_->defaults; }
platform::Clock& Desktop::clock() { return state_->clock; }
platform::RunLoop& Desktop::runLoop() { return state_->runLoop; }
platform::Accessibility& Desktop::accessibility() { return state_->accessibility; }
platform::Screens& Desktop::screens() { return state_->screens; }
platform::Workspace& Desktop::workspace() { return state_->workspace; }
platform::Files& Desktop::files() { return *state_->files; }
platform::LoginService& Desktop::loginService() { return *state_->loginService; }
platform::Application& Desktop::application() { return *state_->application; }
platform::Capture& Desktop::capture() { return state_->capture; }
platform::WindowServer& Desktop::windowServer() { return state_->windowServer; }
platform::Symbols& Desktop::symbols() { return state_->symbols; }
platform::EventTaps& Desktop::eventTaps() { return state_->eventTaps; }
platform::EventMonitors& Desktop::eventMonitors() { return state_->eventMonitors; }

void Desktop::useDefaults(std::shared_ptr<platform::Defaults> defaults) {
    if (!defaults) return;
    state_->graveyard.bury(std::move(state_->defaults));
    state_->defaults = std::move(defaults);
}

void Desktop::useLoginService(std::shared_ptr<platform::LoginService> service) {
    if (!service) return;
    state_->graveyard.bury(std::move(state_->loginService));
    state_->loginService = std::move(service);
}

void Desktop::useFiles(std::shared_ptr<platform::Files> files) {
    if (!files) return;
    state_->graveyard.bury(std::move(state_->files));
    state_->files = std::move(files);
}

// --- time ----------------------------------------------------------------------

void Desktop::setWallClock(double secondsSince1970) { state_->clock.set(secondsSince1970); }

double Desktop::now() const { return state_->clock.read(); }

void Desktop::advance(double seconds) {
    State& s = *state_;
    s.reap();
    seconds = std::max(seconds, 0.0);
    if (s.clock.realTime()) {
        s.clock.shift(seconds);
        s.runLoop.runUntil(s.clock.read(), true);
    } else {
        double target = s.clock.read() + seconds;
        s.runLoop.runUntil(target, true);
        s.clock.advanceTo(target);
    }
    s.reap();
}

void Desktop::settle() {
    State& s = *state_;
    s.reap();
    s.runLoop.runUntil(s.clock.read(), true);
    s.reap();
}

void Desktop::setRealTime(bool on) { state_->clock.setRealTime(on); }

void Desktop::pump() {
    State& s = *state_;
    s.reap();
    s.runLoop.runUntil(s.clock.read(), false);
    s.reap();
}

// --- what the screen shows ---------------------------------------------------------

namespace {

// FNV-1a over the bytes of what is fed in: stable and cheap, and a missed
// change would need a 64-bit collision.
class Fingerprint {
public:
    template <typename T>
    void add(const T& value) {
        unsigned char bytes[sizeof(T)];
        std::memcpy(bytes, &value, sizeof(T));
        for (unsigned char b : bytes) mix(b);
    }
    void add(const std::string& text) {
        add(text.size());
        for (unsigned char c : text) mix(c);
    }
    void add(const kit::Rect& r) {
        add(r.origin.x);
        add(r.origin.y);
        add(r.size.width);
        add(r.size.height);
    }
    void add(const kit::Color& c) {
        add(static_cast<int>(c.semantic));
        add(c.red);
        add(c.green);
        add(c.blue);
        add(c.alpha);
    }
    std::uint64_t value() const { return h_; }

private:
    void mix(unsigned char b) {
        h_ ^= b;
        h_ *= 1099511628211ull;
    }
    std::uint64_t h_ = 14695981039346656037ull;
};

}  // namespace

std::uint64_t Desktop::changeCount() const {
    State& s = *state_;
    Fingerprint f;
    {
        World& w = *s.world;
        std::lock_guard lock(w.mutex);
        for (const ScreenRecord& screen : w.screens) f.add(screen.frame);
        f.add(w.frontmost.value_or(-1));
        for (CGWindowID id : w.zOrder) {
            const WindowRecord* record = w.window(id);
            if (!record) continue;
            f.add(id);
            f.add(w.runningApp(record->pid) != nullptr);
            f.add(record->title);
            f.add(record->frame);
            f.add(record->minimized);
        }
        for (const auto& [pid, app] : w.apps) {
            f.add(pid);
            f.add(app.running());
        }
        f.add(w.dockPid.value_or(-1));
        f.add(w.dockIconSize);
        for (const DockItemRecord& item : w.dockItems) {
            f.add(item.id);
            f.add(static_cast<int>(item.kind));
            f.add(item.title);
        }
    }
    f.add(reinterpret_cast<std::uintptr_t>(s.application->statusItemImage().get()));
    if (auto frame = s.application->statusItemFrame()) f.add(*frame);
    std::shared_ptr<SimWindow> key = s.windowServer.keyWindow();
    for (const auto& window : s.windowServer.windows()) {
        f.add(reinterpret_cast<std::uintptr_t>(window.get()));
        f.add(window->isVisible());
        f.add(window->frame());
        f.add(window->alphaValue());
        f.add(window->level());
        f.add(window->isOpaque());
        f.add(window->hasShadow());
        f.add(window->backgroundColor());
        f.add(window->appearance() ? static_cast<int>(*window->appearance()) : -1);
        f.add(reinterpret_cast<std::uintptr_t>(window->contentView().get()));
        f.add(window == key);
    }
    // The menu bar's clock shows minutes.
    f.add(std::floor(s.clock.read() / 60));
    if (f.value() != s.shownFingerprint) {
        s.shownFingerprint = f.value();
        ++s.changes;
    }
    return s.changes;
}

// --- screens and pointer ---------------------------------------------------------

void Desktop::addScreen(kit::Rect frame, std::optional<kit::Rect> visible) {
    std::lock_guard lock(state_->world->mutex);
    state_->world->screens.push_back({frame, visible});
}

bool Desktop::removeScreen(std::size_t index) {
    std::lock_guard lock(state_->world->mutex);
    return state_->world->unplugScreen(index);
}

void Desktop::movePointer(kit::Point topLeft) {
    State& s = *state_;
    if (s.buttonDown) {
        hoverPointer(topLeft);
        if (!s.passesTaps(platform::kCGEventLeftMouseDragged, topLeft, s.buttonFlags)) return;
        if (s.pressed.lock()) return;
        s.deliverToWorld(platform::kCGEventLeftMouseDragged, topLeft, s.buttonFlags);
        return;
    }
    hoverPointer(topLeft);
}

void Desktop::hoverPointer(kit::Point topLeft) {
    State& s = *state_;
    {
        std::lock_guard lock(s.world->mutex);
        s.world->pointer = topLeft;
    }
    s.reap();
    std::shared_ptr<SimWindow> target = s.windowServer.windowAt(topLeft);
    std::shared_ptr<SimWindow> previous = s.hovered.lock();
    bool active;
    {
        std::lock_guard lock(s.world->mutex);
        active = s.world->frontmost == s.world->ownPid;
    }
    {
        CallbackScope scope(s.graveyard);
        if (previous && previous != target) previous->router().pointerLeft();
        if (target) {
            target->syncContentView();
            target->router().setApplicationActive(active);
            target->router().setKeyWindow(s.windowServer.keyWindow() == target);
            target->router().pointerMoved(s.windowServer.toWindow(*target, topLeft));
        }
    }
    s.hovered = target;
    s.reap();
}

kit::Point Desktop::pointer() const {
    std::lock_guard lock(state_->world->mutex);
    return state_->world->pointer;
}

std::optional<kit::Rect> Desktop::primaryScreenFrame() const {
    std::lock_guard lock(state_->world->mutex);
    const ScreenRecord* primary = state_->world->primaryScreen();
    return primary ? std::optional<kit::Rect>(primary->frame) : std::nullopt;
}

void Desktop::mouseDown(kit::Point topLeft, platform::CGEventFlags flags) {
    State& s = *state_;
    hoverPointer(topLeft);
    s.buttonDown = true;
    s.buttonFlags = flags;
    s.pressed.reset();
    s.tappedPress.reset();
    if (!s.passesTaps(platform::kCGEventLeftMouseDown, topLeft, flags)) {
        State::TappedPress press;
        std::lock_guard lock(s.world->mutex);
        for (CGWindowID id : s.world->zOrder) {
            const WindowRecord* record = s.world->window(id);
            if (!record || record->minimized || !s.world->runningApp(record->pid)) continue;
            if (!record->frame.cgContains(topLeft)) continue;
            press.window = id;
            press.frame = record->frame;
            break;
        }
        s.tappedPress = press;
        return;
    }
    if (std::shared_ptr<SimWindow> target = s.windowServer.windowAt(topLeft)) {
        s.pressed = target;
        // A click in one of our windows activates Durazizi, unless the window
        // is a non-activating panel; a panel that becomes key only if needed
        // stays out of the way too.
        if (!(target->styleMask() & platform::NSWindowStyleMaskNonactivatingPanel)) {
            std::lock_guard lock(s.world->mutex);
            s.world->activate(s.world->ownPid);
        }
        if (!(target->isPanel() && target->becomesKeyOnlyIfNeeded())) s.windowServer.makeKey(target);
        {
            CallbackScope scope(s.graveyard);
            target->router().mouseDown(s.windowServer.toWindow(*target, topLeft));
        }
        s.reap();
        return;
    }
    s.deliverToWorld(platform::kCGEventLeftMouseDown, topLeft, flags);
}

void Desktop::mouseUp(kit::Point topLeft) {
    State& s = *state_;
    hoverPointer(topLeft);
    platform::CGEventFlags flags = s.buttonFlags;
    s.buttonDown = false;
    s.buttonFlags = 0;
    s.tappedPress.reset();
    std::shared_ptr<SimWindow> pressed = s.pressed.lock();
    s.pressed.reset();
    if (!s.passesTaps(platform::kCGEventLeftMouseUp, topLeft, flags)) return;
    if (pressed) {
        {
            CallbackScope scope(s.graveyard);
            pressed->router().mouseUp(s.windowServer.toWindow(*pressed, topLeft));
        }
        s.reap();
        return;
    }
    s.deliverToWorld(platform::kCGEventLeftMouseUp, topLeft, flags);
}

void Desktop::click(kit::Point topLeft, platform::CGEventFlags flags) {
    mouseDown(topLeft, flags);
    mouseUp(topLeft);
}

void Desktop::keyDown(std::int64_t keyCode, platform::CGEventFlags flags) {
    State& s = *state_;
    kit::Point at = pointer();
    if (!s.passesTaps(platform::kCGEventKeyDown, at, flags, keyCode)) return;
    platform::CGEvent event;
    event.type = platform::kCGEventKeyDown;
    event.location = at;
    event.flags = flags;
    event.keycode = keyCode;
    s.windowManager.deliver(event);
    s.eventMonitors.deliver(event);
    s.reap();
}

void Desktop::scrollWheel(kit::Point topLeft, double lines, double points, platform::CGEventFlags flags) {
    State& s = *state_;
    hoverPointer(topLeft);
    if (!s.passesTaps(platform::kCGEventScrollWheel, topLeft, flags, 0, lines, points)) return;
    // Our own windows do not scroll.
    if (s.windowServer.windowAt(topLeft)) return;
    s.deliverToWorld(platform::kCGEventScrollWheel, topLeft, flags);
}

std::vector<ReceivedEvent> Desktop::takeReceivedEvents(pid_t pid) { return state_->windowManager.takeReceived(pid); }

void Desktop::disableEventTaps(platform::CGEventType reason, bool whenRunLoopRuns) {
    state_->eventTaps.disableAll(reason, whenRunLoopRuns);
}

void Desktop::failEventTapCreate(bool fail) { state_->eventTaps.failCreate(fail); }

Desktop::EventTapInfo Desktop::eventTap() const {
    State& s = *state_;
    SimEventTaps::TapState tap = s.eventTaps.firstTap();
    EventTapInfo info;
    info.installed = tap.installed;
    info.enabled = tap.enabled;
    if (s.buttonDown && s.tappedPress && s.tappedPress->window) {
        std::lock_guard lock(s.world->mutex);
        const WindowRecord* record = s.world->window(*s.tappedPress->window);
        bool resized = record && record->frame.size != s.tappedPress->frame.size;
        info.mode = resized ? "resize" : "move";
    }
    return info;
}

// --- the Dock ---------------------------------------------------------------------

void Desktop::setDock(bool running, double iconSize) {
    World& w = *state_->world;
    std::lock_guard lock(w.mutex);
    if (iconSize > 0) w.dockIconSize = iconSize;
    if (running) w.launchDock();
    else w.quitDock();
}

void Desktop::restartDock() {
    World& w = *state_->world;
    std::lock_guard lock(w.mutex);
    w.quitDock();
    w.launchDock();
}

void Desktop::addDockItem(DockItemKind kind, const std::string& title) {
    World& w = *state_->world;
    std::lock_guard lock(w.mutex);
    DockItemRecord item;
    item.id = w.nextDockItemId++;
    item.kind = kind;
    item.title = title;
    if (kind == DockItemKind::Application) item.bundlePath = "/Applications/" + title + ".app";
    w.dockItems.push_back(std::move(item));
}

std::optional<kit::Rect> Desktop::dockItemFrame(const std::string& title) const {
    World& w = *state_->world;
    std::lock_guard lock(w.mutex);
    std::vector<kit::Rect> frames = w.dockLayout();
    for (std::size_t i = 0; i < frames.size(); ++i)
        if (w.dockItems[i].title == title) return frames[i];
    return std::nullopt;
}

std::optional<pid_t> Desktop::dockPid() const {
    std::lock_guard lock(state_->world->mutex);
    return state_->world->dockPid;
}

std::vector<DockItemInfo> Desktop::dockItems() const {
    World& w = *state_->world;
    std::lock_guard lock(w.mutex);
    std::vector<kit::Rect> frames = w.dockLayout();
    std::vector<DockItemInfo> result;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const DockItemRecord& item = w.dockItems[i];
        DockItemInfo info;
        info.kind = item.kind;
        info.title = item.title;
        info.bundleId = item.bundleId;
        info.frame = frames[i];
        if (item.kind == DockItemKind::Application) {
            for (pid_t pid : w.launchOrder) {
                const AppRecord* app = w.runningApp(pid);
                if (app && !app->own && app->identity->bundlePath == item.bundlePath) info.running = true;
            }
        }
        info.color = appIconColor(item.bundleId.empty() ? item.title : item.bundleId);
        result.push_back(std::move(info));
    }
    return result;
}

// --- processes -------------------------------------------------------------------

pid_t Desktop::addApplication(const AppSpec& spec) {
    World& w = *state_->world;
    std::lock_guard lock(w.mutex);
    pid_t pid = w.allocatePid(spec.pid);
    auto identity = std::make_shared<ProcessIdentity>();
    identity->pid = pid;
    identity->bundleId = spec.bundleId;
    identity->name = spec.name;
    identity->bundlePath = spec.bundlePath.value_or("/Applications/" + spec.name + ".app");
    identity->icon = makeAppIcon(spec.bundleId);
    AppRecord record;
    record.identity = std::move(identity);
    record.launched = spec.running;
    record.inDock = spec.inDock;
    if (spec.inDock) w.addDockApplication(*record.identity);
    // A pid given again names a new process; the old one's handles stay terminated.
    if (AppRecord* old = w.app(pid)) {
        w.terminate(pid);
        old->identity->terminated.store(true);
    }
    w.apps[pid] = std::move(record);
    w.launchOrder.erase(std::remove(w.launchOrder.begin(), w.launchOrder.end(), pid), w.launchOrder.end());
    w.launchOrder.push_back(pid);
    return pid;
}

void Desktop::quitApplication(pid_t pid) {
    if (pid == ownPid()) {
        terminateOwnProcess();
        return;
    }
    std::lock_guard lock(state_->world->mutex);
    state_->world->terminate(pid);
}

void Desktop::setFrontmost(pid_t pid, std::optional<CGWindowID> window) {
    World& w = *state_->world;
    std::lock_guard lock(w.mutex);
    if (!w.runningApp(pid)) return;
    if (window) {
        WindowRecord* record = w.window(*window);
        if (record && record->pid == pid) {
            // Only a window on screen can be focused.
            record->minimized = false;
            w.raise(*window);
        }
    }
    w.activate(pid);
}

std::optional<AppInfo> Desktop::application(pid_t pid) const {
    World& w = *state_->world;
    std::lock_guard lock(w.mutex);
    const AppRecord* record = w.app(pid);
    if (!record) return std::nullopt;
    AppInfo info;
    info.pid = pid;
    info.bundleId = record->identity->bundleId;
    info.name = record->identity->name;
    info.bundlePath = record->identity->bundlePath;
    info.running = record->running();
    info.frontmost = info.running && w.frontmost == pid;
    if (info.running) info.focusedWindow = w.focusedWindow(pid);
    return info;
}

std::optional<pid_t> Desktop::pidForName(const std::string& name) const {
    World& w = *state_->world;
    std::lock_guard lock(w.mutex);
    std::optional<pid_t> stopped;
    for (auto it = w.launchOrder.rbegin(); it != w.launchOrder.rend(); ++it) {
        const AppRecord* record = w.app(*it);
        if (!record || record->identity->name != name) continue;
        if (record->running()) return *it;
        if (!stopped) stopped = *it;
    }
    return stopped;
}

// --- windows ---------------------------------------------------------------------

CGWindowID Desktop::addWindow(const WindowSpec& spec) {
    World& w = *state_->world;
    std::lock_guard lock(w.mutex);
    CGWindowID id = w.allocateWindowId(spec.id);
    if (w.window(id)) w.closeWindow(id);
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
    w.windows[id] = std::move(record);
    w.zOrder.insert(w.zOrder.begin(), id);
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
    return info;
}

}  // namespace

WindowInfo Desktop::window(CGWindowID id) const {
    World& w = *state_->world;
    std::lock_guard lock(w.mutex);
    const WindowRecord* record = w.window(id);
    if (!record || !w.runningApp(record->pid)) {
        WindowInfo gone;
        gone.id = id;
        return gone;
    }
    return describe(w, *record);
}

std::vector<WindowInfo> Desktop::windows() const {
    World& w = *state_->world;
    std::lock_guard lock(w.mutex);
    std::vector<WindowInfo> result;
    for (CGWindowID id : w.zOrder) {
        const WindowRecord* record = w.window(id);
        if (record && w.runningApp(record->pid)) result.push_back(describe(w, *record));
    }
    return result;
}

std::vector<std::uint32_t> Desktop::windowPixels(CGWindowID id, int pixelWidth, int pixelHeight) const {
    std::string title;
    std::string bundleId;
    kit::Size size;
    {
        World& w = *state_->world;
        std::lock_guard lock(w.mutex);
        const WindowRecord* record = w.window(id);
        const AppRecord* app = record ? w.runningApp(record->pid) : nullptr;
        if (!app) return {};
        title = record->title;
        bundleId = app->identity->bundleId;
        size = record->frame.size;
    }
    if (pixelWidth <= 0 || pixelHeight <= 0) return {};
    return renderWindow(title, bundleId, id, size, pixelWidth, pixelHeight);
}

std::optional<pid_t> Desktop::frontmostPid() const {
    std::lock_guard lock(state_->world->mutex);
    return state_->world->frontmost;
}

// --- Durazizi's own process ---------------------------------------------------------

pid_t Desktop::ownPid() const {
    std::lock_guard lock(state_->world->mutex);
    return state_->world->ownPid;
}

void Desktop::startOwnProcess() {
    State& s = *state_;
    terminateOwnProcess();
    s.reap();
    pid_t pid;
    {
        std::lock_guard lock(s.world->mutex);
        pid = s.world->ownPid + 1;
        while (s.world->apps.count(pid)) ++pid;
    }
    s.launchOwnProcess(pid);
    s.runLoop.beginProcess();
    s.application->beginProcess();
    // What the system computes once per process must be computed afresh.
    if (platform::isInstalled() && &platform::current() == this) platform::install(this);
}

bool Desktop::ownProcessRunning() const {
    std::lock_guard lock(state_->world->mutex);
    return state_->world->runningApp(state_->world->ownPid) != nullptr;
}

void Desktop::terminateOwnProcess() {
    State& s = *state_;
    {
        std::lock_guard lock(s.world->mutex);
        if (!s.world->runningApp(s.world->ownPid)) return;
        s.world->terminate(s.world->ownPid);
    }
    // Possibly called from inside one of the process's callbacks: everything
    // is buried, nothing is destroyed here.
    s.runLoop.endProcess();
    s.windowServer.endProcess();
    s.hovered.reset();
    s.pressed.reset();
    s.eventTaps.endProcess();
    s.eventMonitors.endProcess();
    s.application->endProcess();
}

// --- Durazizi's windows and panels ----------------------------------------------------------

std::vector<OwnWindowInfo> Desktop::ownWindows() const {
    State& s = *state_;
    std::shared_ptr<SimWindow> key = s.windowServer.keyWindow();
    std::vector<OwnWindowInfo> result;
    for (const auto& window : s.windowServer.windows()) {
        window->syncContentView();
        OwnWindowInfo info;
        info.title = window->title();
        info.visible = window->isVisible();
        info.frame = s.windowServer.toTopLeft(window->frame());
        info.level = window->level();
        info.alpha = window->alphaValue();
        info.windowNumber = window->windowNumber();
        info.isPanel = window->isPanel();
        info.key = window == key;
        info.contentView = window->contentView();
        info.styleMask = window->styleMask();
        info.opaque = window->isOpaque();
        info.hasShadow = window->hasShadow();
        info.backgroundColor = window->backgroundColor();
        info.ignoresMouse = window->ignoresMouseEvents();
        info.appearance = window->appearance();
        result.push_back(std::move(info));
    }
    return result;
}

// --- screen capture --------------------------------------------------------------------------

void Desktop::failShareableContent(bool fail) {
    std::lock_guard lock(state_->world->mutex);
    state_->world->failShareableContent = fail;
}

void Desktop::failCapture(CGWindowID window) {
    std::lock_guard lock(state_->world->mutex);
    state_->world->failedCaptures.insert(window);
}

std::uint64_t Desktop::captureCount() const { return state_->world->captureCount.load(); }

// --- permissions ------------------------------------------------------------------------

void Desktop::setAccessibilityTrusted(bool trusted) {
    std::lock_guard lock(state_->world->mutex);
    state_->world->accessibilityTrusted = trusted;
}

void Desktop::setScreenRecording(bool granted) {
    std::lock_guard lock(state_->world->mutex);
    state_->world->screenRecording = granted;
}

int Desktop::accessibilityPrompts() const {
    std::lock_guard lock(state_->world->mutex);
    return state_->world->accessibilityPrompts;
}

int Desktop::screenRecordingRequests() const {
    std::lock_guard lock(state_->world->mutex);
    return state_->world->screenRecordingRequests;
}

// --- accessibility faults and instrumentation ---------------------------------------------

void Desktop::failAXRead(pid_t pid, const std::string& attribute) {
    std::lock_guard lock(state_->world->mutex);
    state_->world->failedReads.insert({pid, attribute});
}

void Desktop::failAXWrite(pid_t pid, const std::string& attribute) {
    std::lock_guard lock(state_->world->mutex);
    state_->world->failedWrites.insert({pid, attribute});
}

void Desktop::setAXDead(pid_t pid) {
    std::lock_guard lock(state_->world->mutex);
    state_->world->axDead.insert(pid);
}

void Desktop::overrideAttribute(const ElementPath& element, const std::string& attribute,
                                std::optional<platform::CFType> value) {
    std::lock_guard lock(state_->world->mutex);
    int level = element.window == 0 || element.contentLevel < 0 ? -1 : element.contentLevel;
    state_->world->overrides[{element.pid, element.window, level, attribute}] = std::move(value);
}

void Desktop::overrideWindowNumber(CGWindowID window, std::optional<CGWindowID> number) {
    std::lock_guard lock(state_->world->mutex);
    state_->world->windowNumberOverrides[window] = number;
}

std::uint64_t Desktop::axCalls() const { return state_->world->axCalls.load(); }

std::uint64_t Desktop::takeAXCalls() {
    std::lock_guard lock(state_->world->mutex);
    std::uint64_t total = state_->world->axCalls.load();
    std::uint64_t taken = total - state_->world->axCallsTaken;
    state_->world->axCallsTaken = total;
    return taken;
}

// --- what Durazizi did ----------------------------------------------------------------------

std::vector<std::string> Desktop::openedURLs() const {
    std::lock_guard lock(state_->world->mutex);
    return state_->world->openedURLs;
}

platform::ActivationPolicy Desktop::activationPolicy() const { return state_->application->activationPolicy(); }

bool Desktop::hasStatusItem() const { return state_->application->hasStatusItem(); }

kit::ImageRef Desktop::statusItemImage() const { return state_->application->statusItemImage(); }

std::optional<kit::Rect> Desktop::statusItemFrame() const {
    std::optional<kit::Rect> cocoa = state_->application->statusItemFrame();
    if (!cocoa) return std::nullopt;
    return state_->windowServer.toTopLeft(*cocoa);
}

bool Desktop::clickStatusItem() {
    state_->reap();
    bool clicked = state_->application->clickStatusItem();
    state_->reap();
    return clicked;
}

platform::MenuRef Desktop::mainMenu() const { return state_->application->mainMenu(); }

bool Desktop::chooseMenuItem(const std::string& menuTitle, const std::string& itemTitle) {
    state_->reap();
    bool found = state_->application->chooseMenuItem(menuTitle, itemTitle);
    state_->reap();
    return found;
}

std::optional<std::map<std::string, std::string>> Desktop::aboutPanelOptions() const {
    return state_->application->aboutPanelOptions();
}

int Desktop::activations() const { return state_->application->activations(); }

std::shared_ptr<platform::ApplicationDelegate> Desktop::delegate() const { return state_->application->delegate(); }

}  // namespace sim
