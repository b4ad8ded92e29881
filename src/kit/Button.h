#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "kit/Color.h"
#include "kit/Image.h"
#include "kit/ImageView.h"
#include "kit/View.h"

namespace kit {

// NSBezelStyle, with the platform's values.
enum class BezelStyle : std::uint8_t {
    Rounded = 1,
    RegularSquare = 2,
    Disclosure = 5,
    ShadowlessSquare = 6,
    Circular = 7,
    TexturedSquare = 8,
    HelpButton = 9,
    SmallSquare = 10,
    TexturedRounded = 11,
    RoundRect = 12,
    Recessed = 13,
    RoundedDisclosure = 14,
    Inline = 15,
};

// NSButton, a push button. Target and action are one closure; a closure that
// must not keep its target alive captures it weakly.
//
// Clicks: the button takes the mouse-down (it does not go on to the
// superview) and runs its action on a mouse-up inside its bounds; a release
// outside cancels, as the platform's tracking loop does. Disabled buttons do
// nothing.
class Button : public View {
public:
    Button() = default;
    explicit Button(Rect frame) : View(frame) {}

    const std::string& title() const { return title_; }
    void setTitle(std::string title);
    const ImageRef& image() const { return image_; }
    void setImage(ImageRef image);
    ImageScaling imageScaling() const { return imageScaling_; }
    void setImageScaling(ImageScaling scaling);
    BezelStyle bezelStyle() const { return bezelStyle_; }
    void setBezelStyle(BezelStyle style);
    bool isBordered() const { return bordered_; }
    void setBordered(bool bordered);
    const std::optional<Color>& contentTintColor() const { return tint_; }
    void setContentTintColor(std::optional<Color> color);
    // A filled bezel in this colour with light text (the prominent style).
    const std::optional<Color>& bezelColor() const { return bezelColor_; }
    void setBezelColor(std::optional<Color> color);
    // "\r" makes the button the window's default (Return presses it).
    const std::string& keyEquivalent() const { return keyEquivalent_; }
    void setKeyEquivalent(std::string key) { keyEquivalent_ = std::move(key); }
    // Title in this size instead of the system size (the small control size).
    double fontSize() const { return fontSize_; }
    void setFontSize(double size);
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled);
    // Pressed and the pointer still inside: hosts draw the pressed look.
    bool isHighlighted() const { return highlighted_; }

    // What assistive technology says for the button; a button that shows
    // only a symbol is known by it.
    const std::string& accessibilityLabel() const { return accessibilityLabel_; }
    void setAccessibilityLabel(std::string label) { accessibilityLabel_ = std::move(label); }

    void setAction(std::function<void()> action) { action_ = std::move(action); }
    bool hasAction() const { return static_cast<bool>(action_); }
    // Runs the action as a click would, if the button is enabled.
    void performClick();

    void mouseDown(const MouseEvent& event) override;
    void mouseUp(const MouseEvent& event) override;

private:
    bool containsWindowPoint(Point pointInWindow) const;

    std::string title_;
    std::string accessibilityLabel_;
    ImageRef image_;
    ImageScaling imageScaling_ = ImageScaling::ProportionallyDown;
    BezelStyle bezelStyle_ = BezelStyle::Rounded;
    bool bordered_ = true;
    std::optional<Color> tint_;
    std::optional<Color> bezelColor_;
    std::string keyEquivalent_;
    double fontSize_ = 13;
    bool enabled_ = true;
    bool highlighted_ = false;
    std::function<void()> action_;
};

}  // namespace kit
