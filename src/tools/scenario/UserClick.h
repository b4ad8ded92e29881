#pragma once

#include <optional>
#include <string>

#include "kit/Geometry.h"
#include "kit/View.h"
#include "sim/OwnWindows.h"

namespace scenario {

class World;

// Aiming a click at a control of one of Durazizi's own windows as a user
// does: when another window covers the point, the control's window is first
// brought to the front with a click on its title bar (a panel has none, so a
// covered panel stays covered); then the pointer goes to the point, and the
// click is allowed only if what is under it there, in the window server's
// order, is the control itself. `control` null aims at the window only (its
// close button is no view). The error names what the click would land on.
std::optional<std::string> reach(World& world, const std::string& command, const sim::OwnWindowInfo& window,
                                 const kit::View* control, kit::Point topLeft, const std::string& what);

// reach(), then a click there.
std::optional<std::string> clickAt(World& world, const std::string& command, const sim::OwnWindowInfo& window,
                                   const kit::View* control, kit::Point topLeft, const std::string& what);

}  // namespace scenario
