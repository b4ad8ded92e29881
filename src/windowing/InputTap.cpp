#include "windowing/InputTap.h"

#include <algorithm>

#include "app/Diag.h"
#include "ax/Geometry.h"
#include "platform/Platform.h"
#include "specials/MediaControl.h"
#include "windowing/SnapZone.h"

namespace durazizi {

namespace {

using platform::CGEventRef;

constexpr ModifierSet kModifierBits = platform::NSEventModifierFlagShift | platform::NSEventModifierFlagControl |
                                      platform::NSEventModifierFlagOption | platform::NSEventModifierFlagCommand;

// Throttles, in seconds.
constexpr double kVolumeInterval = 0.08;
constexpr double kTitlebarProbeInterval = 0.12;
constexpr double kTitlebarSnapInterval = 0.35;
// Only the top of a window counts as its title bar.
constexpr double kTitlebarBand = 30;
constexpr int kVolumeStep = 5;
constexpr double kCentredFraction = 0.6;

bool matches(ModifierSet mods, ModifierSet configured) { return configured != 0 && mods == configured; }

double now() { return platform::current().clock().now(); }

// The screen holding the centre of a window's frame (top-left), else the main screen.
std::optional<platform::Screen> screenOf(const kit::Rect& frameTopLeft) {
    kit::Point centre = Geo::toCocoa(kit::Point{frameTopLeft.midX(), frameTopLeft.midY()});
    platform::Screens& screens = platform::current().screens();
    for (const platform::Screen& screen : screens.screens())
        if (screen.frame.nsMouseIn(centre)) return screen;
    return screens.mainScreen();
}

std::optional<kit::Rect> frameOf(const AX::Element& window) {
    auto position = AX::point(window, AX::kAXPositionAttribute);
    if (!position) return std::nullopt;
    auto size = AX::size(window, AX::kAXSizeAttribute);
    if (!size) return std::nullopt;
    return kit::Rect{*position, *size};
}

}  // namespace

ModifierSet InputTap::pressedModifiers(platform::CGEventFlags flags) { return flags & kModifierBits; }

void InputTap::start() {
    stop();
    platform::EventTaps& taps = platform::current().eventTaps();
    std::weak_ptr<InputTap> weak = weak_from_this();
    tap_ = taps.tapCreate(platform::kCGSessionEventTap, platform::kCGHeadInsertEventTap,
                          platform::kCGEventTapOptionDefault, eventMask,
                          [weak](platform::CGEventType type, CGEventRef event) -> CGEventRef {
                              auto self = weak.lock();
                              return self ? self->handle(type, event) : event;
                          });
    if (!tap_) {
        Diag::log("InputTap: failed to create event tap (Accessibility?)");
        return;
    }
    runLoopSource_ = taps.machPortCreateRunLoopSource(tap_, 0);
    if (runLoopSource_) taps.runLoopAddSource(runLoopSource_);
    taps.tapEnable(tap_, true);
    Diag::log("InputTap: started");
}

void InputTap::stop() {
    platform::EventTaps& taps = platform::current().eventTaps();
    if (tap_) taps.tapEnable(tap_, false);
    if (runLoopSource_) taps.runLoopRemoveSource(runLoopSource_);
    tap_.reset();
    runLoopSource_.reset();
    endGesture();
}

CGEventRef InputTap::handle(platform::CGEventType type, const CGEventRef& event) {
    if (type == platform::kCGEventTapDisabledByTimeout || type == platform::kCGEventTapDisabledByUserInput) {
        if (tap_) platform::current().eventTaps().tapEnable(tap_, true);
        // The up of a gesture may have gone past while the tap was off; a
        // gesture kept now would swallow the next plain drag.
        endGesture();
        return event;
    }
    ModifierSet mods = pressedModifiers(platform::CGEventGetFlags(event));
    switch (type) {
        case platform::kCGEventLeftMouseDown: return gestureStart(event, mods);
        case platform::kCGEventLeftMouseUp: return gestureEnd(event);
        case platform::kCGEventLeftMouseDragged: return gestureStep(event);
        case platform::kCGEventKeyDown: {
            auto keyCode = platform::CGEventGetIntegerValueField(event, platform::kCGKeyboardEventKeycode);
            return handleKeyboardSnap(keyCode, mods) ? nullptr : event;
        }
        case platform::kCGEventScrollWheel: return handleScroll(event) ? nullptr : event;
        default: return event;
    }
}

void InputTap::endGesture() {
    mode_ = Mode::none;
    window_.reset();
}

// --- move and resize ----------------------------------------------------------------

CGEventRef InputTap::gestureStart(const CGEventRef& event, ModifierSet mods) {
    // A new press means any earlier gesture is over, even if its up never
    // reached us; otherwise a plain drag would move that gesture's window.
    endGesture();
    bool resizeMatch = Settings::boolValue("resize_windows") && matches(mods, Settings::resizeModifiers());
    bool moveMatch = Settings::boolValue("move_windows") && matches(mods, Settings::moveModifiers());
    if (!resizeMatch && !moveMatch) return event;
    kit::Point p = platform::CGEventGetLocation(event);
    std::optional<AX::Element> window = AX::windowAtTopLeft(p);
    if (!window) return event;
    std::optional<kit::Rect> frame = frameOf(*window);
    if (!frame) return event;
    window_ = std::move(window);
    startMouse_ = p;
    startFrame_ = *frame;
    mode_ = resizeMatch ? Mode::resize : Mode::move;
    // The application under the pointer never sees this click, so it is
    // neither clicked nor activated.
    return nullptr;
}

CGEventRef InputTap::gestureStep(const CGEventRef& event) {
    if (mode_ == Mode::none || !window_) return event;
    kit::Point p = platform::CGEventGetLocation(event);
    // From the start values, not the previous step, so no error accumulates.
    double dx = p.x - startMouse_.x;
    double dy = p.y - startMouse_.y;
    if (mode_ == Mode::move) {
        kit::Point origin{startFrame_.minX() + dx, startFrame_.minY() + dy};
        AX::setAttributeValue(*window_, AX::kAXPositionAttribute, platform::AXValue::create(origin));
    } else {
        kit::Size size{std::max(startFrame_.width() + dx, minimumWidth), std::max(startFrame_.height() + dy, minimumHeight)};
        AX::setAttributeValue(*window_, AX::kAXSizeAttribute, platform::AXValue::create(size));
    }
    return nullptr;
}

CGEventRef InputTap::gestureEnd(const CGEventRef& event) {
    if (mode_ == Mode::none) return event;
    endGesture();
    return nullptr;
}

// --- keyboard snapping ---------------------------------------------------------------------

bool InputTap::handleKeyboardSnap(std::int64_t keyCode, ModifierSet mods) {
    if (!Settings::boolValue("keyboard_arrange")) return false;
    if (!matches(mods, Settings::keyboardModifiers())) return false;
    if (keyCode < platform::kVK_LeftArrow || keyCode > platform::kVK_UpArrow) return false;
    auto zone = static_cast<SnapZone>(keyCode - 122);

    platform::Platform& platform = platform::current();
    platform::RunningApplicationRef app = platform.workspace().frontmostApplication();
    if (!app) return false;
    auto window = AX::element(platform.accessibility().createApplication(app->processIdentifier()),
                              AX::kAXFocusedWindowAttribute);
    if (!window) return false;
    std::optional<kit::Rect> frame = frameOf(*window);
    if (!frame) return false;
    std::optional<platform::Screen> screen = screenOf(*frame);
    if (!screen) return false;
    std::optional<kit::Rect> r = rect(zone, screen->visibleFrame);
    if (!r) return false;
    AX::setFrame(*window, Geo::toTopLeft(*r));
    // The key-up is not in the tap's mask and passes.
    return true;
}

// --- scrolling --------------------------------------------------------------------------------

bool InputTap::handleScroll(const CGEventRef& event) {
    double delta = platform::CGEventGetDoubleValueField(event, platform::kCGScrollWheelEventDeltaAxis1);
    if (delta == 0) delta = platform::CGEventGetDoubleValueField(event, platform::kCGScrollWheelEventPointDeltaAxis1);
    if (delta == 0) return false;
    kit::Point p = platform::CGEventGetLocation(event);
    if (Settings::boolValue("itunes_scroll_volume") && scrollVolume(p, delta)) return true;
    if (Settings::boolValue("titlebar_scroll_arrange")) return scrollTitleBar(p, delta);
    return false;
}

bool InputTap::scrollVolume(kit::Point p, double delta) {
    const std::optional<DockItem> item = dock_.item(p);
    if (!item || !item->runningApp) return false;
    const std::optional<MediaApp> app = mediaAppForBundle(item->runningApp->bundleIdentifier().value_or(""));
    if (!app) return false;
    // A flick sends dozens of events, and each step is a script to the player.
    const double time = now();
    if (time - lastVolumeChange_ > kVolumeInterval) {
        lastVolumeChange_ = time;
        MediaControl::changeVolume(*app, delta > 0 ? kVolumeStep : -kVolumeStep);
    }
    // Swallowed even when throttled: the Dock would otherwise scroll its own way.
    return true;
}

bool InputTap::scrollTitleBar(kit::Point p, double delta) {
    // Probing asks the window under the pointer across processes: not on
    // every event of a flick.
    const double probeTime = now();
    if (probeTime - lastTitlebarProbe_ <= kTitlebarProbeInterval) return false;
    lastTitlebarProbe_ = probeTime;
    std::optional<AX::Element> window = AX::windowAtTopLeft(p);
    if (!window) return false;
    std::optional<kit::Rect> frame = frameOf(*window);
    if (!frame) return false;
    if (p.y > frame->minY() + kTitlebarBand) return false;

    // From here the scroll belongs to us, even when it does nothing more.
    const double snapTime = now();
    if (snapTime - lastTitlebarSnap_ <= kTitlebarSnapInterval) return true;
    lastTitlebarSnap_ = snapTime;
    platform::CGWindowID id = 0;
    if (AX::getWindow(*window, &id) != platform::kAXErrorSuccess || id == 0)
        return true;
    std::optional<platform::Screen> screen = screenOf(*frame);
    if (!screen) return true;
    const kit::Rect& v = screen->visibleFrame;
    if (delta > 0) {
        // The oldest frame is kept, so maximizing twice still restores the original.
        restoreFrames_.try_emplace(id, *frame);
        AX::setFrame(*window, Geo::toTopLeft(v));
        return true;
    }
    if (auto saved = restoreFrames_.find(id); saved != restoreFrames_.end()) {
        AX::setFrame(*window, saved->second);
        restoreFrames_.erase(saved);
        return true;
    }
    double width = kCentredFraction * v.width();
    double height = kCentredFraction * v.height();
    AX::setFrame(*window, Geo::toTopLeft(kit::Rect{v.midX() - width / 2, v.midY() - height / 2, width, height}));
    return true;
}

}  // namespace durazizi
