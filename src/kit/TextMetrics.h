#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "kit/Font.h"

namespace kit {

// How wide one line of text is in a font, in points. The layout of the
// declarative screens needs it; a host that draws text installs its own
// measure so that layout and drawing agree, and without one an estimate
// from the font size serves (tests, headless runs).
using TextMeasure = std::function<double(std::string_view text, const Font& font)>;
void setTextMeasure(TextMeasure measure);

double textWidth(std::string_view text, const Font& font);
// The height of one line: the font's ascent, descent and leading.
double lineHeight(const Font& font);
// Greedy word wrapping to `width`; a word longer than the width gets a line
// of its own. Explicit line breaks are kept. Never empty.
std::vector<std::string> wrapText(std::string_view text, const Font& font, double width);

}  // namespace kit
