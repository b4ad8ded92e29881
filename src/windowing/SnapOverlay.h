#pragma once

#include <cstdint>
#include <memory>

#include "kit/Geometry.h"
#include "platform/Screens.h"
#include "platform/WindowServer.h"

namespace durazizi {

// The translucent rectangle that shows where a dragged window will go. Made
// on first use and kept.
class SnapOverlay {
public:
    static constexpr double fadeInDuration = 0.12;
    static constexpr double fadeOutDuration = 0.1;

    // `rect` in Cocoa coordinates; the screen takes no part in the placement.
    void show(const kit::Rect& rect, const platform::Screen& screen);
    void hide();

    const std::shared_ptr<platform::Window>& window() const { return window_; }

private:
    void ensureWindow();

    std::shared_ptr<platform::Window> window_;
    // Counts shows, so that a fade-out's completion can tell whether the
    // overlay was shown again while it faded.
    std::shared_ptr<std::uint64_t> shows_ = std::make_shared<std::uint64_t>(0);
};

}  // namespace durazizi
