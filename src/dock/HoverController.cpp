#include "dock/HoverController.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "app/Diag.h"
#include "app/Settings.h"
#include "ax/Geometry.h"
#include "ax/WindowList.h"
#include "platform/Platform.h"
#include "specials/CalendarContentView.h"
#include "specials/CalendarProvider.h"

namespace durazizi {

namespace {

constexpr char kCalendarBundle[] = "com.apple.iCal";
constexpr char kWindowsKeyPrefix[] = "win:";
constexpr char kCalendarKey[] = "calendar";
constexpr double kDiagInterval = 1.0;

std::string windowsKey(platform::pid_t pid) { return kWindowsKeyPrefix + std::to_string(pid); }

bool isVisible(const std::shared_ptr<platform::Panel>& panel) { return panel && panel->isVisible(); }

// The pointer is on the panel or within the margin around its body; all in
// Cocoa screen coordinates. The pointer triangle below the body counts as
// the panel but gets no margin of its own: it reaches down to the icons.
bool pointerNear(const std::shared_ptr<platform::Panel>& panel, const kit::Rect& body, kit::Point pointer) {
    if (!isVisible(panel)) return false;
    const double m = HoverController::panelMargin;
    return body.insetBy(-m, -m).cgContains(pointer) || panel->frame().cgContains(pointer);
}

}  // namespace

HoverController::HoverController()
    : preview_(std::make_shared<PreviewController>()), special_(std::make_shared<SpecialController>()) {}

void HoverController::start() {
    stop();
    timer_ = platform::current().runLoop().scheduledTimer(pollInterval, /*repeats=*/true,
                                                          [weak = weak_from_this()](platform::Timer&) {
                                                              if (auto self = weak.lock()) self->tick();
                                                          });
}

void HoverController::stop() {
    if (timer_) timer_->invalidate();
    timer_.reset();
    preview_->hide();
    special_->hide();
    watchDockClicks(false);
}

void HoverController::tick() {
    auto& platform = platform::current();
    if (!Settings::boolValue("window_preview_enable")) {
        preview_->hide();
        special_->hide();
    } else {
        const double now = platform.clock().now();
        const kit::Point cursorTL = Geo::toTopLeft(platform.screens().mouseLocation());
        logHover(now, cursorTL);
        // Until the pointer leaves the icon clicked under a panel, that icon
        // shows nothing; any other icon starts its own activation delay.
        if (clickedIcon_ && !clickedIcon_->cgContains(cursorTL)) clickedIcon_.reset();
        if (clickedIcon_) pendingKey_.reset();
        else poll(now, cursorTL);
    }
    watchDockClicks(isVisible(preview_->panel()) || isVisible(special_->panel()));
}

void HoverController::watchDockClicks(bool watch) {
    auto& monitors = platform::current().eventMonitors();
    if (watch && !dockClickMonitor_) {
        // The Dock is another process: its clicks reach us only through a
        // global monitor, which never sees clicks on our own panels.
        dockClickMonitor_ = monitors.addGlobalMonitorForEventsMatchingMask(
            platform::NSEventMaskLeftMouseDown, [weak = weak_from_this()](const platform::NSEvent& event) {
                if (auto self = weak.lock()) self->dockClicked(event.locationInWindow);
            });
    } else if (!watch && dockClickMonitor_) {
        monitors.removeMonitor(dockClickMonitor_);
        dockClickMonitor_ = nullptr;
    }
}

void HoverController::dockClicked(kit::Point cocoa) {
    if (!Settings::boolValue("docklets_hide_on_dockitem_click")) return;
    auto item = dock_.item(Geo::toTopLeft(cocoa));
    if (!item) return;
    clickedIcon_ = item->frame;
    pendingKey_.reset();
    preview_->hide();
    special_->hide();
}

void HoverController::poll(double now, kit::Point cursorTL) {
    auto& platform = platform::current();
    auto item = dock_.item(cursorTL);
    if (!item || !item->runningApp || item->runningApp->isTerminated()) {
        idle(now);
        return;
    }

    const platform::RunningApplicationRef app = item->runningApp;
    const kit::Rect frame = item->frame;
    const std::string bid = app->bundleIdentifier().value_or("");

    if (const auto player = mediaAppForBundle(bid);
        player && Settings::boolValue(*player == MediaApp::music ? "itunes_preview_enable" : "spotify_preview_enable")) {
        route(SpecialController::mediaKey(*player), now, [&] { special_->showMedia(*player, app, frame); });
        return;
    }
    if (bid == kCalendarBundle && Settings::boolValue("ical_preview_enable")) {
        const auto status = platform.calendarStore().authorizationStatusForEntityType(platform::EKEntityTypeEvent);
        if (status == platform::EKAuthorizationStatusFullAccess) {
            route(kCalendarKey, now, [&] { showCalendar(frame); });
            return;
        }
        // Without access Calendar gets the ordinary window preview; ask once.
        if (!calendarAccessRequested_) {
            calendarAccessRequested_ = true;
            CalendarProvider::shared()->requestAccess();
        }
    }

    const platform::pid_t pid = app->processIdentifier();
    auto windows = windows_.windows(pid, Settings::boolValue("window_preview_minimized"),
                                    Settings::boolValue("window_preview_include_palettes"),
                                    Settings::boolValue("window_preview_allspaces"), now);
    const std::size_t minimum = Settings::boolValue("window_preview_hideifonewindow") ? 2 : 1;
    if (windows.size() < minimum) {
        idle(now);
        return;
    }
    if (preview_->currentPID() == pid) {
        lastActive_ = now;
        // The application's windows changed while its preview is up.
        if (windows != shownWindows_) {
            shownWindows_ = windows;
            preview_->show(app, std::move(windows), frame);
        }
        return;
    }
    route(windowsKey(pid), now, [&] {
        shownWindows_ = windows;
        preview_->show(app, std::move(windows), frame);
    });
}

void HoverController::route(const std::string& key, double now, const std::function<void()>& show) {
    if (special_->currentKey() == key) {
        lastActive_ = now;
        return;
    }
    const bool isWindows = key.starts_with(kWindowsKeyPrefix);
    if (isWindows && isVisible(preview_->panel()) && windowsKey(preview_->currentPID().value_or(-1)) == key) {
        lastActive_ = now;
        return;
    }
    if (pendingKey_ != key) {
        pendingKey_ = key;
        pendingSince_ = now;
    }
    const double delay = static_cast<double>(Settings::boundedInteger("activationDelayMs")) / 1000.0;
    if (now - pendingSince_ < delay) return;

    // At most one of the two panels is on screen.
    if (isWindows)
        special_->hide();
    else
        preview_->hide();
    show();
    lastActive_ = now;
}

void HoverController::idle(double now) {
    // The pointer is read again: the panels are in Cocoa coordinates.
    const kit::Point pointer = platform::current().screens().mouseLocation();
    if (pointerNear(preview_->panel(), preview_->bodyFrame(), pointer) ||
        pointerNear(special_->panel(), special_->bodyFrame(), pointer)) {
        lastActive_ = now;
        pendingKey_.reset();
        return;
    }
    pendingKey_.reset();
    const bool anyVisible = isVisible(preview_->panel()) || isVisible(special_->panel());
    if (anyVisible && now - lastActive_ >= hideDelay) {
        preview_->hide();
        special_->hide();
    }
}

void HoverController::showCalendar(const kit::Rect& dockFrameTopLeft) {
    const auto days = static_cast<int>(Settings::boundedInteger("ical_preview_limit_days"));
    const auto limit = static_cast<int>(Settings::boundedInteger("ical_preview_limit_events"));
    auto events = CalendarProvider::shared()->upcoming(days, limit);
    if (special_->currentKey() == kCalendarKey) return;
    auto view = std::make_shared<CalendarContentView>(events);
    const kit::Size size = view->fittingSize();
    special_->present(std::move(view), size, kCalendarKey, dockFrameTopLeft);
}

void HoverController::logHover(double now, kit::Point cursorTopLeft) {
    if (now - lastDiag_ < kDiagInterval) return;
    lastDiag_ = now;
    const auto items = dock_.items(false);
    std::string over = "-";
    for (const auto& item : items) {
        if (!item.frame.cgContains(cursorTopLeft)) continue;
        if (item.runningApp) {
            auto name = item.runningApp->localizedName();
            if (name) over = *name;
        }
        break;
    }
    char text[96];
    std::snprintf(text, sizeof text, "hover cursorTL=(%.0f,%.0f) dockItems=%d over=", cursorTopLeft.x,
                  cursorTopLeft.y, static_cast<int>(items.size()));
    Diag::log(text + over);
}

}  // namespace durazizi
