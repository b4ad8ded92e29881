#pragma once

#include <cairo.h>

#include <string>
#include <vector>

namespace icon {

// Paints Durazizi's application icon filling a pixels × pixels surface
// whose user space is one unit per pixel, origin top-left.
void paintAppIcon(cairo_t* cr, int pixels);

// One picture of an icon set, named as iconutil expects: the point size,
// and the @2x pictures at twice the pixels.
struct IconsetEntry {
    std::string file;
    int pixels = 0;
};
const std::vector<IconsetEntry>& iconsetEntries();

// Writes every picture of the set into `folder` (made if missing). Returns
// an explanation when a picture could not be written.
std::string writeIconset(const std::string& folder);

}  // namespace icon
