#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>

#include "app/Settings.h"
#include "ax/AX.h"
#include "dock/DockObserver.h"
#include "platform/EventTaps.h"

namespace durazizi {

// One active event tap on the login session. Through it the move or resize
// modifiers turn a drag anywhere in a window into moving or resizing it, the
// keyboard modifiers with an arrow tile the focused window, a scroll on a
// title bar maximizes or restores the window, and a scroll on a player's Dock
// icon changes its volume. What it acts on never reaches the application.
class InputTap : public std::enable_shared_from_this<InputTap> {
public:
    enum class Mode : std::uint8_t { none = 0, move = 1, resize = 2 };

    // Left mouse down, up and dragged, key down, scroll wheel.
    static constexpr platform::CGEventMask eventMask = 0x400446;
    static constexpr double minimumWidth = 120;
    static constexpr double minimumHeight = 80;

    void start();
    void stop();

    // The event to pass on, or null to swallow it. Never alters the event.
    platform::CGEventRef handle(platform::CGEventType type, const platform::CGEventRef& event);
    bool handleKeyboardSnap(std::int64_t keyCode, ModifierSet mods);
    bool handleScroll(const platform::CGEventRef& event);

    // Only the four modifiers: caps lock, fn, the numeric pad and the
    // device bits an arrow key carries must not spoil an exact match.
    static ModifierSet pressedModifiers(platform::CGEventFlags flags);

    Mode mode() const { return mode_; }

private:
    platform::CGEventRef gestureStart(const platform::CGEventRef& event, ModifierSet mods);
    platform::CGEventRef gestureStep(const platform::CGEventRef& event);
    platform::CGEventRef gestureEnd(const platform::CGEventRef& event);
    void endGesture();
    bool scrollVolume(kit::Point p, double delta);
    bool scrollTitleBar(kit::Point p, double delta);

    platform::CFMachPortRef tap_;
    platform::CFRunLoopSourceRef runLoopSource_;
    Mode mode_ = Mode::none;
    std::optional<AX::Element> window_;
    kit::Point startMouse_;
    kit::Rect startFrame_;
    DockObserver dock_;
    double lastTitlebarSnap_ = -1e300;
    double lastTitlebarProbe_ = -1e300;
    double lastVolumeChange_ = -1e300;
    std::map<platform::CGWindowID, kit::Rect> restoreFrames_;
};

}  // namespace durazizi
