#include <algorithm>

#include "dock/DockWorld.h"

namespace {

using docktest::DockWorld;

// A Mac with two Spaces on its display, the first one shown.
class Spaces : public DockWorld {
protected:
    Spaces() { otherSpace_ = *desktop().spaces().add(0); }

    platform::CGWindowID windowOn(sim::SpaceID space, platform::pid_t pid, const std::string& title,
                                  bool minimized = false) {
        sim::WindowSpec window;
        window.pid = pid;
        window.title = title;
        window.frame = {200, 150, 700, 500};
        window.minimized = minimized;
        window.space = space;
        return desktop().windows().add(window);
    }

    struct Tile {
        std::string title;
        std::optional<std::string> spaceLabel;
        bool operator==(const Tile&) const = default;
        friend void PrintTo(const Tile& t, std::ostream* os) {
            *os << t.title << (t.spaceLabel ? " [" + *t.spaceLabel + "]" : std::string());
        }
    };
    std::vector<Tile> tiles() const {
        std::vector<Tile> shown;
        for (const auto& tile : preview().tiles()) {
            Tile t{tile->titleLabel().text(), std::nullopt};
            if (tile->spaceLabelShown()) t.spaceLabel = tile->spaceLabel().text();
            shown.push_back(t);
        }
        return shown;
    }

    static constexpr sim::SpaceID kShown = 1;
    sim::SpaceID otherSpace_ = 0;
};

// What accessibility lists and what only the window server lists meet in
// one preview: each window once, the other Space's after the current one's
// whatever their age, with a thumbnail and a label saying where it is, but
// without a close box that could do nothing and without the minimized badge.
TEST_F(Spaces, OtherSpaceWindowsFollowTheCurrentOnesOnceEach) {
    const auto editor = addApp("Editor");
    const auto away = windowOn(otherSpace_, editor, "Away");          // the oldest
    windowOn(kShown, editor, "Here");
    windowOn(otherSpace_, editor, "Docked", /*minimized=*/true);      // listed by both, as minimized
    startHover();
    showPreviewOf("Editor");
    ASSERT_TRUE(previewVisible());

    const std::vector<Tile> expected{{"Here", std::nullopt}, {"Docked", std::nullopt}, {"Away", "Other Space"}};
    EXPECT_EQ(tiles(), expected);
    const auto& awayTile = *preview().tiles().at(2);
    EXPECT_EQ(awayTile.entry().id, away);
    EXPECT_FALSE(awayTile.badgeShown());
    EXPECT_TRUE(preview().tiles().at(1)->badgeShown());
    EXPECT_TRUE(desktop().capture().sourceOf(awayTile.imageView().image()));

    desktop().input().move(tileCentre(2));
    tick();
    EXPECT_TRUE(awayTile.isHovered());
    EXPECT_FALSE(awayTile.closeBoxVisible());
    const kit::Rect label = awayTile.spaceLabel().frame();
    EXPECT_TRUE(awayTile.bounds().containsRect(label));
    EXPECT_FALSE(label.intersects(awayTile.titleLabel().frame()));
    EXPECT_FALSE(label.intersects(awayTile.badge().frame()));
}

// A window dragged to another Space in Mission Control, or opened there,
// posts nothing an observer hears; the preview follows within a second.
TEST_F(Spaces, WindowsMovingBetweenSpacesWhileThePreviewIsUpMoveTheirTiles) {
    const auto editor = addApp("Editor");
    const auto first = windowOn(kShown, editor, "First");
    windowOn(kShown, editor, "Second");
    startHover();
    showPreviewOf("Editor");
    ASSERT_EQ(tiles().size(), 2u);

    desktop().spaces().moveWindow(first, otherSpace_);
    desktop().time().advance(1);
    EXPECT_EQ(tiles(), (std::vector<Tile>{{"Second", std::nullopt}, {"First", "Other Space"}}));

    windowOn(otherSpace_, editor, "Opened away");
    desktop().time().advance(1);
    EXPECT_EQ(tiles().size(), 3u);

    desktop().spaces().moveWindow(first, kShown);
    desktop().time().advance(1);
    EXPECT_EQ(tiles(), (std::vector<Tile>{{"First", std::nullopt}, {"Second", std::nullopt},
                                          {"Opened away", "Other Space"}}));
    EXPECT_TRUE(previewVisible());
}

// Off: only what is on a current Space (and minimized). The switch is read
// on every poll, so flipping it under a shown preview shows at once.
TEST_F(Spaces, TheSwitchIsReadAtTheMomentOfUse) {
    const auto editor = addApp("Editor");
    windowOn(kShown, editor, "Here");
    windowOn(otherSpace_, editor, "Away");
    const auto onlyAway = addApp("Elsewhere");
    windowOn(otherSpace_, onlyAway, "Lonely");
    setBool("window_preview_allspaces", false);
    startHover();
    showPreviewOf("Editor");
    EXPECT_EQ(tiles(), (std::vector<Tile>{{"Here", std::nullopt}}));

    setBool("window_preview_allspaces", true);
    tick();
    EXPECT_EQ(tiles().size(), 2u);
    setBool("window_preview_allspaces", false);
    tick();
    EXPECT_EQ(tiles().size(), 1u);

    // An application whose every window is on another Space has nothing to show.
    showPreviewOf("Elsewhere");
    EXPECT_NE(preview().currentPID(), onlyAway);
    setBool("window_preview_allspaces", true);
    desktop().time().advance(0.2);
    EXPECT_EQ(preview().currentPID(), onlyAway);
}

// Activating an application with no window where the user is switches to the
// Space of its front-most window; the clicked window, reachable from then
// on, is raised and focused. Where it stays out of reach the activation is
// all there is.
TEST_F(Spaces, ClickingAnOtherSpaceTileSwitchesSpaceAndFocusesItsWindow) {
    const auto finder = addApp("Notes");
    windowOn(kShown, finder, "Note");
    desktop().processes().setFrontmost(finder, std::nullopt);
    const auto editor = addApp("Editor");
    const auto clicked = windowOn(otherSpace_, editor, "Clicked");
    const auto front = windowOn(otherSpace_, editor, "Front");   // the newest is in front
    setBool("hideWhenPreviewClicked", false);
    startHover();
    showPreviewOf("Editor");
    ASSERT_EQ(tiles().size(), 2u);
    const auto& tile = *std::find_if(preview().tiles().begin(), preview().tiles().end(),
                                     [&](const auto& t) { return t->entry().id == clicked; });

    desktop().input().click(tileOnScreen(*preview().panel(), *tile).center());
    desktop().time().advance(0.3);
    EXPECT_EQ(desktop().spaces().list().current, (std::vector<sim::SpaceID>{otherSpace_}));
    EXPECT_TRUE(desktop().windows().info(clicked).focused);
    EXPECT_FALSE(desktop().windows().info(front).focused);

    // Back on the first Space, with a window of the editor there too: the
    // click activates the editor and leaves the Space alone.
    desktop().spaces().switchTo(kShown);
    windowOn(kShown, editor, "Here");
    desktop().processes().setFrontmost(finder, std::nullopt);
    showPreviewOf("Editor");
    desktop().time().advance(1);
    ASSERT_EQ(tiles().size(), 3u);
    desktop().input().click(tileCentre(2));
    desktop().time().advance(2);
    EXPECT_EQ(desktop().spaces().list().current, (std::vector<sim::SpaceID>{kShown}));
    EXPECT_EQ(desktop().processes().frontmost(), editor);
    EXPECT_TRUE(desktop().windows().info(desktop().windows().all().front().id).onCurrentSpace);
}

}  // namespace
