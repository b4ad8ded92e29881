#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "kit/Geometry.h"
#include "platform/EventTaps.h"
#include "platform/WindowServer.h"
#include "sim/Service.h"

namespace sim {

class Graveyard;
class SimEventMonitors;
class SimEventTaps;
class SimWindow;
class SimWindowManager;
class SimWindowServer;
struct World;

// The mouse and the keyboard, in top-left global coordinates. Every event
// runs through the session's event taps first; one a tap swallows goes no
// further. Over one of Durazizi's visible windows the pointer drives the
// views' tracking areas and clicks (leaving the window sends the exits);
// elsewhere the window manager and the other applications answer, and
// global monitors get their copy. Events take no virtual time.
class Input final : public Service {
public:
    Input(World& world, SimWindowServer& windowServer, SimEventTaps& taps, SimEventMonitors& monitors,
          SimWindowManager& windowManager, Graveyard& graveyard)
        : world_(world), windowServer_(windowServer), taps_(taps), monitors_(monitors),
          windowManager_(windowManager), graveyard_(graveyard) {}

    // With the left button down the move is a drag event.
    void move(kit::Point topLeft);
    kit::Point location() const;
    // The left button, at a point (the pointer moves there first). The
    // modifiers given with the press stay held until the release.
    void mouseDown(kit::Point topLeft, platform::CGEventFlags flags = 0);
    void mouseUp(kit::Point topLeft);
    void click(kit::Point topLeft, platform::CGEventFlags flags = 0);
    // A key-down (virtual key code) for the frontmost application. When that
    // is Durazizi, its key window's views are offered the key first, then
    // its main menu's key equivalents; other applications and global
    // monitors never see it.
    void keyDown(std::int64_t keyCode, platform::CGEventFlags flags = 0);
    // A vertical scroll at a point, positive up, in lines and in points.
    void scrollWheel(kit::Point topLeft, double lines, double points, platform::CGEventFlags flags = 0);

    struct EventTapInfo {
        bool installed = false;
        bool enabled = false;
        // What the held gesture does to the window, as seen on screen.
        std::string mode = "none";
    };
    // Durazizi's first tap, and what the press it swallowed is doing.
    EventTapInfo eventTap() const;

    void endProcess() override;

    // The menu bar's status items: true when the press at that point landed
    // on one of ours and was handled there.
    void setStatusBar(std::function<bool(kit::Point topLeft)> press) { statusBar_ = std::move(press); }
    // Durazizi's main menu: true when an item took the key equivalent.
    void setMenuKeys(std::function<bool(const std::string& characters, platform::CGEventFlags flags)> perform) {
        menuKeys_ = std::move(perform);
    }

private:
    // A press the taps swallowed: the window under it and its frame then,
    // which tells a move from a resize by what happens to the window.
    struct TappedPress {
        std::optional<platform::CGWindowID> window;
        kit::Rect frame;
    };

    void hover(kit::Point topLeft);
    // The hardware posts an event: the taps see it first, and may swallow it.
    bool passesTaps(platform::CGEventType type, kit::Point at, platform::CGEventFlags flags,
                    std::int64_t keycode = 0, double lines = 0, double points = 0);
    // An event on its way to another application: the window manager and the
    // application act on it, and global monitors get their copy.
    void deliverToWorld(platform::CGEventType type, kit::Point at, platform::CGEventFlags flags,
                        std::int64_t keycode = 0);

    // A key for Durazizi while it is the frontmost application.
    void deliverToOwnApp(std::int64_t keyCode, platform::CGEventFlags flags);

    std::function<bool(kit::Point)> statusBar_;
    std::function<bool(const std::string&, platform::CGEventFlags)> menuKeys_;
    // A press on the close button of one of our titled windows.
    std::weak_ptr<SimWindow> closeButtonPressed_;

    World& world_;
    SimWindowServer& windowServer_;
    SimEventTaps& taps_;
    SimEventMonitors& monitors_;
    SimWindowManager& windowManager_;
    Graveyard& graveyard_;
    std::weak_ptr<SimWindow> hovered_;
    std::weak_ptr<SimWindow> pressed_;
    // The left button and the modifiers held with it.
    bool buttonDown_ = false;
    platform::CGEventFlags buttonFlags_ = 0;
    std::optional<TappedPress> tappedPress_;
};

}  // namespace sim
