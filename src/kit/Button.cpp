#include "kit/Button.h"

namespace kit {

void Button::setTitle(std::string title) {
    title_ = std::move(title);
    setNeedsDisplay();
}

void Button::setImage(ImageRef image) {
    image_ = std::move(image);
    setNeedsDisplay();
}

void Button::setImageScaling(ImageScaling scaling) {
    imageScaling_ = scaling;
    setNeedsDisplay();
}

void Button::setBezelStyle(BezelStyle style) {
    bezelStyle_ = style;
    setNeedsDisplay();
}

void Button::setBordered(bool bordered) {
    bordered_ = bordered;
    setNeedsDisplay();
}

void Button::setContentTintColor(std::optional<Color> color) {
    tint_ = color;
    setNeedsDisplay();
}

void Button::setBezelColor(std::optional<Color> color) {
    bezelColor_ = color;
    setNeedsDisplay();
}

void Button::setFontSize(double size) {
    fontSize_ = size;
    setNeedsDisplay();
}

void Button::setEnabled(bool enabled) {
    enabled_ = enabled;
    if (!enabled) highlighted_ = false;
    setNeedsDisplay();
}

void Button::performClick() {
    if (!enabled_ || !action_) return;
    // The action may drop the last reference to this button (a close box
    // removing its own tile); run a copy so the closure outlives the call.
    auto action = action_;
    action();
}

bool Button::containsWindowPoint(Point pointInWindow) const {
    return bounds().nsMouseIn(convertFromRoot(pointInWindow), isFlipped());
}

void Button::mouseDown(const MouseEvent& event) {
    if (!enabled_) return;
    highlighted_ = containsWindowPoint(event.locationInWindow);
    setNeedsDisplay();
}

void Button::mouseUp(const MouseEvent& event) {
    const bool wasHighlighted = highlighted_;
    highlighted_ = false;
    if (wasHighlighted) setNeedsDisplay();
    if (containsWindowPoint(event.locationInWindow)) performClick();
}

}  // namespace kit
