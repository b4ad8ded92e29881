#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sim {

// A track's cover as a player hands it out: a square picture whose colours
// follow the title and artist, encoded the way the player stores it (Music
// keeps PNG data, Spotify's artwork server answers JPEG). Empty if encoding fails.
std::vector<std::uint8_t> coverPng(const std::string& title, const std::string& artist, int pixels);
std::vector<std::uint8_t> coverJpeg(const std::string& title, const std::string& artist, int pixels);

}  // namespace sim
