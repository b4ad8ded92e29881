#pragma once

#include "kit/Geometry.h"

// The two global coordinate spaces. Top-left coordinates (accessibility,
// event locations, Dock frames) grow downward from the primary display's
// top-left corner; Cocoa screen coordinates (screens, our own windows, the
// pointer as NSEvent reports it) grow upward from its bottom-left corner.
// Both share x, and both are anchored to the primary display, so the same
// formulas hold on every display.
namespace durazizi::Geo {

// Height of the display whose Cocoa frame starts at (0, 0); else the main
// screen's height; else 0. Read afresh every time, so a change of display
// arrangement applies at the next conversion.
double primaryHeight();

// A point keeps x; y becomes H - y.
kit::Point toCocoa(kit::Point topLeft);
kit::Point toTopLeft(kit::Point cocoa);
// A rectangle keeps x and its size; y becomes H - y - height, since its far
// edge in one space is its origin in the other.
kit::Rect toCocoa(const kit::Rect& topLeft);
kit::Rect toTopLeft(const kit::Rect& cocoa);

}  // namespace durazizi::Geo
