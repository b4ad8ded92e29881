#pragma once

#include <cstdint>
#include <string>

#include "kit/Image.h"

namespace sim {

// The icon of a simulated application: a rounded tile on the macOS icon
// grid in a colour derived from the bundle identifier, so that every app is
// recognisable in pictures and two apps rarely look alike. Drawn as paths,
// as sharp at any size as a real application's icon is at its sizes.
kit::ImageRef makeAppIcon(const std::string& bundleId);

// The colour makeAppIcon uses, as premultiplied opaque RGBA in the image's
// pixel layout; tests use it to tell icons apart.
std::uint32_t appIconColor(const std::string& bundleId);

}  // namespace sim
