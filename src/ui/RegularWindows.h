#pragma once

#include <memory>

#include "platform/WindowServer.h"

namespace durazizi::RegularWindows {

// Durazizi's own titled windows (terms, guide, preferences) make it a
// regular application, with a Dock icon and a menu bar, while any of them is
// on screen.

// Becomes regular, activates, and brings the window forward as key.
void show(const std::shared_ptr<platform::Window>& window);
// From a window's willClose: back to a menu-bar accessory, unless another of
// these windows is still open.
void closing(const platform::Window& window);

}  // namespace durazizi::RegularWindows
