#include "kit/ImageView.h"

#include <algorithm>

namespace kit {

Rect imageRectFor(Size imageSize, Rect bounds, ImageScaling scaling) {
    if (imageSize.width <= 0 || imageSize.height <= 0) return {bounds.center(), Size{}};
    double scale = 1.0;
    switch (scaling) {
        case ImageScaling::AxesIndependently: return bounds;
        case ImageScaling::None: break;
        case ImageScaling::ProportionallyDown:
        case ImageScaling::ProportionallyUpOrDown: {
            const double fit = std::min(bounds.width() / imageSize.width, bounds.height() / imageSize.height);
            scale = scaling == ImageScaling::ProportionallyDown ? std::min(1.0, fit) : fit;
            scale = std::max(0.0, scale);
            break;
        }
    }
    const Size drawn{imageSize.width * scale, imageSize.height * scale};
    return {bounds.midX() - drawn.width / 2, bounds.midY() - drawn.height / 2, drawn.width, drawn.height};
}

ImageView::ImageView(ImageRef image, Rect frame) : View(frame), image_(std::move(image)) {}

void ImageView::setImage(ImageRef image) {
    if (image == image_) return;
    image_ = std::move(image);
    setNeedsDisplay();
}

void ImageView::setImageScaling(ImageScaling scaling) {
    scaling_ = scaling;
    setNeedsDisplay();
}

void ImageView::setContentTintColor(std::optional<Color> color) {
    tint_ = color;
    setNeedsDisplay();
}

Rect ImageView::imageRect() const {
    if (!image_ || image_->isEmpty()) return {bounds().center(), Size{}};
    return imageRectFor(image_->size(), bounds(), scaling_);
}

}  // namespace kit
