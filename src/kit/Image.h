#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "kit/Font.h"
#include "kit/Geometry.h"
#include "kit/VectorDrawing.h"

namespace kit {

// An image as the core sees it: premultiplied RGBA pixels with a size in
// points (pixels may be denser than points), or a vector drawing rasterised
// on demand by whichever host shows it, or a named system symbol.
class Image {
public:
    static std::shared_ptr<const Image> fromPixels(int pixelWidth, int pixelHeight,
                                                   std::vector<std::uint32_t> rgba, Size pointSize);
    static std::shared_ptr<const Image> fromDrawing(VectorDrawing drawing, bool isTemplate);
    // A symbol drawn at a point size and weight (NSImageSymbolConfiguration).
    static std::shared_ptr<const Image> symbol(std::string name, double pointSize,
                                               std::string accessibilityDescription = {},
                                               Font::Weight weight = Font::Weight::Regular);
    static std::shared_ptr<const Image> empty();
    // The same image at another size in points, sharing its pixels rather
    // than copying them (as a picture is wrapped at a point size).
    static std::shared_ptr<const Image> withPointSize(const std::shared_ptr<const Image>& image, Size pointSize);

    Size size() const { return size_; }
    int pixelWidth() const { return pixelWidth_; }
    int pixelHeight() const { return pixelHeight_; }
    // Premultiplied 0xAABBGGRR-in-memory RGBA, row-major from the top row.
    const std::vector<std::uint32_t>& pixels() const { return pixels_ ? *pixels_ : noPixels(); }
    // The pixel buffer itself, shared by every image made from the same
    // pixels (as CGImages made from one data provider share it); null when
    // the image has no pixels.
    const std::shared_ptr<const std::vector<std::uint32_t>>& pixelStorage() const { return pixels_; }
    const std::optional<VectorDrawing>& drawing() const { return drawing_; }
    const std::string& symbolName() const { return symbolName_; }
    const std::string& accessibilityDescription() const { return accessibilityDescription_; }
    Font::Weight symbolWeight() const { return symbolWeight_; }
    bool isTemplate() const { return isTemplate_; }
    bool isEmpty() const { return pixels().empty() && !drawing_ && symbolName_.empty(); }

    std::uint32_t pixelAt(int x, int y) const { return pixels()[static_cast<std::size_t>(y) * pixelWidth_ + x]; }

private:
    static const std::vector<std::uint32_t>& noPixels();

    Size size_;
    int pixelWidth_ = 0;
    int pixelHeight_ = 0;
    std::shared_ptr<const std::vector<std::uint32_t>> pixels_;
    std::optional<VectorDrawing> drawing_;
    std::string symbolName_;
    std::string accessibilityDescription_;
    Font::Weight symbolWeight_ = Font::Weight::Regular;
    bool isTemplate_ = false;
};

using ImageRef = std::shared_ptr<const Image>;

}  // namespace kit
