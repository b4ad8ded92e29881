#pragma once

#include <cairo.h>

#include <optional>
#include <string>

#include "kit/Geometry.h"
#include "kit/Image.h"
#include "render/ImagePainter.h"
#include "render/TextPainter.h"

namespace render {

inline constexpr double kMenuBarHeight = 24;

struct MenuBarContent {
    kit::Rect display;                    // top-left desktop points
    std::string appName;                  // the frontmost application's, in bold at the left
    kit::ImageRef statusImage;            // Durazizi's status item, drawn as a black template
    std::optional<kit::Rect> statusFrame; // where its button sits
    double now = 0;                       // seconds since 1970, for the clock
};

// The translucent bar across the top of the display with the frontmost
// application's name, the status item and the clock.
void paintMenuBar(cairo_t* cr, TextPainter& text, ImagePainter& images, const MenuBarContent& content);

// The clock's text for a moment: "Mon 7 Dec 09:00" in UTC, the simulated
// world keeping no time zone.
std::string clockText(double secondsSince1970);

}  // namespace render
