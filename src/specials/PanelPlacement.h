#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "kit/Geometry.h"
#include "kit/ImageView.h"
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
// The pointer triangle below a panel: its base along the lower edge, its tip
// towards the icon's centre, kept this far clear of the icon's top edge.
inline constexpr double kTriangleWidth = 18;
inline constexpr double kTriangleHeight = 6;
inline constexpr double kTipClearance = 2;
// Squeezed flatter than this (a small or negative dock offset, a panel
// pulled down onto its icon) it would read as a notch, not a pointer.
inline constexpr double kMinTriangleHeight = 3;

// Where a panel of `size` goes above a Dock icon: its origin in Cocoa screen
// coordinates, centred over the icon and kept inside the visible frame of the
// icon's screen (left, right and top; the bottom is never clamped).
kit::Point origin(const kit::Rect& dockFrameTopLeft, kit::Size size);

// Sets the window's frame origin by that rule.
void place(platform::Window& window, const kit::Rect& dockFrameTopLeft, kit::Size size);

// The pointer triangle of one placement, in the window's coordinates
// (origin bottom-left): its tip at (tipX, 0), its base centred on baseX
// along y = height.
struct Triangle {
    double tipX = 0;
    double baseX = 0;   // the middle of the base
    double width = kTriangleWidth;
    double height = kTriangleHeight;
};

// Where a panel whose body is `size` goes above a Dock icon, and its shape:
// the body sits where origin() puts it; a drawn triangle makes the window
// taller by its height, downwards, into the gap above the icon, so neither
// the gap nor the dock offset changes meaning.
struct Shape {
    kit::Point origin;         // the window's frame origin, Cocoa
    kit::Size windowSize;
    kit::Rect body;            // in the window's coordinates
    double cornerRadius = 0;
    std::optional<Triangle> triangle;
};
// Reads "docklets_draw_triangle" and "docklets_dock_offset".
Shape shape(const kit::Rect& dockFrameTopLeft, kit::Size size, double cornerRadius);

// The outline of a shape as one closed polygon in the window's coordinates,
// counter-clockwise, the rounded corners as short chords; `inset` moves every
// edge that far inwards (a border stroked along it stays inside the shape).
std::vector<kit::Point> outline(const Shape& shape, double inset = 0);

// A floating panel just above the Dock on every space, as both panels over
// Dock icons are: its content is a host view holding the blur (rounded, or
// masked to the outline with the triangle) and the border along the outline.
struct DockPanel {
    std::shared_ptr<platform::Panel> panel;
    kit::ViewRef host;
    std::shared_ptr<kit::VisualEffectView> blur;
    std::shared_ptr<kit::ImageView> border;
};
DockPanel makePanel(double cornerRadius);

// Sizes the panel to the shape and outlines it, then sets the window's
// origin; the caller lays its content out in the shape's body.
void fit(const DockPanel& made, const Shape& shape);

// Where the shape's body is while the window is at `windowFrame` (Cocoa).
kit::Rect bodyFrame(const kit::Rect& windowFrame, const Shape& shape);

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
