#pragma once

#include <functional>
#include <string>

namespace macos {

// Builds every window and panel Durazizi shows, lets AppKit lay out their
// mirrored views, writes each one's picture (cacheDisplayInRect:) into
// `folder`, and checks that AppKit's hit-testing finds the view kit's does.
void checkWindows(const std::string& folder, const std::function<void(bool, const std::string&)>& check);

}  // namespace macos
