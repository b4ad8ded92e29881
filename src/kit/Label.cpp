#include "kit/Label.h"

namespace kit {

Label::Label(std::string text, Rect frame) : View(frame), text_(std::move(text)) {}

void Label::setText(std::string text) {
    if (text == text_) return;
    text_ = std::move(text);
    setNeedsDisplay();
}

void Label::setFont(Font font) {
    font_ = font;
    setNeedsDisplay();
}

void Label::setTextColor(Color color) {
    textColor_ = color;
    setNeedsDisplay();
}

void Label::setAlignment(TextAlignment alignment) {
    alignment_ = alignment;
    setNeedsDisplay();
}

void Label::setLineBreakMode(LineBreakMode mode) {
    lineBreakMode_ = mode;
    setNeedsDisplay();
}

}  // namespace kit
