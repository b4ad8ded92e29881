#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "render/Renderer.h"
#include "tools/scenario/DefaultDesktop.h"
#include "tools/scenario/ShownPanels.h"
#include "tools/scenario/World.h"

namespace {

// How light a pixel of the painted (opaque) desktop looks, 0 to 255.
int lightness(const render::Frame& frame, kit::Point point, double scale) {
    const std::uint32_t p = frame.at(static_cast<int>(point.x * scale), static_cast<int>(point.y * scale));
    return static_cast<int>((((p >> 16) & 0xff) * 299 + ((p >> 8) & 0xff) * 587 + (p & 0xff) * 114) / 1000);
}

// In either theme the hovered tile stands out from the panel, and its close
// box from the tile: dark on a light panel, light on a dark one.
TEST(HoveredTile, HighlightAndCloseBoxReadInEitherTheme) {
    constexpr double scale = 2;
    for (const auto& [theme, name] : {std::pair{1, "light"}, std::pair{2, "dark"}}) {
        SCOPED_TRACE(name);
        scenario::ScratchHome home("durazizi-hovered-tile");
        ASSERT_TRUE(home.error().empty()) << home.error();
        scenario::World world(home.path(), [](const std::string&) {});
        scenario::buildDefaultDesktop(world);
        world.defaults().setInteger(theme, "theme");
        ASSERT_FALSE(world.launch());
        sim::Desktop& desktop = world.desktop();
        desktop.time().advance(2.0);
        const kit::Rect icon = *desktop.dock().itemFrame("Browser");
        desktop.input().move({icon.midX(), icon.midY()});
        desktop.time().advance(0.6);
        const auto preview = scenario::findPreview(world);
        ASSERT_TRUE(preview && !preview->tiles.empty());
        // The grid is flipped and fills the panel: its frames are top-left already.
        const kit::Rect panel = preview->window.frame;
        const kit::Rect f = preview->tiles[0]->frame();
        const kit::Rect tile{panel.minX() + f.minX(), panel.minY() + f.minY(), f.width(), f.height()};
        // Between the tile's edge and its picture: the tile's own background.
        const kit::Point edge{tile.minX() + 2, tile.midY()};

        render::DesktopRenderer renderer(desktop);
        const int resting = lightness(renderer.paint(scale), edge, scale);
        desktop.input().move({tile.midX(), tile.midY()});
        desktop.time().advance(0.1);
        const render::Frame& hovered = renderer.paint(scale);
        const int highlight = lightness(hovered, edge, scale);
        EXPECT_GE(std::abs(highlight - resting), 20);

        // The close box sits in the top-left corner; above its middle lies
        // its disc, between the arms of its cross.
        const kit::Point middle{tile.minX() + 11, tile.minY() + 11};
        const int disc = lightness(hovered, {middle.x, middle.y - 4.5}, scale);
        const int cross = lightness(hovered, middle, scale);
        EXPECT_GE(std::abs(disc - highlight), 100) << disc << " on " << highlight;
        EXPECT_GE(std::abs(disc - cross), 100) << cross << " on " << disc;
    }
}

}  // namespace
