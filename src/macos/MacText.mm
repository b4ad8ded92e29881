#include "macos/MacText.h"

#include <CoreText/CoreText.h>

#include "kit/TextMetrics.h"
#include "macos/CFRef.h"

namespace macos {

NSFontWeight fontWeight(kit::Font::Weight weight) {
    switch (weight) {
        case kit::Font::Weight::Regular: return NSFontWeightRegular;
        case kit::Font::Weight::Medium: return NSFontWeightMedium;
        case kit::Font::Weight::Semibold: return NSFontWeightSemibold;
        case kit::Font::Weight::Bold: return NSFontWeightBold;
    }
    return NSFontWeightRegular;
}

NSFont* systemFont(const kit::Font& font) {
    return [NSFont systemFontOfSize:font.pointSize weight:fontWeight(font.weight)];
}

double measureText(std::string_view text, const kit::Font& font) {
    if (text.empty()) return 0;
    @autoreleasepool {
        // Text that is not UTF-8 has no glyphs to measure.
        auto string = CFRef<CFStringRef>::adopt(CFStringCreateWithBytes(
            nullptr, reinterpret_cast<const UInt8*>(text.data()), static_cast<CFIndex>(text.size()),
            kCFStringEncodingUTF8, false));
        if (!string) return 0;
        // NSFont and CTFont are one object seen from two frameworks.
        CTFontRef ctFont = (__bridge CTFontRef)systemFont(font);
        const void* keys[] = {kCTFontAttributeName};
        const void* values[] = {ctFont};
        auto attributes = CFRef<CFDictionaryRef>::adopt(CFDictionaryCreate(
            nullptr, keys, values, 1, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks));
        auto attributed = CFRef<CFAttributedStringRef>::adopt(
            CFAttributedStringCreate(nullptr, string.get(), attributes.get()));
        if (!attributed) return 0;
        auto line = CFRef<CTLineRef>::adopt(CTLineCreateWithAttributedString(attributed.get()));
        if (!line) return 0;
        return CTLineGetTypographicBounds(line.get(), nullptr, nullptr, nullptr);
    }
}

void installTextMeasure() { kit::setTextMeasure(measureText); }

}  // namespace macos
