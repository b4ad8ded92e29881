#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "kit/Geometry.h"
#include "kit/View.h"
#include "kit/VisualEffectView.h"
#include "platform/WindowServer.h"

namespace durazizi::PanelPlacement {

inline constexpr double kGap = 8;             // between the icon's top edge and the panel
inline constexpr double kScreenMargin = 8;    // from the visible frame's left, right and top
inline constexpr double kSlideDistance = 10;
inline constexpr double kSnapInDuration = 0.16;
inline constexpr double kFadeInDuration = 0.14;
inline constexpr double kFadeOutDuration = 0.1;

// Where a panel of `size` goes above a Dock icon: its origin in Cocoa screen
// coordinates, centred over the icon and kept inside the visible frame of the
// icon's screen (left, right and top; the bottom is never clamped).
kit::Point origin(const kit::Rect& dockFrameTopLeft, kit::Size size);

// Sets the window's frame origin by that rule.
void place(platform::Window& window, const kit::Rect& dockFrameTopLeft, kit::Size size);

// A floating panel just above the Dock on every space, as both panels over
// Dock icons are: its content is a host view holding the rounded blur.
struct DockPanel {
    std::shared_ptr<platform::Panel> panel;
    kit::ViewRef host;
    std::shared_ptr<kit::VisualEffectView> blur;
};
DockPanel makePanel(double cornerRadius);

// The fade-out of a panel over a Dock icon, which belongs to the showing it
// began in: a fade begun before the latest show must not order out the
// panel that show put up, and the hover loop, which asks to hide on every
// poll while the panel fades, must not restart it.
class Fader {
public:
    void shown();   // a new showing
    void fadeOut(const std::shared_ptr<platform::Panel>& panel);

private:
    struct State {
        std::uint64_t showing = 0;
        std::optional<std::uint64_t> fading;
    };
    std::shared_ptr<State> state_ = std::make_shared<State>();
};

// Shows a placed window sliding up 10 points while fading in, whatever the
// user chose for the preview panel.
void animateIn(platform::Window& window);

}  // namespace durazizi::PanelPlacement
