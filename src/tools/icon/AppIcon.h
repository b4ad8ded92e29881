#pragma once

#include <string>
#include <vector>

namespace icon {

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
