#pragma once

#include <cairo.h>

#include <vector>

#include "sim/Desktop.h"
#include "render/ImagePainter.h"
#include "render/TextPainter.h"

namespace render {

// The Dock: a frosted rounded strip behind the items, application icons
// drawn from the app's colour with its initial, folder, Trash, separator and
// minimized-window tiles, and a dot under every running application. An
// item that carries its own icon (Durazizi's bundle icon) is drawn with it.
// Dark draws the strip and its marks in the dark appearance.
// All artwork is drawn here; none is borrowed.
void paintDock(cairo_t* cr, TextPainter& text, ImagePainter& images, const std::vector<sim::DockItemInfo>& items,
               bool dark = false);

}  // namespace render
