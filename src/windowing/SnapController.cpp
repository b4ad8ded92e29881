#include "windowing/SnapController.h"

#include <algorithm>

#include "app/Settings.h"
#include "ax/Geometry.h"
#include "platform/Platform.h"

namespace durazizi {

namespace {

// The pointer counts as pressed against the border within this distance,
// which arms the zone with the (usually shorter) exact delay.
constexpr double kExactBorderDistance = 2.0;

// The first screen whose frame holds the point (as NSMouseInRect, unflipped),
// else the main screen.
std::optional<platform::Screen> screenAt(kit::Point cocoa) {
    platform::Screens& screens = platform::current().screens();
    for (const platform::Screen& screen : screens.screens())
        if (screen.frame.nsMouseIn(cocoa)) return screen;
    return screens.mainScreen();
}

}  // namespace

void SnapController::start() {
    stop();
    platform::EventMonitors& events = platform::current().eventMonitors();
    std::weak_ptr<SnapController> weak = weak_from_this();
    auto install = [&](platform::NSEventMask mask, void (SnapController::*handler)()) {
        auto token = events.addGlobalMonitorForEventsMatchingMask(mask, [weak, handler](const platform::NSEvent&) {
            if (auto self = weak.lock()) ((*self).*handler)();
        });
        if (token) monitors_.push_back(std::move(token));
    };
    install(platform::NSEventMaskLeftMouseDown, &SnapController::mouseDown);
    install(platform::NSEventMaskLeftMouseDragged, &SnapController::mouseDragged);
    install(platform::NSEventMaskLeftMouseUp, &SnapController::mouseUp);
}

void SnapController::stop() {
    platform::EventMonitors& events = platform::current().eventMonitors();
    for (const auto& token : monitors_) events.removeMonitor(token);
    monitors_.clear();
}

SnapZone SnapController::zoneFor(kit::Point mouse, const platform::Screen& screen) const {
    const kit::Rect& f = screen.frame;
    const double t = edgeThreshold_;
    const double c = cornerFraction_ * f.height();
    const bool topBand = mouse.y >= f.maxY() - c;
    const bool bottomBand = mouse.y <= f.minY() + c;
    if (mouse.x <= f.minX() + t) return topBand ? SnapZone::topLeft : bottomBand ? SnapZone::bottomLeft : SnapZone::leftHalf;
    if (mouse.x >= f.maxX() - t)
        return topBand ? SnapZone::topRight : bottomBand ? SnapZone::bottomRight : SnapZone::rightHalf;
    if (mouse.y >= f.maxY() - t) return SnapZone::maximize;
    return SnapZone::none;
}

std::optional<platform::Screen> SnapController::displayNow(const platform::Screen& shown) {
    // A display has no identity in the seam but its place: one that is still
    // plugged in keeps its frame.
    for (const platform::Screen& screen : platform::current().screens().screens()) {
        if (screen.frame == shown.frame) return screen;
    }
    return std::nullopt;
}

void SnapController::mouseDown() {
    if (!Settings::boolValue("window_snapping")) return;
    kit::Point mouse = platform::current().screens().mouseLocation();
    draggedWindow_ = AX::windowAtTopLeft(Geo::toTopLeft(mouse));
    dragging_ = false;
    currentZone_ = SnapZone::none;
    armed_ = false;
}

void SnapController::mouseDragged() {
    if (!Settings::boolValue("window_snapping") || !draggedWindow_) return;
    dragging_ = true;
    kit::Point mouse = platform::current().screens().mouseLocation();
    std::optional<platform::Screen> screen = screenAt(mouse);
    if (!screen) return;
    currentScreen_ = screen;

    SnapZone zone = zoneFor(mouse, *screen);
    if (zone == currentZone_) return;
    currentZone_ = zone;
    if (armTimer_) armTimer_->invalidate();
    armed_ = false;
    overlay_.hide();
    if (zone == SnapZone::none) return;

    // The delay is chosen once, on entering the zone: pressing against the
    // border is a clearer intent than stopping near it.
    const kit::Rect& f = screen->frame;
    double d = std::min({mouse.x - f.minX(), f.maxX() - mouse.x, mouse.y - f.minY(), f.maxY() - mouse.y});
    double delay = Settings::boundedDouble(d <= kExactBorderDistance ? "window_snapping_delay_exact"
                                                                     : "window_snapping_delay_near");
    if (delay <= 0) {
        arm(zone, *screen);
        return;
    }
    std::weak_ptr<SnapController> weak = weak_from_this();
    platform::Screen captured = *screen;
    armTimer_ = platform::current().runLoop().scheduledTimer(delay, false, [weak, zone, captured](platform::Timer&) {
        if (auto self = weak.lock()) self->arm(zone, captured);
    });
}

void SnapController::arm(SnapZone zone, const platform::Screen& screen) {
    if (currentZone_ != zone) return;
    armed_ = true;
    if (auto r = rect(zone, screen.visibleFrame)) overlay_.show(*r, screen);
}

void SnapController::mouseUp() {
    if (Settings::boolValue("window_snapping") && dragging_ && armed_ && draggedWindow_ &&
        currentZone_ != SnapZone::none && currentScreen_) {
        // The display may have been unplugged, or its Dock or menu bar moved,
        // since the zone was shown: tile into the display as it is now, and
        // into nothing if it is gone, or the window would land off-screen.
        if (auto screen = displayNow(*currentScreen_)) {
            if (auto r = rect(currentZone_, screen->visibleFrame)) AX::setFrame(*draggedWindow_, Geo::toTopLeft(*r));
        }
    }
    if (armTimer_) armTimer_->invalidate();
    armTimer_.reset();
    draggedWindow_.reset();
    dragging_ = false;
    currentZone_ = SnapZone::none;
    armed_ = false;
    overlay_.hide();
}

}  // namespace durazizi
