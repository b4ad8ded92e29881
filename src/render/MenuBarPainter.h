#pragma once

#include <cairo.h>

#include <optional>
#include <string>
#include <vector>

#include "kit/Geometry.h"
#include "kit/Image.h"
#include "render/ImagePainter.h"
#include "render/TextPainter.h"

namespace render {

inline constexpr double kMenuBarHeight = 24;

struct MenuBarContent {
    struct Title {
        std::string text;   // empty: the Apple menu, drawn as the logo
        bool bold = false;  // the application menu
    };
    kit::Rect display;                    // top-left desktop points
    std::vector<Title> menus;             // left to right
    kit::ImageRef statusImage;            // Durazizi's status item, drawn as a template
    std::optional<kit::Rect> statusFrame; // where its button sits
    bool statusHighlighted = false;       // drawn pressed
    std::string clock;                    // the clock's text
    bool dark = false;                    // the system's dark appearance
};

// The translucent bar across the top of the display: the Apple logo and the
// active application's menus from the left, the status item and the clock
// at the right.
void paintMenuBar(cairo_t* cr, TextPainter& text, ImagePainter& images, const MenuBarContent& content);

}  // namespace render
