#include "NowPlayingWorld.h"
#include "specials/PanelPlacement.h"

namespace docktest {
namespace {

using NowPlaying = NowPlayingWorld;

// The panel above the Music icon: what it shows before and after the first
// answer, the buttons, and the artwork fetched once per track.
TEST_F(NowPlaying, ShowsThePlayerAndItsButtonsWork) {
    setPlayer("Music", "paused", {"Morning Light", "Ada Reyes", "", true});
    startHover();
    showPreviewOf("Music");
    ASSERT_TRUE(specialVisible());
    ASSERT_TRUE(media());
    EXPECT_EQ(special().currentKey(), "media:Music");
    EXPECT_EQ(media()->titleLabel().text(), "Morning Light");
    EXPECT_EQ(media()->artistLabel().text(), "Ada Reyes");
    EXPECT_EQ(media()->playPauseButton().image()->symbolName(), "play.fill");
    EXPECT_NE(media()->artwork().image(), runningApp(music)->icon());   // the cover came

    const_cast<kit::Button&>(media()->playPauseButton()).performClick();
    desktop().time().advance(durazizi::MediaContentView::kRefreshAfterTap + 0.01);
    EXPECT_EQ(media()->playPauseButton().image()->symbolName(), "pause.fill");

    const_cast<kit::Button&>(media()->nextButton()).performClick();
    desktop().time().advance(0.3);
    EXPECT_EQ(media()->titleLabel().text(), "Glass Garden");
    EXPECT_EQ(media()->artistLabel().text(), "North & Pine \u2014 Greenhouse");

    // Polls keep coming; the cover is asked for once per track.
    desktop().time().advance(5);
    auto sent = sources();
    EXPECT_EQ(count(sent, "artwork 1"), 2);
    EXPECT_GE(count(sent, "player state"), 4);

    // Another album of the same title and artist is the same track.
    setPlayer("Music", "playing", {"Glass Garden", "North & Pine", "Greenhouse (Live)", true});
    desktop().time().advance(3);
    EXPECT_EQ(count(sources(), "artwork 1"), 0);
    EXPECT_EQ(media()->artistLabel().text(), "North & Pine \u2014 Greenhouse (Live)");

    setPlayer("Music", "stopped", {});
    desktop().time().advance(1.6);
    EXPECT_EQ(media()->titleLabel().text(), "Music");
    EXPECT_EQ(media()->artistLabel().text(), "Not playing");
    EXPECT_EQ(media()->artwork().image(), runningApp(music)->icon());
}

// A player that does not answer holds one script, however long the panel
// stays; what it finally says after the panel was hidden changes nothing.
TEST_F(NowPlaying, OneStateRequestInFlightAndNoStaleAnswers) {
    setPlayer("Spotify", "playing", {"Night Drive", "Lumen", "Coastlines", true});
    players().setHang("Spotify", true);
    startHover();
    showPreviewOf("Spotify");
    ASSERT_TRUE(specialVisible());
    desktop().time().advance(15);
    EXPECT_EQ(players().pending(), 1);
    EXPECT_EQ(count(sources(), "player state"), 1);
    EXPECT_EQ(media()->titleLabel().text(), "Spotify");

    desktop().input().move({700, 300});
    desktop().time().advance(1);
    ASSERT_FALSE(specialVisible());
    const auto* hidden = media();
    players().setHang("Spotify", false);
    desktop().time().advance(0.1);
    EXPECT_EQ(players().pending(), 0);
    EXPECT_EQ(hidden->titleLabel().text(), "Spotify");   // stale: dropped
    desktop().time().advance(5);
    EXPECT_EQ(count(sources(), "player state"), 0);        // polling stopped with the hide
}

// Above the icon by 8 points plus the offset, kept 8 points inside the
// visible frame on the left.
TEST_F(NowPlaying, PlacementFollowsTheDockOffsetAndTheScreenEdge) {
    setInt("docklets_dock_offset", 10);
    startHover();
    showPreviewOf("Music");
    ASSERT_TRUE(specialVisible());
    const kit::Rect icon = iconFrame("Music");
    kit::Rect frame = topLeftFrame(*special().panel());
    // The content is the panel's body, at the window's top; the pointer
    // triangle hangs below it.
    EXPECT_EQ(special().content()->frame().size, (kit::Size{320, 118}));
    EXPECT_DOUBLE_EQ(frame.minY() + 118, icon.minY() - 18);
    EXPECT_DOUBLE_EQ(frame.midX(), icon.midX());

    // Many icons push Music towards the left edge of the display.
    for (int i = 0; i < 24; ++i) addApp("App" + std::to_string(i));
    desktop().input().move({700, 300});
    desktop().time().advance(1);
    desktop().time().advance(2.1);   // the Dock cache runs out
    showPreviewOf("Music");
    ASSERT_TRUE(specialVisible());
    frame = topLeftFrame(*special().panel());
    EXPECT_DOUBLE_EQ(frame.minX(), 8);
}

}  // namespace
}  // namespace docktest
