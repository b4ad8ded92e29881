#include "tools/scenario/UserClick.h"

#include <vector>

#include "platform/WindowServer.h"
#include "sim/SimWindowServer.h"
#include "tools/scenario/Json.h"
#include "tools/scenario/World.h"

namespace scenario {

namespace {

using Result = std::optional<std::string>;

// The title bar's height in the window server, and the part of it at the
// left that holds the close, minimize and zoom buttons.
constexpr double kTitleBarHeight = 28;
constexpr double kTitleBarButtons = 72;
constexpr double kTitleBarStep = 16;

bool same(const std::shared_ptr<sim::SimWindow>& window, const sim::OwnWindowInfo& info) {
    return window && window->windowNumber() == info.windowNumber;
}

std::string pointText(kit::Point p) { return json::number(p.x) + "," + json::number(p.y); }

// Why a click at the point would not reach the aimed-at window.
std::string landsElsewhere(World& world, const std::string& command, const std::string& what, kit::Point at,
                           const std::shared_ptr<sim::SimWindow>& window) {
    const std::string aimed = command + ": " + what + " at " + pointText(at);
    if (!window) return aimed + " lies outside Durazizi's windows";
    if (!window->title().empty()) return aimed + " is covered by \"" + window->title() + "\"";
    const kit::Rect frame = world.desktop().windowServer().toTopLeft(window->frame());
    return aimed + " is covered by " + (window->isPanel() ? "the panel" : "the window") + " at " + json::rect(frame);
}

// A point of the window's title bar that nothing covers, the middle first:
// where a user grabs a window to bring it forward.
std::optional<kit::Point> openTitleBarPoint(World& world, const sim::OwnWindowInfo& window) {
    if (window.isPanel || !(window.styleMask & platform::NSWindowStyleMaskTitled)) return std::nullopt;
    const kit::Rect& f = window.frame;
    const double y = f.minY() + kTitleBarHeight / 2;
    std::vector<kit::Point> candidates{{f.midX(), y}};
    for (double x = f.minX() + kTitleBarButtons; x < f.maxX(); x += kTitleBarStep) candidates.push_back({x, y});
    const sim::SimWindowServer& server = world.desktop().windowServer();
    for (const kit::Point& p : candidates) {
        const sim::SimWindowServer::Hit hit = server.hitTest(p);
        if (same(hit.window, window) && !hit.view) return p;
    }
    return std::nullopt;
}

bool within(const kit::View* view, const kit::View* control) {
    for (; view; view = view->superview())
        if (view == control) return true;
    return false;
}

}  // namespace

Result reach(World& world, const std::string& command, const sim::OwnWindowInfo& window, const kit::View* control,
             kit::Point topLeft, const std::string& what) {
    sim::Desktop& desktop = world.desktop();
    const auto covering = desktop.windowServer().windowAt(topLeft);
    if (!same(covering, window)) {
        const auto titleBar = openTitleBarPoint(world, window);
        if (!titleBar) {
            return landsElsewhere(world, command, what, topLeft, covering);
        }
        desktop.input().move(*titleBar);
        desktop.input().click(*titleBar);
    }
    desktop.input().move(topLeft);
    // Where the pointer is now is what the press lands on; moving may have
    // changed it (a close box appears on a hovered tile).
    const sim::SimWindowServer::Hit hit = desktop.windowServer().hitTest(topLeft);
    if (!same(hit.window, window)) {
        return landsElsewhere(world, command, what, topLeft, hit.window);
    }
    if (control && !within(hit.view, control)) {
        return command + ": " + what + " does not take the click at " + pointText(topLeft) +
               " (something else of the window is there)";
    }
    return std::nullopt;
}

Result clickAt(World& world, const std::string& command, const sim::OwnWindowInfo& window, const kit::View* control,
               kit::Point topLeft, const std::string& what) {
    if (auto problem = reach(world, command, window, control, topLeft, what)) return problem;
    world.desktop().input().click(topLeft);
    return std::nullopt;
}

}  // namespace scenario
