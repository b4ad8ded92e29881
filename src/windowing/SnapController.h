#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "ax/AX.h"
#include "platform/EventMonitors.h"
#include "platform/RunLoop.h"
#include "platform/Screens.h"
#include "windowing/SnapOverlay.h"
#include "windowing/SnapZone.h"

namespace durazizi {

// Drag-to-edge tiling of other applications' windows. It only watches the
// drag through global monitors (the window server moves the window); when
// the pointer has rested in a zone for its delay, the overlay shows the
// target and the release tiles the window there.
class SnapController : public std::enable_shared_from_this<SnapController> {
public:
    void start();
    void stop();

    // The zone of a point (Cocoa coordinates) on a screen: bands along the
    // left, right and top edges of the full frame, corners on the sides.
    SnapZone zoneFor(kit::Point mouse, const platform::Screen& screen) const;

    const SnapOverlay& overlay() const { return overlay_; }

private:
    void mouseDown();
    void mouseDragged();
    void mouseUp();
    void arm(SnapZone zone, const platform::Screen& screen);
    // The display that was `shown` as it is now, or nothing once it is gone.
    static std::optional<platform::Screen> displayNow(const platform::Screen& shown);

    std::vector<platform::EventMonitorRef> monitors_;
    std::optional<AX::Element> draggedWindow_;
    bool dragging_ = false;
    SnapZone currentZone_ = SnapZone::none;
    std::optional<platform::Screen> currentScreen_;
    SnapOverlay overlay_;
    bool armed_ = false;
    std::shared_ptr<platform::Timer> armTimer_;
    double edgeThreshold_ = 12.0;
    double cornerFraction_ = 0.18;
};

}  // namespace durazizi
