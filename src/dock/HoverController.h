#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ax/WindowWatch.h"
#include "dock/DockObserver.h"
#include "dock/PreviewPanel.h"
#include "kit/Geometry.h"
#include "platform/Clock.h"
#include "platform/EventMonitors.h"
#include "platform/RunLoop.h"
#include "specials/SpecialPanel.h"

namespace durazizi {

// The Dock hover loop. No mouse events reach us over the Dock, so a timer
// polls the pointer 20 times a second, finds the Dock icon under it, and
// shows the window preview or a special panel once the pointer has rested on
// the icon for the activation delay. A shown panel survives short excursions
// of the pointer (the hide delay) and stays while the pointer is over it.
class HoverController : public std::enable_shared_from_this<HoverController> {
public:
    static constexpr double pollInterval = 0.05;   // seconds
    static constexpr double hideDelay = 0.28;      // seconds
    static constexpr double panelMargin = 6;       // points around a panel that still count as on it

    HoverController();

    void start();
    void stop();

    const PreviewController& preview() const { return *preview_; }
    const SpecialController& special() const { return *special_; }
    const std::optional<std::string>& pendingKey() const { return pendingKey_; }
    bool isRunning() const { return timer_ != nullptr; }
    // Whether the Dock-click watch is installed (only while a panel is up).
    bool watchesDockClicks() const { return dockClickMonitor_ != nullptr; }

private:
    void tick();
    void poll(double now, kit::Point cursorTopLeft);
    // A left click on a Dock icon while a panel is up: the click activates
    // the application, so the panel goes, and stays gone while the pointer
    // rests on that icon.
    void dockClicked(kit::Point cocoa);
    void watchDockClicks(bool watch);
    void route(const std::string& key, double now, const std::function<void()>& show);
    void logHover(double now, kit::Point cursorTopLeft);
    void showCalendar(const kit::Rect& dockFrameTopLeft);
    // Step 8: nothing to show under the pointer.
    void idle(double now);

    DockObserver dock_;
    WindowWatch windows_;
    std::vector<WindowEntry> shownWindows_;   // what the preview was last built from
    std::shared_ptr<PreviewController> preview_;
    std::shared_ptr<SpecialController> special_;
    std::shared_ptr<platform::Timer> timer_;
    std::optional<std::string> pendingKey_;
    platform::EventMonitorRef dockClickMonitor_;
    std::optional<kit::Rect> clickedIcon_;   // top-left; no panel while the pointer stays on it
    double pendingSince_ = platform::kDistantPast;
    double lastActive_ = platform::kDistantPast;
    double lastDiag_ = platform::kDistantPast;
    bool calendarAccessRequested_ = false;
};

}  // namespace durazizi
