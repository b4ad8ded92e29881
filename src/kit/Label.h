#pragma once

#include <cstdint>
#include <string>

#include "kit/Color.h"
#include "kit/Font.h"
#include "kit/View.h"

namespace kit {

// NSTextAlignment (the platform's values differ between its operating
// systems, so nothing may depend on the numbers).
enum class TextAlignment : std::uint8_t { Left, Center, Right, Natural };

// NSLineBreakMode, with the platform's values.
enum class LineBreakMode : std::uint8_t {
    ByWordWrapping = 0,
    ByCharWrapping = 1,
    ByClipping = 2,
    ByTruncatingHead = 3,
    ByTruncatingTail = 4,
    ByTruncatingMiddle = 5,
};

// +[NSTextField labelWithString:]: one line of static text, not editable, not
// selectable, no bezel or background. Text that does not fit is clipped
// unless the line-break mode truncates it.
class Label : public View {
public:
    Label() = default;
    explicit Label(std::string text, Rect frame = {});

    const std::string& text() const { return text_; }   // stringValue
    void setText(std::string text);
    Font font() const { return font_; }
    void setFont(Font font);
    Color textColor() const { return textColor_; }
    void setTextColor(Color color);
    TextAlignment alignment() const { return alignment_; }
    void setAlignment(TextAlignment alignment);
    LineBreakMode lineBreakMode() const { return lineBreakMode_; }
    void setLineBreakMode(LineBreakMode mode);

private:
    std::string text_;
    Font font_ = Font::systemFont(Font::systemFontSize());
    Color textColor_ = Color::label();
    TextAlignment alignment_ = TextAlignment::Natural;
    LineBreakMode lineBreakMode_ = LineBreakMode::ByClipping;
};

}  // namespace kit
