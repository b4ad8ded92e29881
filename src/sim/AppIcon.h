#pragma once

#include <string>

#include "kit/Image.h"

namespace sim {

// A small icon for a simulated application: a rounded tile in a colour
// derived from the bundle identifier, so that every app is recognisable in
// pictures and two apps rarely look alike.
kit::ImageRef makeAppIcon(const std::string& bundleId);

// The colour makeAppIcon uses, as premultiplied opaque RGBA in the image's
// pixel layout; tests use it to tell icons apart.
std::uint32_t appIconColor(const std::string& bundleId);

}  // namespace sim
