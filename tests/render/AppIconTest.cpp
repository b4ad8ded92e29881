#include <gtest/gtest.h>

#include <cstdint>

#include "render/AppIconRaster.h"

namespace {

// Durazizi's icon is drawn at the size asked, on the icon grid: a clear
// margin, an opaque tile lit from above, at 16 pixels as at 1024.
TEST(AppIcon, DrawnAtEachSizeOnTheIconGrid) {
    for (int n : {16, 32, 256, 1024}) {
        SCOPED_TRACE(n);
        const std::vector<std::uint32_t> pixels = render::duraziziIconPixels(n);
        ASSERT_EQ(pixels.size(), static_cast<std::size_t>(n) * n);
        auto at = [&](double fx, double fy) {
            return pixels[static_cast<std::size_t>(fy * (n - 1)) * n + static_cast<std::size_t>(fx * (n - 1))];
        };
        auto alpha = [](std::uint32_t p) { return p >> 24; };
        auto blue = [](std::uint32_t p) { return (p >> 16) & 0xff; };
        auto red = [](std::uint32_t p) { return p & 0xff; };
        for (auto [fx, fy] : {std::pair{0.0, 0.0}, std::pair{1.0, 0.0}, std::pair{0.0, 0.5}, std::pair{1.0, 0.5}})
            EXPECT_EQ(alpha(at(fx, fy)), 0u) << fx << "," << fy;
        // The tile's colour beside the panel, near its top and near its bottom.
        const std::uint32_t top = at(0.15, 0.3);
        const std::uint32_t bottom = at(0.15, 0.8);
        EXPECT_EQ(alpha(top), 255u);
        EXPECT_EQ(alpha(bottom), 255u);
        EXPECT_GT(blue(top), red(top));
        EXPECT_GT(red(top), red(bottom));
    }
    EXPECT_TRUE(render::duraziziIconPixels(0).empty());
    EXPECT_TRUE(render::duraziziIconPixels(40000).empty());
}

}  // namespace
