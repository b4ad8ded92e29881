#pragma once

#import <AppKit/AppKit.h>

#include <string_view>

#include "kit/Font.h"

// Text as kit asks for it: the system font at a size and weight, measured
// by CoreText so that layout and AppKit's drawing agree.
namespace macos {

NSFontWeight fontWeight(kit::Font::Weight weight);
NSFont* systemFont(const kit::Font& font);
// The advance of one line, trailing spaces included (kit's wrapping adds
// words one at a time and counts the space between them).
double measureText(std::string_view text, const kit::Font& font);
// Makes kit's layout measure with measureText. Once, before any window is laid out.
void installTextMeasure();

}  // namespace macos
