#include "kit/TextMetrics.h"

#include <cmath>
#include <mutex>

namespace kit {

namespace {

std::mutex measureMutex;
TextMeasure installed;

// Average advances of the system font, as fractions of its size.
double estimate(std::string_view text, const Font& font) {
    double perChar = 0.55;
    if (font.weight == Font::Weight::Semibold || font.weight == Font::Weight::Bold) perChar = 0.59;
    std::size_t codePoints = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80) ++codePoints;
    return static_cast<double>(codePoints) * perChar * font.pointSize;
}

}  // namespace

void setTextMeasure(TextMeasure measure) {
    std::lock_guard lock(measureMutex);
    installed = std::move(measure);
}

double textWidth(std::string_view text, const Font& font) {
    TextMeasure measure;
    {
        std::lock_guard lock(measureMutex);
        measure = installed;
    }
    return measure ? measure(text, font) : estimate(text, font);
}

double lineHeight(const Font& font) { return std::ceil(font.pointSize * 1.22); }

std::vector<std::string> wrapText(std::string_view text, const Font& font, double width) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view paragraph = text.substr(start, end - start);
        std::string line;
        std::size_t pos = 0;
        while (pos < paragraph.size()) {
            std::size_t next = paragraph.find(' ', pos);
            if (next == std::string_view::npos) next = paragraph.size();
            const std::string_view word = paragraph.substr(pos, next - pos);
            std::string candidate = line.empty() ? std::string(word) : line + " " + std::string(word);
            if (!line.empty() && textWidth(candidate, font) > width) {
                lines.push_back(std::move(line));
                line = std::string(word);
            } else {
                line = std::move(candidate);
            }
            pos = next + 1;
        }
        lines.push_back(std::move(line));
        start = end + 1;
    }
    if (lines.empty()) lines.emplace_back();
    return lines;
}

}  // namespace kit
