#pragma once

#include <cstdint>
#include <optional>

#include "kit/Color.h"
#include "kit/Image.h"
#include "kit/View.h"

namespace kit {

// NSImageScaling, with the platform's values.
enum class ImageScaling : std::uint8_t {
    ProportionallyDown = 0,
    AxesIndependently = 1,
    None = 2,
    ProportionallyUpOrDown = 3,
};

// Where an image of `imageSize` points is drawn inside `bounds` (centred, as
// the platform's default image alignment puts it). Proportional scaling keeps
// the aspect ratio; `ProportionallyDown` never enlarges; `None` keeps the
// natural size and may overhang the bounds, which the host clips. An image
// without area draws nothing: an empty rect at the centre.
Rect imageRectFor(Size imageSize, Rect bounds, ImageScaling scaling);

// NSImageView showing an image, or nothing while the image is null.
class ImageView : public View {
public:
    ImageView() = default;
    explicit ImageView(ImageRef image, Rect frame = {});

    const ImageRef& image() const { return image_; }
    void setImage(ImageRef image);
    ImageScaling imageScaling() const { return scaling_; }
    void setImageScaling(ImageScaling scaling);
    // Tints a template image (symbols are templates); ignored for others.
    const std::optional<Color>& contentTintColor() const { return tint_; }
    void setContentTintColor(std::optional<Color> color);

    // The drawn image's rect in this view's bounds; empty while there is no image.
    Rect imageRect() const;

private:
    ImageRef image_;
    ImageScaling scaling_ = ImageScaling::ProportionallyDown;
    std::optional<Color> tint_;
};

}  // namespace kit
