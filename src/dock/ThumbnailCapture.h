#pragma once

#include <functional>
#include <optional>
#include <unordered_map>
#include <vector>

#include "kit/Image.h"
#include "platform/Constants.h"

namespace durazizi {

// Turns window numbers into thumbnails no larger than a given size. One
// request per panel: one shareable-content query, the captures one after
// another off the main thread, and one hand-back on the main thread.
class ThumbnailCapture {
public:
    using Images = std::unordered_map<platform::CGWindowID, kit::ImageRef>;

    struct PixelSize {
        int width = 0;
        int height = 0;
    };

    // Calls `completion` exactly once, on the main thread, with an image for
    // each window that was found and captured.
    void captureBatch(std::vector<platform::CGWindowID> windowIDs, double maxDimension,
                      std::function<void(Images)> completion) const;

    // The capture's pixel size for a window of `windowSize` points: twice the
    // point size, scaled down (never up) to fit `maxDimension` points. None
    // for a window of 1 point or less on either side.
    static std::optional<PixelSize> pixelSize(kit::Size windowSize, double maxDimension);
};

}  // namespace durazizi
