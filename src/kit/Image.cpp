#include "kit/Image.h"

namespace kit {

std::shared_ptr<const Image> Image::fromPixels(int pixelWidth, int pixelHeight,
                                               std::vector<std::uint32_t> rgba, Size pointSize) {
    auto image = std::make_shared<Image>();
    image->pixelWidth_ = pixelWidth;
    image->pixelHeight_ = pixelHeight;
    image->pixels_ = std::make_shared<const std::vector<std::uint32_t>>(std::move(rgba));
    image->size_ = pointSize;
    return image;
}

std::shared_ptr<const Image> Image::fromDrawing(VectorDrawing drawing, bool isTemplate) {
    auto image = std::make_shared<Image>();
    image->size_ = drawing.canvas;
    image->drawing_ = std::move(drawing);
    image->isTemplate_ = isTemplate;
    return image;
}

std::shared_ptr<const Image> Image::symbol(std::string name, double pointSize,
                                           std::string accessibilityDescription, Font::Weight weight) {
    auto image = std::make_shared<Image>();
    image->size_ = {pointSize, pointSize};
    image->symbolWeight_ = weight;
    image->symbolName_ = std::move(name);
    image->accessibilityDescription_ = std::move(accessibilityDescription);
    image->isTemplate_ = true;
    return image;
}

std::shared_ptr<const Image> Image::withPointSize(const std::shared_ptr<const Image>& image, Size pointSize) {
    if (!image) return nullptr;
    auto resized = std::make_shared<Image>(*image);
    resized->size_ = pointSize;
    return resized;
}

const std::vector<std::uint32_t>& Image::noPixels() {
    static const std::vector<std::uint32_t> none;
    return none;
}

std::shared_ptr<const Image> Image::empty() {
    static const auto emptyImage = std::make_shared<const Image>();
    return emptyImage;
}

}  // namespace kit
