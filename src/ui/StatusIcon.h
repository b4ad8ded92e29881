#pragma once

#include "kit/Image.h"

namespace durazizi::StatusIcon {

// The status item's 18 x 16 point template image: a speech-bubble box over a
// row of three squares, drawn by the host at whatever scale the menu bar uses.
kit::ImageRef image();

}  // namespace durazizi::StatusIcon
