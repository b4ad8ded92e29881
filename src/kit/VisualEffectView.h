#pragma once

#include <cstdint>

#include "kit/Image.h"
#include "kit/View.h"

namespace kit {

// NSVisualEffectMaterial, with the platform's values.
enum class VisualEffectMaterial : std::uint8_t {
    Titlebar = 3,
    Selection = 4,
    Menu = 5,
    Popover = 6,
    Sidebar = 7,
    HeaderView = 10,
    Sheet = 11,
    WindowBackground = 12,
    HudWindow = 13,
    FullScreenUI = 15,
    ToolTip = 17,
    ContentBackground = 18,
    UnderWindowBackground = 21,
    UnderPageBackground = 22,
};

// NSVisualEffectState
enum class VisualEffectState : std::uint8_t { FollowsWindowActiveState = 0, Active = 1, Inactive = 2 };

// NSVisualEffectBlendingMode
enum class VisualEffectBlendingMode : std::uint8_t { BehindWindow = 0, WithinWindow = 1 };

// NSVisualEffectView: a translucent, blurred backdrop. Hosts approximate the
// material with a tinted, blurred copy of what lies behind (behind-window) or
// beneath within the window (within-window).
class VisualEffectView : public View {
public:
    using View::View;

    VisualEffectMaterial material() const { return material_; }
    void setMaterial(VisualEffectMaterial material);
    VisualEffectState state() const { return state_; }
    void setState(VisualEffectState state);
    VisualEffectBlendingMode blendingMode() const { return blendingMode_; }
    void setBlendingMode(VisualEffectBlendingMode mode);
    // NSVisualEffectView.maskImage: the material shows only where the image
    // is opaque, stretched over the bounds; none shows it over the whole
    // (layer-shaped) bounds. Hosts draw vector masks; a shape with a notch or
    // a pointer is given as one.
    const ImageRef& maskImage() const { return maskImage_; }
    void setMaskImage(ImageRef image);

private:
    // State and blending are the platform's defaults for a new view; the
    // material's default is deprecated there, window background stands in.
    VisualEffectMaterial material_ = VisualEffectMaterial::WindowBackground;
    VisualEffectState state_ = VisualEffectState::FollowsWindowActiveState;
    VisualEffectBlendingMode blendingMode_ = VisualEffectBlendingMode::BehindWindow;
    ImageRef maskImage_;
};

}  // namespace kit
