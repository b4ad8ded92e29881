#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "kit/Appearance.h"
#include "kit/Geometry.h"
#include "kit/View.h"

namespace sim {
class Desktop;
}

namespace render {

// A painted picture: premultiplied ARGB32 as cairo's CAIRO_FORMAT_ARGB32
// keeps it (one native-endian 0xAARRGGBB word per pixel), row-major from the
// top row, stride = width * 4 bytes.
struct Frame {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// Paints the simulated desktop's primary display as a user sees it: the
// wallpaper, the menu bar with the status item and a clock, application
// windows back to front, the Dock, and Durazizi's own visible windows and
// panels in level order with their view trees. Holds the desktop by
// reference: the desktop must outlive the renderer. Main thread only.
class DesktopRenderer {
public:
    explicit DesktopRenderer(const sim::Desktop& desktop);
    ~DesktopRenderer();
    DesktopRenderer(const DesktopRenderer&) = delete;
    DesktopRenderer& operator=(const DesktopRenderer&) = delete;

    // Repaints only when something visible changed since the last paint (or
    // the scale differs); otherwise hands back the cached frame. The frame is
    // displaySize() * scale pixels, rounded up; empty (0 x 0) without a
    // display or when that would exceed 32767 pixels a side. A scale that is
    // not a positive number counts as 1.
    const Frame& paint(double scale = 1.0);
    // True when the next paint() would draw anew.
    bool needsPaint() const;
    // The primary display's size in points; zero without a display.
    kit::Size displaySize() const;

    // The appearance windows without one of their own follow (light by default).
    void setSystemAppearance(kit::Appearance appearance);
    kit::Appearance systemAppearance() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

// Writes the frame as an 8-bit RGBA PNG; false when the file cannot be written.
bool writePNG(const Frame& frame, const std::string& path);

// Paints one view tree on a transparent picture of `size` points at
// `scale`. The picture is the root's superview space, as a window's content
// area is: origin at the bottom-left, y up, so a content view at (0, 0)
// fills it. The views are drawn in `appearance`, light when absent. Empty
// (0 x 0) for a size or scale that gives no pixels or too many.
Frame paintView(const kit::View& root, kit::Size size, double scale = 1.0,
                std::optional<kit::Appearance> appearance = std::nullopt);

// The same for the part `region` of that space only (a strip along a
// window's edge, say): the picture's top row is the region's top edge.
Frame paintViewRegion(const kit::View& root, kit::Rect region, double scale = 1.0,
                      std::optional<kit::Appearance> appearance = std::nullopt);

}  // namespace render
