#include <algorithm>

#include "dock/DockWorld.h"
#include "kit/VisualEffectView.h"

namespace {

using docktest::DockWorld;
using durazizi::PreviewController;
using durazizi::ThumbTile;

// A preview panel driven directly, for what does not depend on the hover loop.
class PreviewPanel : public DockWorld {
protected:
    std::shared_ptr<PreviewController> controller = std::make_shared<PreviewController>();

    void show(platform::pid_t pid) {
        controller->show(runningApp(pid), durazizi::WindowList::windows(pid, true, false), iconFrame(nameOf(pid)));
    }
    std::string nameOf(platform::pid_t pid) { return desktop().processes().info(pid)->name; }
    kit::Point tileOnScreenCentre(std::size_t index) {
        const kit::Rect r = tileOnScreen(*controller->panel(), *controller->tiles().at(index));
        return {r.midX(), r.midY()};
    }
};

TEST_F(PreviewPanel, FloatsCentredAboveTheHoveredIconOverABlurredBackdrop) {
    appWithWindows("Editor", 2);
    startHover();
    setInt("docklets_dock_offset", 20);
    showPreviewOf("Editor");
    ASSERT_TRUE(previewVisible());
    const platform::Panel& panel = *preview().panel();
    const kit::Rect icon = iconFrame("Editor");
    // The grid is the panel's body, at the window's top; the pointer
    // triangle hangs below it, into the gap.
    const kit::Rect window = topLeftFrame(panel);
    const double bodyBottom = window.minY() + preview().grid().frame().height();
    EXPECT_EQ(window.midX(), icon.midX());
    EXPECT_EQ(icon.minY() - bodyBottom, 8 + 20);
    EXPECT_GT(window.maxY(), bodyBottom);
    EXPECT_LT(window.maxY(), icon.minY());
    EXPECT_EQ(panel.level(), platform::kCGDockWindowLevel + 1);
    EXPECT_FALSE(panel.hidesOnDeactivate());
    EXPECT_FALSE(panel.isOpaque());

    auto host = panel.contentView();
    ASSERT_TRUE(host && !host->subviews().empty());
    auto blur = std::dynamic_pointer_cast<kit::VisualEffectView>(host->subviews().front());
    ASSERT_TRUE(blur);
    EXPECT_EQ(blur->material(), kit::VisualEffectMaterial::HudWindow);
    EXPECT_EQ(blur->frame(), host->bounds());
    EXPECT_EQ(host->subviews().back().get(), &preview().grid());
    EXPECT_EQ(preview().grid().frame().maxY(), host->bounds().maxY());
    EXPECT_EQ(host->frame().size, panel.frame().size);
}

struct GridCase {
    int windows;
    int size;        // "window_preview_size"
    int gridWidth;   // "window_preview_grid_width"
    bool showName;
    kit::Size panel;
    kit::Rect lastTile;   // grid coordinates, top-left
};

TEST_F(PreviewPanel, GridGeometryAndTilesInsideThePanelWithoutOverlap) {
    const GridCase cases[] = {
        {3, 200, 4, false, {644, 148}, {432, 12, 200, 124}},
        {3, 200, 4, true, {644, 170}, {432, 34, 200, 124}},
        // Size raised to 120; 74.4 rounds to 74; the fifth tile alone in row three.
        {5, 100, 2, false, {274, 266}, {12, 180, 120, 74}},
        // A grid width of 0 or below is one column.
        {3, 220, 0, false, {244, 452}, {12, 304, 220, 136}},
        {2, 220, -4, false, {244, 306}, {12, 158, 220, 136}},
        // 125 x 0.62 = 77.5: the half goes up.
        {2, 125, 5, true, {284, 124}, {147, 34, 125, 78}},
        {7, 220, 5, true, {1164, 328}, {242, 180, 220, 136}},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.windows << " windows, size " << c.size << ", grid " << c.gridWidth
                                          << (c.showName ? ", name" : ""));
        setInt("window_preview_size", c.size);
        setInt("window_preview_grid_width", c.gridWidth);
        setBool("window_preview_show_appname", c.showName);
        const auto pid = appWithWindows("App" + std::to_string(n++), c.windows);
        show(pid);

        ASSERT_TRUE(isVisible(controller->panel()));
        EXPECT_EQ(controller->panel()->frame().width(), c.panel.width);
        const auto& tiles = controller->tiles();
        ASSERT_EQ(tiles.size(), static_cast<std::size_t>(c.windows));
        EXPECT_EQ(tiles.back()->frame(), c.lastTile);

        const kit::Rect grid = controller->grid().bounds();
        EXPECT_EQ(grid.size, c.panel);
        const auto& label = controller->appNameLabel();
        EXPECT_EQ(label.isHidden(), !c.showName);
        if (c.showName) {
            EXPECT_EQ(label.frame(), kit::Rect(12, 3, c.panel.width - 24, 18));
            EXPECT_EQ(label.text(), "App" + std::to_string(n - 1));
            EXPECT_EQ(label.font(), kit::Font::boldSystemFont(12));
        }
        for (std::size_t i = 0; i < tiles.size(); ++i) {
            const kit::Rect a = tiles[i]->frame();
            EXPECT_EQ(tiles[i]->superview(), &controller->grid());
            EXPECT_TRUE(grid.insetBy(12, 12).containsRect(a)) << "tile " << i;
            if (c.showName) {
                EXPECT_FALSE(a.intersects(label.frame())) << "tile " << i;
            }
            for (std::size_t j = i + 1; j < tiles.size(); ++j)
                EXPECT_FALSE(a.intersects(tiles[j]->frame())) << "tiles " << i << " and " << j;
        }
    }
}

TEST_F(PreviewPanel, TileLayoutTitleBadgeAndDimming) {
    const auto pid = addApp("Editor");
    addWindow(pid, "Report");
    addWindow(pid, "");
    addWindow(pid, "Draft", {200, 200, 600, 400}, /*minimized=*/true);
    show(pid);
    const auto& tiles = controller->tiles();
    ASSERT_EQ(tiles.size(), 3u);

    const ThumbTile& tile = *tiles[0];
    EXPECT_EQ(tile.titleLabel().text(), "Report");
    EXPECT_EQ(tiles[1]->titleLabel().text(), " ");
    // Bottom-left origin inside the tile: the title along the bottom, the
    // close box top-left, the badge top-right.
    EXPECT_EQ(tile.imageView().frame(), kit::Rect(4, 20, 212, 112));
    EXPECT_EQ(tile.titleLabel().frame(), kit::Rect(4, 2, 212, 16));
    EXPECT_EQ(tile.closeButton().frame(), kit::Rect(2, 116, 18, 18));
    EXPECT_EQ(tile.badge().frame(), kit::Rect(200, 116, 16, 16));

    EXPECT_FALSE(tiles[0]->badgeShown());
    EXPECT_FALSE(tiles[0]->isDimmed());
    EXPECT_TRUE(tiles[2]->badgeShown());
    EXPECT_TRUE(tiles[2]->isDimmed());
    EXPECT_EQ(tiles[2]->imageView().alphaValue(), 0.55);
    ASSERT_TRUE(tiles[2]->badge().image() && tile.closeButton().image());
    EXPECT_EQ(tiles[2]->badge().image()->symbolName(), "minus.circle.fill");
    EXPECT_EQ(tile.closeButton().image()->symbolName(), "xmark.circle.fill");

    setBool("window_preview_indicators", false);
    setBool("docklets_dark_invisible", false);
    show(pid);
    EXPECT_FALSE(controller->tiles()[2]->badgeShown());
    EXPECT_FALSE(controller->tiles()[2]->isDimmed());
}

TEST_F(PreviewPanel, TheFocusedWindowsTileIsMarked) {
    const auto pid = appWithWindows("Editor", 3);
    const auto front = desktop().windows().all().back().id;   // any of them will do
    desktop().processes().setFrontmost(pid, front);
    show(pid);
    int marked = 0;
    for (const auto& tile : controller->tiles()) {
        const bool isFocused = tile->entry().id == desktop().processes().info(pid)->focusedWindow;
        EXPECT_EQ(tile->layerStyle().borderWidth, isFocused ? 2 : 0);
        marked += isFocused;
    }
    EXPECT_EQ(marked, 1);

    setBool("window_preview_indicate_frontwindow", false);
    show(pid);
    for (const auto& tile : controller->tiles()) EXPECT_EQ(tile->layerStyle().borderWidth, 0);
}

TEST_F(PreviewPanel, HoveringATileShowsItsCloseBoxAndHighlight) {
    appWithWindows("Editor", 2);
    startHover();
    showPreviewOf("Editor");
    const auto& tiles = preview().tiles();
    ASSERT_EQ(tiles.size(), 2u);
    EXPECT_FALSE(tiles[0]->closeBoxVisible());

    desktop().input().move(tileCentre(0));
    EXPECT_TRUE(tiles[0]->closeBoxVisible());
    EXPECT_EQ(tiles[0]->layerStyle().backgroundColor, kit::Color::white(0.18));
    desktop().input().move(tileCentre(1));
    EXPECT_FALSE(tiles[0]->closeBoxVisible());
    EXPECT_TRUE(tiles[0]->layerStyle().backgroundColor.isClear());
    EXPECT_TRUE(tiles[1]->closeBoxVisible());

    // Settings apply from the next show on.
    setBool("docklets_draw_highlight", false);
    setBool("window_preview_closebox", false);
    desktop().input().move({700, 300});
    desktop().time().advance(1);
    showPreviewOf("Editor");
    desktop().input().move(tileCentre(0));
    EXPECT_TRUE(preview().tiles()[0]->isHovered());
    EXPECT_FALSE(preview().tiles()[0]->closeBoxVisible());
    EXPECT_TRUE(preview().tiles()[0]->layerStyle().backgroundColor.isClear());
}

TEST_F(PreviewPanel, AppearanceFollowsTheTheme) {
    const auto pid = appWithWindows("Editor", 1);
    const std::pair<int, std::optional<kit::Appearance>> themes[] = {
        {0, std::nullopt}, {1, kit::Appearance::VibrantLight}, {2, kit::Appearance::VibrantDark}, {9, std::nullopt}};
    for (const auto& [stored, appearance] : themes) {
        setInt("theme", stored);
        show(pid);
        EXPECT_EQ(controller->panel()->appearance(), appearance) << stored;
    }
}

TEST_F(PreviewPanel, ShowWithNoWindowsHides) {
    const auto pid = appWithWindows("Editor", 1);
    show(pid);
    controller->show(runningApp(pid), {}, iconFrame("Editor"));
    EXPECT_FALSE(controller->currentPID());
    desktop().time().advance(0.5);
    EXPECT_FALSE(isVisible(controller->panel()));
}

// --- clicks -------------------------------------------------------------------------

TEST_F(PreviewPanel, ClickingATileRaisesUnminimizesAndActivates) {
    const auto editor = addApp("Editor");
    const auto report = addWindow(editor, "Report");
    const auto draft = addWindow(editor, "Draft", {300, 300, 600, 400}, /*minimized=*/true);
    const auto other = appWithWindows("Other", 1);
    desktop().processes().setFrontmost(other);
    startHover();
    showPreviewOf("Editor");
    ASSERT_EQ(preview().tiles().size(), 2u);
    ASSERT_EQ(preview().tiles()[1]->entry().id, draft);

    desktop().input().click(tileCentre(1));
    EXPECT_FALSE(desktop().windows().info(draft).minimized);
    EXPECT_TRUE(desktop().windows().info(draft).focused);
    EXPECT_TRUE(desktop().processes().info(editor)->frontmost);
    // "hideWhenPreviewClicked" is on by default.
    EXPECT_FALSE(preview().currentPID());
    desktop().time().advance(0.2);
    EXPECT_FALSE(previewVisible());

    setBool("hideWhenPreviewClicked", false);
    showPreviewOf("Editor");
    desktop().input().click(tileCentre(0));
    EXPECT_TRUE(desktop().windows().info(report).focused);
    EXPECT_TRUE(previewVisible());
    EXPECT_EQ(preview().currentPID(), editor);
}

TEST_F(PreviewPanel, ClickFallsBackToTitleThenPositionAndAlwaysActivates) {
    const auto editor = addApp("Editor");
    const auto a = addWindow(editor, "Alpha", {100, 100, 500, 400});
    const auto b = addWindow(editor, "", {600, 300, 500, 400});
    const auto c = addWindow(editor, "", {300, 200, 500, 400});
    const auto other = appWithWindows("Other", 1);
    setBool("hideWhenPreviewClicked", false);
    show(editor);
    ASSERT_EQ(controller->tiles().size(), 3u);

    // With the numbers unreadable, a titled window is found by its title and
    // an untitled one by the position nearest to where it was listed.
    for (auto id : {a, b, c}) desktop().accessibility().overrideWindowNumber(id, std::nullopt);
    const std::pair<std::size_t, platform::CGWindowID> steps[] = {{0, a}, {1, b}, {2, c}, {0, a}};
    for (const auto& [tile, expected] : steps) {
        desktop().processes().setFrontmost(other);
        desktop().input().click(tileOnScreenCentre(tile));
        EXPECT_TRUE(desktop().windows().info(expected).focused) << "tile " << tile;
        EXPECT_TRUE(desktop().processes().info(editor)->frontmost);
    }

    // An application that lists no windows any more is still activated.
    desktop().accessibility().failRead(editor, "AXWindows");
    desktop().processes().setFrontmost(other);
    desktop().input().click(tileOnScreenCentre(0));
    EXPECT_TRUE(desktop().processes().info(editor)->frontmost);
}

TEST_F(PreviewPanel, CloseBoxClosesTheWindowAndLeavesAGap) {
    const auto editor = appWithWindows("Editor", 3);
    startHover();
    showPreviewOf("Editor");
    ASSERT_EQ(preview().tiles().size(), 3u);
    const kit::Rect panelBefore = preview().panel()->frame();
    const kit::Rect lastBefore = preview().tiles()[2]->frame();
    const auto closed = preview().tiles()[1]->entry().id;

    desktop().input().click(closeBoxCentre(1));
    EXPECT_FALSE(desktop().windows().info(closed).exists);
    ASSERT_EQ(preview().tiles().size(), 2u);
    EXPECT_EQ(preview().tiles()[1]->frame(), lastBefore);
    EXPECT_EQ(preview().panel()->frame(), panelBefore);
    EXPECT_TRUE(previewVisible());
    EXPECT_EQ(preview().currentPID(), editor);

    // Closing the last tiles hides the panel.
    for (int i = 0; i < 2; ++i) desktop().input().click(closeBoxCentre(0));
    EXPECT_TRUE(preview().tiles().empty());
    EXPECT_FALSE(preview().currentPID());
    desktop().time().advance(0.2);
    EXPECT_FALSE(previewVisible());
}

TEST_F(PreviewPanel, CloseNeedsTheExactWindowNumber) {
    const auto editor = addApp("Editor");
    const auto a = addWindow(editor, "Alpha");
    sim::WindowSpec bare;
    bare.pid = editor;
    bare.title = "Palette";
    bare.closeButton = false;
    const auto b = desktop().windows().add(bare);
    show(editor);
    ASSERT_EQ(controller->tiles().size(), 2u);

    // The number no longer answers: nothing happens at all.
    desktop().accessibility().overrideWindowNumber(a, std::nullopt);
    controller->tiles()[0]->closeButton().performClick();
    EXPECT_TRUE(desktop().windows().info(a).exists);
    EXPECT_EQ(controller->tiles().size(), 2u);

    // Found but without a close button: the window stays, its tile goes.
    controller->tiles()[1]->closeButton().performClick();
    EXPECT_TRUE(desktop().windows().info(b).exists);
    ASSERT_EQ(controller->tiles().size(), 1u);
    EXPECT_EQ(controller->tiles()[0]->entry().id, a);
}

}  // namespace
