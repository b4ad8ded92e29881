#include "sim/SimWindowServer.h"

#include "sim/Fingerprint.h"

#include <algorithm>
#include <cmath>

#include "sim/SimScreens.h"

namespace sim {

namespace {

// A titled window's frame is its content plus the title bar above it.
constexpr double kTitleBarHeight = 28;

// NSAnimationContext's pacing for animator changes made outside any group.
constexpr double kDefaultAnimationDuration = 0.25;

template <typename T>
double progress(const typename Animated<T>::Run& run, double now) {
    if (run.duration <= 0) return 1;
    double t = (now - run.start) / run.duration;
    if (t >= 1) return 1;
    return run.timing.valueAt(t);
}

double mix(double from, double to, double p) { return from + (to - from) * p; }

kit::Rect mix(const kit::Rect& from, const kit::Rect& to, double p) {
    return {mix(from.minX(), to.minX(), p), mix(from.minY(), to.minY(), p), mix(from.width(), to.width(), p),
            mix(from.height(), to.height(), p)};
}

template <typename T>
bool running(const Animated<T>& a, double now) {
    return a.run && now < a.run->start + a.run->duration;
}

template <typename T>
T current(const Animated<T>& a, double now) {
    if (!running(a, now)) return a.value;
    return mix(a.run->from, a.value, progress<T>(*a.run, now));
}

}  // namespace

// --- WindowServerCore -----------------------------------------------------------------

void WindowServerCore::groupAnimationEnded(const std::shared_ptr<AnimationGroup>& group, bool early) {
    if (!group || !early) return;
    // An animation cut short still counts as ended; the group completes once
    // none of its animations is left.
    if (--group->running <= 0 && !group->fired) scheduleCompletion(group, 0);
}

void WindowServerCore::scheduleCompletion(const std::shared_ptr<AnimationGroup>& group, double delay) {
    auto fire = [group] {
        if (group->fired) return;
        group->fired = true;
        std::function<void()> completion = std::move(group->completion);
        group->completion = nullptr;
        if (completion) completion();
    };
    if (delay > 0) runLoop.asyncAfterMain(delay, std::move(fire));
    else runLoop.asyncMain(std::move(fire));
}

// --- SimWindow ----------------------------------------------------------------------------

SimWindow::SimWindow(std::weak_ptr<WindowServerCore> core, kit::Rect contentRect, std::uint64_t styleMask,
                     bool defer, bool isPanel)
    : core_(std::move(core)), styleMask_(styleMask), isPanel_(isPanel), hidesOnDeactivate_(isPanel) {
    kit::Rect frame = contentRect;
    if (styleMask_ & platform::NSWindowStyleMaskTitled) frame.size.height += kTitleBarHeight;
    frame_.value = frame;
    if (!defer)
        if (auto core = liveCore()) windowNumber_ = core->nextWindowNumber++;
}

SimWindow::~SimWindow() = default;

std::shared_ptr<WindowServerCore> SimWindow::liveCore() const { return retired_ ? nullptr : core_.lock(); }

double SimWindow::now() const {
    auto core = core_.lock();
    return core ? core->now() : 0;
}

kit::Size SimWindow::contentSize(kit::Rect frame) const {
    double titleBar = (styleMask_ & platform::NSWindowStyleMaskTitled) ? kTitleBarHeight : 0;
    return {frame.width(), std::max(0.0, frame.height() - titleBar)};
}

void SimWindow::stopAlpha() {
    if (!alpha_.run) return;
    double t = now();
    bool early = running(alpha_, t);
    alpha_.value = current(alpha_, t);
    auto group = std::move(alpha_.run->group);
    alpha_.run.reset();
    if (auto core = core_.lock()) core->groupAnimationEnded(group, early);
}

void SimWindow::stopFrame() {
    if (!frame_.run) return;
    double t = now();
    bool early = running(frame_, t);
    frame_.value = current(frame_, t);
    auto group = std::move(frame_.run->group);
    frame_.run.reset();
    if (auto core = core_.lock()) core->groupAnimationEnded(group, early);
}

void SimWindow::setAlphaValue(double alpha) {
    stopAlpha();
    alpha_.value = std::clamp(alpha, 0.0, 1.0);
}

double SimWindow::alphaValue() const { return current(alpha_, now()); }

kit::Rect SimWindow::frame() const { return current(frame_, now()); }

void SimWindow::setFrame(kit::Rect frame, bool) {
    stopFrame();
    frame_.value = frame;
    syncContentView();
}

void SimWindow::setFrameOrigin(kit::Point origin) {
    stopFrame();
    frame_.value.origin = origin;
}

void SimWindow::setContentSize(kit::Size size) {
    stopFrame();
    // The top edge stays where it is; the window grows or shrinks downward.
    kit::Rect f = frame_.value;
    double titleBar = (styleMask_ & platform::NSWindowStyleMaskTitled) ? kTitleBarHeight : 0;
    double height = std::max(0.0, size.height) + titleBar;
    frame_.value = {f.minX(), f.maxY() - height, std::max(0.0, size.width), height};
    syncContentView();
}

void SimWindow::center() {
    auto core = core_.lock();
    if (!core) return;
    std::optional<kit::Rect> visible;
    double primaryHeight = 0;
    {
        std::lock_guard lock(core->world.mutex);
        if (const ScreenRecord* primary = core->world.primaryScreen()) {
            primaryHeight = core->world.primaryHeight();
            visible = SimScreens::toCocoa(core->world.visibleFrame(*primary), primaryHeight);
        }
    }
    if (!visible) return;
    stopFrame();
    kit::Rect f = frame_.value;
    // Centred across, and a little above the middle: a third of the free
    // height above the window, two thirds below it.
    double x = visible->minX() + (visible->width() - f.width()) / 2;
    double y = visible->minY() + (visible->height() - f.height()) * 2 / 3;
    frame_.value.origin = {std::round(x), std::round(y)};
}

void SimWindow::orderIn(bool makeKey) {
    auto core = liveCore();
    if (!core) return;
    // Ordering a minimized window front brings it back out of the Dock.
    leaveDock();
    if (windowNumber_ <= 0) windowNumber_ = core->nextWindowNumber++;
    visible_ = true;
    orderStamp_ = core->nextOrderStamp++;
    auto self = shared_from_this();
    if (std::find(core->onScreen.begin(), core->onScreen.end(), self) == core->onScreen.end())
        core->onScreen.push_back(self);
    if (makeKey) core->key = self;
    syncContentView();
}

void SimWindow::raise() {
    auto core = liveCore();
    if (core && visible_) orderStamp_ = core->nextOrderStamp++;
}

void SimWindow::orderFrontRegardless() { orderIn(false); }

void SimWindow::makeKeyAndOrderFront() { orderIn(true); }

void SimWindow::leaveDock() {
    if (!miniaturized_) return;
    miniaturized_ = false;
    if (auto core = liveCore()) {
        std::lock_guard lock(core->world.mutex);
        core->world.removeMinimizedOwnWindow(windowNumber_);
    }
}

void SimWindow::miniaturize() {
    auto core = liveCore();
    if (!core || !visible_ || miniaturized_ || !(styleMask_ & platform::NSWindowStyleMaskMiniaturizable)) return;
    visible_ = false;
    miniaturized_ = true;
    if (core->key.lock().get() == this) core->key.reset();
    // Still the server's: it stays in `onScreen`, off the screen.
    std::lock_guard lock(core->world.mutex);
    core->world.addMinimizedOwnWindow(windowNumber_, title_);
}

void SimWindow::deminiaturize() {
    if (miniaturized_) orderIn(true);
}

void SimWindow::orderOut() {
    auto core = liveCore();
    leaveDock();
    visible_ = false;
    if (!core) return;
    if (core->key.lock().get() == this) core->key.reset();
    // Animations go on while the window is off screen.
    auto it = std::find_if(core->onScreen.begin(), core->onScreen.end(),
                           [this](const std::shared_ptr<SimWindow>& w) { return w.get() == this; });
    if (it != core->onScreen.end()) {
        // The server's reference may be the last one: it dies once no
        // callback is running, never under the caller's feet.
        core->graveyard.bury(std::shared_ptr<void>(std::move(*it)));
        core->onScreen.erase(it);
    }
}

void SimWindow::close() {
    auto core = liveCore();
    if (!core) return;
    // The delegate may drop the last reference to the window it is told about.
    core->graveyard.bury(std::shared_ptr<void>(shared_from_this()));
    std::function<void()> handler = willClose_;
    if (handler) handler();
    orderOut();
}

void SimWindow::performClose() {
    // Without a close button the platform only beeps.
    if (!liveCore() || !(styleMask_ & platform::NSWindowStyleMaskClosable)) return;
    std::function<bool()> ask = shouldClose_;
    if (ask && !ask()) return;
    close();
}

bool SimWindow::isKeyWindow() const {
    auto core = liveCore();
    return core && core->key.lock().get() == this;
}

void SimWindow::setContentView(std::shared_ptr<kit::View> view) {
    if (auto core = core_.lock()) core->graveyard.bury(std::shared_ptr<void>(std::move(contentView_)));
    contentView_ = std::move(view);
    syncContentView();
    router_.setRoot(contentView_);
}

void SimWindow::syncContentView() {
    if (!contentView_) return;
    // An animated resize lays the content out once, at the size it ends at.
    kit::Rect wanted{{0, 0}, contentSize(frame_.value)};
    if (contentView_->frame() != wanted) contentView_->setFrame(wanted);
}

void SimWindow::setFloatingPanel(bool floating) {
    floatingPanel_ = floating;
    level_ = floating ? platform::NSFloatingWindowLevel : platform::NSNormalWindowLevel;
}

void SimWindow::animateAlpha(double target, double duration, kit::TimingFunction timing,
                             const std::shared_ptr<AnimationGroup>& group) {
    target = std::clamp(target, 0.0, 1.0);
    double t = now();
    double from = current(alpha_, t);
    stopAlpha();
    alpha_.value = target;
    if (duration <= 0 || !liveCore()) return;
    alpha_.run = Animated<double>::Run{from, t, duration, timing, group};
    if (group) ++group->running;
}

void SimWindow::animateFrame(kit::Rect target, double duration, kit::TimingFunction timing,
                             const std::shared_ptr<AnimationGroup>& group) {
    double t = now();
    kit::Rect from = current(frame_, t);
    stopFrame();
    frame_.value = target;
    if (duration > 0 && liveCore()) {
        frame_.run = Animated<kit::Rect>::Run{from, t, duration, timing, group};
        if (group) ++group->running;
    }
    syncContentView();
}

void SimWindow::retire() {
    leaveDock();
    visible_ = false;
    retired_ = true;
    alpha_.value = current(alpha_, now());
    frame_.value = current(frame_, now());
    alpha_.run.reset();
    frame_.run.reset();
    router_.setRoot(nullptr);
    if (auto core = core_.lock()) {
        core->graveyard.bury(std::shared_ptr<void>(std::move(contentView_)));
        core->graveyard.bury(std::move(willClose_));
        core->graveyard.bury(std::shared_ptr<void>(std::make_shared<std::function<bool()>>(std::move(shouldClose_))));
    }
    contentView_ = nullptr;
    willClose_ = nullptr;
    shouldClose_ = nullptr;
}

void SimWindow::Animator::setAlphaValue(double alpha) {
    auto core = window_.liveCore();
    if (core && !core->groupStack.empty()) {
        WindowServerCore::Pending change;
        change.window = window_.weak_from_this();
        change.alpha = alpha;
        core->groupStack.back().push_back(change);
        return;
    }
    if (!core) {
        window_.setAlphaValue(alpha);
        return;
    }
    auto group = std::make_shared<AnimationGroup>();
    window_.animateAlpha(alpha, kDefaultAnimationDuration,
                         kit::TimingFunction::named(kit::TimingFunction::Name::Default), group);
}

void SimWindow::Animator::setFrame(kit::Rect frame, bool display) {
    auto core = window_.liveCore();
    if (core && !core->groupStack.empty()) {
        WindowServerCore::Pending change;
        change.window = window_.weak_from_this();
        change.isFrame = true;
        change.frame = frame;
        core->groupStack.back().push_back(change);
        return;
    }
    if (!core) {
        window_.setFrame(frame, display);
        return;
    }
    auto group = std::make_shared<AnimationGroup>();
    window_.animateFrame(frame, kDefaultAnimationDuration,
                         kit::TimingFunction::named(kit::TimingFunction::Name::Default), group);
}

// --- SimWindowServer ------------------------------------------------------------------------

SimWindowServer::SimWindowServer(World& world, SimClock& clock, SimRunLoop& runLoop, Graveyard& graveyard)
    : core_(std::make_shared<WindowServerCore>(world, clock, runLoop, graveyard)) {
    std::lock_guard lock(world.mutex);
    world.restoreOwnWindow = [weak = std::weak_ptr<WindowServerCore>(core_)](std::int64_t windowNumber) {
        auto core = weak.lock();
        if (!core) return;
        for (const auto& entry : core->windows) {
            auto window = entry.lock();
            if (window && window->windowNumber() == windowNumber) {
                window->deminiaturize();
                return;
            }
        }
    };
}

SimWindowServer::~SimWindowServer() { endProcess(); }

std::shared_ptr<SimWindow> SimWindowServer::make(kit::Rect contentRect, std::uint64_t styleMask, bool defer,
                                                 bool isPanel) {
    auto window = std::make_shared<SimWindow>(core_, contentRect, styleMask, defer, isPanel);
    bool alive;
    {
        std::lock_guard lock(core_->world.mutex);
        alive = core_->world.runningApp(core_->world.ownPid) != nullptr;
    }
    // A process that has ended makes windows that never appear.
    if (!alive) window->retire();
    else core_->windows.push_back(window);
    return window;
}

std::shared_ptr<platform::Panel> SimWindowServer::makePanel(kit::Rect contentRect, std::uint64_t styleMask,
                                                            platform::NSBackingStoreType, bool defer) {
    return make(contentRect, styleMask, defer, true);
}

std::shared_ptr<platform::Window> SimWindowServer::makeWindow(kit::Rect contentRect, std::uint64_t styleMask,
                                                              platform::NSBackingStoreType, bool defer) {
    return make(contentRect, styleMask, defer, false);
}

void SimWindowServer::runAnimationGroup(std::function<void(platform::AnimationContext&)> changes,
                                        std::function<void()> completion) {
    platform::AnimationContext context;
    core_->groupStack.emplace_back();
    if (changes) changes(context);
    std::vector<WindowServerCore::Pending> pending = std::move(core_->groupStack.back());
    core_->groupStack.pop_back();

    auto group = std::make_shared<AnimationGroup>();
    group->completion = std::move(completion);
    const double duration = std::max(context.duration(), 0.0);
    const kit::TimingFunction timing = context.effectiveTimingFunction();
    for (const auto& change : pending) {
        auto window = change.window.lock();
        if (!window) continue;
        if (change.isFrame) window->animateFrame(change.frame, duration, timing, group);
        else window->animateAlpha(change.alpha, duration, timing, group);
    }
    // Never inside this call: with nothing animating, on the next turn of the main queue.
    core_->scheduleCompletion(group, group->running > 0 ? duration : 0);
}

platform::CGWindowLevel SimWindowServer::windowLevelForKey(platform::CGWindowLevelKey key) {
    return platform::standardWindowLevelForKey(key);
}

std::vector<std::shared_ptr<SimWindow>> SimWindowServer::windows() const {
    std::vector<std::shared_ptr<SimWindow>> shown;
    std::vector<std::shared_ptr<SimWindow>> hidden;
    for (const auto& weak : core_->windows) {
        auto window = weak.lock();
        if (!window) continue;
        (window->isVisible() ? shown : hidden).push_back(std::move(window));
    }
    std::stable_sort(shown.begin(), shown.end(), [](const auto& a, const auto& b) {
        if (a->level() != b->level()) return a->level() > b->level();
        return a->orderStamp() > b->orderStamp();
    });
    shown.insert(shown.end(), hidden.begin(), hidden.end());
    return shown;
}

kit::Rect SimWindowServer::toTopLeft(kit::Rect cocoa) const {
    double height;
    {
        std::lock_guard lock(core_->world.mutex);
        height = core_->world.primaryHeight();
    }
    // The conversion is its own inverse.
    return SimScreens::toCocoa(cocoa, height);
}

std::shared_ptr<SimWindow> SimWindowServer::windowAt(kit::Point topLeft) const {
    for (auto& window : windows()) {
        if (!window->isVisible()) break;
        if (window->ignoresMouseEvents()) continue;
        if (toTopLeft(window->frame()).cgContains(topLeft)) return window;
    }
    return nullptr;
}

kit::Point SimWindowServer::toWindow(const SimWindow& window, kit::Point topLeft) const {
    double height;
    {
        std::lock_guard lock(core_->world.mutex);
        height = core_->world.primaryHeight();
    }
    kit::Rect f = window.frame();
    return {topLeft.x - f.minX(), height - topLeft.y - f.minY()};
}

SimWindowServer::Hit SimWindowServer::hitTest(kit::Point topLeft) const {
    Hit hit{windowAt(topLeft), nullptr};
    if (!hit.window) return hit;
    hit.window->syncContentView();
    if (const auto& content = hit.window->contentView()) hit.view = content->hitTest(toWindow(*hit.window, topLeft));
    return hit;
}

void SimWindowServer::makeKey(const std::shared_ptr<SimWindow>& window) {
    if (!window || !window->isVisible()) return;
    core_->key = window;
    window->raise();
}

void SimWindowServer::endProcess() {
    std::vector<std::shared_ptr<SimWindow>> all;
    for (const auto& weak : core_->windows)
        if (auto window = weak.lock()) all.push_back(std::move(window));
    for (auto& window : all) window->retire();
    for (auto& window : core_->onScreen) core_->graveyard.bury(std::shared_ptr<void>(std::move(window)));
    for (auto& window : all) core_->graveyard.bury(std::shared_ptr<void>(std::move(window)));
    core_->onScreen.clear();
    core_->windows.clear();
    core_->key.reset();
    core_->groupStack.clear();
}

void SimWindowServer::fingerprint(Fingerprint& f) const {
    std::shared_ptr<SimWindow> key = keyWindow();
    for (const auto& window : windows()) {
        f.add(window.get());
        f.add(window->isVisible());
        f.add(window->isMiniaturized());
        f.add(window->frame());
        f.add(window->alphaValue());
        f.add(window->level());
        f.add(window->isOpaque());
        f.add(window->hasShadow());
        f.add(window->backgroundColor());
        f.add(window->appearance() ? static_cast<int>(*window->appearance()) : -1);
        f.add(window->contentView().get());
        f.add(window == key);
    }
}

}  // namespace sim
