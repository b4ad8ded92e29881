#include "sim/Input.h"

#include "kit/Controls.h"
#include "sim/Graveyard.h"
#include "sim/KeyLayout.h"
#include "sim/SimEventMonitors.h"
#include "sim/SimEventTaps.h"
#include "sim/SimWindowManager.h"
#include "sim/SimWindowServer.h"
#include "sim/World.h"
#include "sim/Spaces.h"

namespace sim {

bool Input::passesTaps(platform::CGEventType type, kit::Point at, platform::CGEventFlags flags,
                       std::int64_t keycode, double lines, double points) {
    auto event = std::make_shared<platform::CGEvent>();
    event->type = type;
    event->location = at;
    event->flags = flags;
    event->keycode = keycode;
    event->lineDelta = lines;
    event->pointDelta = points;
    graveyard_.clearIfIdle();
    bool passed = taps_.filter(event) != nullptr;
    graveyard_.clearIfIdle();
    return passed;
}

void Input::deliverToWorld(platform::CGEventType type, kit::Point at, platform::CGEventFlags flags,
                           std::int64_t keycode) {
    platform::CGEvent event;
    event.type = type;
    event.location = at;
    event.flags = flags;
    event.keycode = keycode;
    windowManager_.deliver(event);
    monitors_.deliver(event);
    graveyard_.clearIfIdle();
}

void Input::move(kit::Point topLeft) {
    hover(topLeft);
    if (!buttonDown_) return;
    if (!passesTaps(platform::kCGEventLeftMouseDragged, topLeft, buttonFlags_)) return;
    if (pressed_.lock()) return;
    deliverToWorld(platform::kCGEventLeftMouseDragged, topLeft, buttonFlags_);
}

void Input::hover(kit::Point topLeft) {
    {
        std::lock_guard lock(world_.mutex);
        world_.pointer = topLeft;
    }
    graveyard_.clearIfIdle();
    std::shared_ptr<SimWindow> target = windowServer_.windowAt(topLeft);
    std::shared_ptr<SimWindow> previous = hovered_.lock();
    bool active;
    {
        std::lock_guard lock(world_.mutex);
        active = world_.frontmost == world_.ownPid;
    }
    {
        CallbackScope scope(graveyard_);
        if (previous && previous != target) previous->router().pointerLeft();
        if (target) {
            target->syncContentView();
            target->router().setApplicationActive(active);
            target->router().setKeyWindow(windowServer_.keyWindow() == target);
            target->router().pointerMoved(windowServer_.toWindow(*target, topLeft));
        }
    }
    hovered_ = target;
    graveyard_.clearIfIdle();
}

kit::Point Input::location() const {
    std::lock_guard lock(world_.mutex);
    return world_.pointer;
}

namespace {

// The close button of one of our titled windows sits where an application
// window's does; only a closable window has one.
bool isOnCloseButton(const SimWindow& window, const kit::Rect& frameTopLeft, kit::Point topLeft) {
    if (!(window.styleMask() & platform::NSWindowStyleMaskTitled)) return false;
    if (!(window.styleMask() & platform::NSWindowStyleMaskClosable)) return false;
    return kit::Rect{frameTopLeft.minX() + 8, frameTopLeft.minY() + 4, 14, 14}.cgContains(topLeft);
}

// The minimize button sits 20 points right of the close button.
bool isOnMinimizeButton(const SimWindow& window, const kit::Rect& frameTopLeft, kit::Point topLeft) {
    if (!(window.styleMask() & platform::NSWindowStyleMaskTitled)) return false;
    if (!(window.styleMask() & platform::NSWindowStyleMaskMiniaturizable)) return false;
    return kit::Rect{frameTopLeft.minX() + 28, frameTopLeft.minY() + 4, 14, 14}.cgContains(topLeft);
}

}  // namespace

void Input::mouseDown(kit::Point topLeft, platform::CGEventFlags flags) {
    hover(topLeft);
    buttonDown_ = true;
    buttonFlags_ = flags;
    pressed_.reset();
    tappedPress_.reset();
    if (!passesTaps(platform::kCGEventLeftMouseDown, topLeft, flags)) {
        TappedPress press;
        std::lock_guard lock(world_.mutex);
        for (CGWindowID id : world_.zOrder) {
            const WindowRecord* record = world_.window(id);
            if (!record || !shownOnScreen(world_, *record) || !world_.runningApp(record->pid)) continue;
            if (!record->frame.cgContains(topLeft)) continue;
            press.window = id;
            press.frame = record->frame;
            break;
        }
        tappedPress_ = press;
        return;
    }
    std::shared_ptr<SimWindow> target = windowServer_.windowAt(topLeft);
    if (!target) {
        // The status item's button acts as the mouse goes down.
        if (statusBar_ && statusBar_(topLeft)) return;
        deliverToWorld(platform::kCGEventLeftMouseDown, topLeft, flags);
        return;
    }
    const bool onClose = isOnCloseButton(*target, windowServer_.toTopLeft(target->frame()), topLeft);
    if (onClose || isOnMinimizeButton(*target, windowServer_.toTopLeft(target->frame()), topLeft)) {
        (onClose ? closeButtonPressed_ : minimizeButtonPressed_) = target;
        std::lock_guard lock(world_.mutex);
        world_.activate(world_.ownPid);
        return;
    }
    pressed_ = target;
    // A click in one of our windows activates Durazizi, unless the window is
    // a non-activating panel; a panel that becomes key only if needed stays
    // out of the way too.
    if (!(target->styleMask() & platform::NSWindowStyleMaskNonactivatingPanel)) {
        std::lock_guard lock(world_.mutex);
        world_.activate(world_.ownPid);
    }
    if (!(target->isPanel() && target->becomesKeyOnlyIfNeeded())) windowServer_.makeKey(target);
    {
        CallbackScope scope(graveyard_);
        target->router().mouseDown(windowServer_.toWindow(*target, topLeft));
    }
    graveyard_.clearIfIdle();
}

void Input::mouseUp(kit::Point topLeft) {
    hover(topLeft);
    platform::CGEventFlags flags = buttonFlags_;
    buttonDown_ = false;
    buttonFlags_ = 0;
    tappedPress_.reset();
    std::shared_ptr<SimWindow> pressed = pressed_.lock();
    pressed_.reset();
    std::shared_ptr<SimWindow> closing = closeButtonPressed_.lock();
    closeButtonPressed_.reset();
    std::shared_ptr<SimWindow> minimizing = minimizeButtonPressed_.lock();
    minimizeButtonPressed_.reset();
    if (!passesTaps(platform::kCGEventLeftMouseUp, topLeft, flags)) return;
    if (closing) {
        // Released over the button it was pressed on: the window's performClose:.
        if (closing->isVisible() && isOnCloseButton(*closing, windowServer_.toTopLeft(closing->frame()), topLeft)) {
            CallbackScope scope(graveyard_);
            closing->performClose();
        }
        graveyard_.clearIfIdle();
        return;
    }
    if (minimizing) {
        if (minimizing->isVisible() &&
            isOnMinimizeButton(*minimizing, windowServer_.toTopLeft(minimizing->frame()), topLeft))
            minimizing->miniaturize();
        return;
    }
    if (!pressed) {
        deliverToWorld(platform::kCGEventLeftMouseUp, topLeft, flags);
        return;
    }
    {
        CallbackScope scope(graveyard_);
        pressed->router().mouseUp(windowServer_.toWindow(*pressed, topLeft));
    }
    graveyard_.clearIfIdle();
}

void Input::click(kit::Point topLeft, platform::CGEventFlags flags) {
    mouseDown(topLeft, flags);
    mouseUp(topLeft);
}

void Input::keyDown(std::int64_t keyCode, platform::CGEventFlags flags) {
    kit::Point at = location();
    if (!passesTaps(platform::kCGEventKeyDown, at, flags, keyCode)) return;
    bool ours;
    {
        std::lock_guard lock(world_.mutex);
        ours = world_.frontmost == world_.ownPid;
    }
    if (ours) deliverToOwnApp(keyCode, flags);
    else deliverToWorld(platform::kCGEventKeyDown, at, flags, keyCode);
}

void Input::deliverToOwnApp(std::int64_t keyCode, platform::CGEventFlags flags) {
    const std::string characters = charactersIgnoringModifiers(keyCode);
    if (characters.empty()) return;
    graveyard_.clearIfIdle();
    // The key window's views first (its default and cancel buttons), then
    // the main menu, as NSApplication's sendEvent: offers a key equivalent.
    if (std::shared_ptr<SimWindow> key = windowServer_.keyWindow(); key && key->isVisible()) {
        CallbackScope scope(graveyard_);
        key->syncContentView();
        if (key->router().performKeyEquivalent(characters, flags)) {
            graveyard_.clearIfIdle();
            return;
        }
    }
    if (menuKeys_) menuKeys_(characters, flags);
    graveyard_.clearIfIdle();
}

void Input::scrollWheel(kit::Point topLeft, double lines, double points, platform::CGEventFlags flags) {
    hover(topLeft);
    if (!passesTaps(platform::kCGEventScrollWheel, topLeft, flags, 0, lines, points)) return;
    if (std::shared_ptr<SimWindow> window = windowServer_.windowAt(topLeft)) {
        // Over one of our windows the scroll view under the pointer scrolls
        // (positive deltas move the content down, towards its start).
        kit::ViewRef root = window->contentView();
        kit::View* hit = root ? root->hitTest(windowServer_.toWindow(*window, topLeft)) : nullptr;
        for (kit::View* view = hit; view; view = view->superview()) {
            if (auto* scroll = dynamic_cast<kit::ScrollView*>(view)) {
                scroll->scrollBy(-(points != 0 ? points : lines * 10));
                break;
            }
        }
        return;
    }
    deliverToWorld(platform::kCGEventScrollWheel, topLeft, flags);
}

Input::EventTapInfo Input::eventTap() const {
    SimEventTaps::TapState tap = taps_.firstTap();
    EventTapInfo info;
    info.installed = tap.installed;
    info.enabled = tap.enabled;
    if (buttonDown_ && tappedPress_ && tappedPress_->window) {
        std::lock_guard lock(world_.mutex);
        const WindowRecord* record = world_.window(*tappedPress_->window);
        bool resized = record && record->frame.size != tappedPress_->frame.size;
        info.mode = resized ? "resize" : "move";
    }
    return info;
}

void Input::endProcess() {
    hovered_.reset();
    pressed_.reset();
    closeButtonPressed_.reset();
    minimizeButtonPressed_.reset();
}

}  // namespace sim
