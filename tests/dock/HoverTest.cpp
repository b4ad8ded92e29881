#include <algorithm>

#include "dock/DockWorld.h"
#include "sim/SimCalendarStore.h"

namespace {

using docktest::DockWorld;

class Hover : public DockWorld {};

TEST_F(Hover, PreviewAppearsAfterTheActivationDelayWhichRestartsOnANewTarget) {
    const auto editor = appWithWindows("Editor", 2);
    const auto mail = appWithWindows("Mail", 1);
    startHover();

    // Resting on an icon: the first poll only notes the target; 70 ms later it shows.
    hoverIcon("Editor");
    tick();
    tick();
    EXPECT_FALSE(previewVisible());
    EXPECT_EQ(hover_->pendingKey(), "win:" + std::to_string(editor));
    tick();
    ASSERT_TRUE(previewVisible());
    EXPECT_EQ(preview().currentPID(), editor);

    // Moving to another icon keeps the open preview until the new delay has run.
    hoverIcon("Mail");
    tick();
    tick();
    EXPECT_TRUE(previewVisible());
    EXPECT_EQ(preview().currentPID(), editor);
    tick();
    EXPECT_TRUE(previewVisible());
    EXPECT_EQ(preview().currentPID(), mail);

    // Leaving the Dock, then coming back onto a different icon: the time spent
    // on the first one does not count for the second.
    desktop().input().move({700, 300});
    desktop().time().advance(1);
    ASSERT_FALSE(previewVisible());
    hoverIcon("Editor");
    tick();
    tick();
    hoverIcon("Mail");
    tick();
    tick();
    EXPECT_FALSE(previewVisible());
    tick();
    EXPECT_EQ(preview().currentPID(), mail);
}

TEST_F(Hover, ZeroOrNegativeDelayShowsOnTheFirstPoll) {
    appWithWindows("Editor", 1);
    startHover();
    for (int delay : {0, -50}) {
        setInt("activationDelayMs", delay);
        desktop().input().move({700, 300});
        desktop().time().advance(1);
        hoverIcon("Editor");
        tick();
        EXPECT_TRUE(previewVisible()) << delay;
    }
}

TEST_F(Hover, LeavingHidesAfterTheHideDelayUnlessThePointerIsWithinSixPointsOfThePanel) {
    appWithWindows("Editor", 3);
    startHover();
    showPreviewOf("Editor");
    ASSERT_TRUE(previewVisible());
    const kit::Rect panel = topLeftFrame(*preview().panel());

    // On a tile, 5 points above the panel's top edge, 6 left of its left
    // edge: kept, however long.
    desktop().input().move(tileCentre(1));
    desktop().time().advance(2);
    EXPECT_TRUE(preview().tiles().at(1)->isHovered());
    for (kit::Point p : {kit::Point{panel.midX(), panel.minY() - 5}, kit::Point{panel.minX() - 6, panel.midY()}}) {
        desktop().input().move(p);
        desktop().time().advance(2);
        EXPECT_TRUE(preview().currentPID()) << p.x << "," << p.y;
    }

    // 7 points left: 0.28 s of grace, then the panel fades out.
    desktop().input().move({panel.minX() - 7, panel.midY()});
    desktop().time().advance(0.25);
    EXPECT_TRUE(preview().currentPID());
    EXPECT_EQ(preview().panel()->alphaValue(), 1);
    desktop().time().advance(0.05);
    EXPECT_FALSE(preview().currentPID());
    desktop().time().advance(0.2);
    EXPECT_FALSE(previewVisible());
}

TEST_F(Hover, MasterSwitchOffHidesEverythingAndShowsNothing) {
    appWithWindows("Editor", 2);
    const auto music = addApp("Music", "com.apple.Music");
    addWindow(music, "Library");
    startHover();
    showPreviewOf("Editor");
    ASSERT_TRUE(previewVisible());

    setBool("window_preview_enable", false);
    tick();
    EXPECT_FALSE(preview().currentPID());
    showPreviewOf("Music");
    EXPECT_FALSE(hover_->special().currentKey());
    showPreviewOf("Editor");
    EXPECT_FALSE(previewVisible());

    setBool("window_preview_enable", true);
    showPreviewOf("Editor");
    EXPECT_TRUE(previewVisible());
}

TEST_F(Hover, AppsWithoutWindowsStoppedOrWithOneWindowWhenAskedShowNothing) {
    addApp("Empty");
    sim::AppSpec stopped;
    stopped.name = "Stopped";
    stopped.running = false;
    desktop().processes().add(stopped);
    appWithWindows("Editor", 2);
    appWithWindows("Notes", 1);
    setBool("window_preview_hideifonewindow", true);
    startHover();
    for (const char* title : {"Empty", "Stopped", "Notes"}) {
        showPreviewOf(title);
        EXPECT_FALSE(previewVisible()) << title;
        EXPECT_FALSE(hover_->pendingKey()) << title;
    }

    // An open preview of another app goes once the hide delay runs out,
    // although the pointer rests on an icon.
    showPreviewOf("Editor");
    ASSERT_TRUE(previewVisible());
    hoverIcon("Notes");
    desktop().time().advance(0.25);
    EXPECT_TRUE(preview().currentPID());
    desktop().time().advance(0.05);
    EXPECT_FALSE(preview().currentPID());

    setBool("window_preview_hideifonewindow", false);
    showPreviewOf("Notes");
    EXPECT_TRUE(previewVisible());
}

// On a Mac each accessibility call is a round trip to the application; the
// pointer resting on a preview must not cost a window list per poll.
TEST_F(Hover, RestingOnAPreviewCostsFewCallsAndStillFollowsTheWindows) {
    for (const bool observed : {true, false}) {
        SCOPED_TRACE(observed ? "observed" : "read again by the clock");
        const auto editor = appWithWindows(observed ? "Editor" : "Mail", 10);
        if (!observed) desktop().accessibility().failObservers(editor);
        const std::string icon = observed ? "Editor" : "Mail";
        setBool("window_preview_hideifonewindow", false);
        startHover();
        showPreviewOf(icon);
        ASSERT_TRUE(previewVisible());
        desktop().accessibility().takeCalls();
        constexpr int kPolls = 200;   // ten seconds, Dock walks included
        for (int i = 0; i < kPolls; ++i) tick();
        const auto calls = desktop().accessibility().takeCalls();
        // Without an observer the list is read every ten polls or so.
        EXPECT_LE(calls, (observed ? 3u : 12u) * kPolls);
        EXPECT_TRUE(previewVisible());

        // A window opened meanwhile is on the next showing.
        addWindow(editor, "Late", {300, 300, 600, 400});
        desktop().input().move({700, 300});
        desktop().time().advance(1);
        ASSERT_FALSE(previewVisible());
        showPreviewOf(icon);
        EXPECT_EQ(preview().tiles().size(), 11u);

        // Closed down to one window while shown: the preview goes.
        setBool("window_preview_hideifonewindow", true);
        auto all = desktop().windows().all();
        std::size_t left = 0;
        for (const auto& w : all)
            if (w.pid == editor && left++ > 0) desktop().windows().close(w.id);
        desktop().time().advance(1);
        EXPECT_FALSE(previewVisible());
        hover_->stop();
    }
}

// Windows renamed, opened and closed behind a shown preview while the
// pointer rests on the icon: the application's notifications (heard on each
// window's element, where macOS delivers them) show the change on the next
// poll; an application that posts none shows it within a second.
TEST_F(Hover, ChangesBehindAShownPreviewShowWhileThePointerRests) {
    for (const bool silent : {false, true}) {
        SCOPED_TRACE(silent ? "posts no notifications" : "posts notifications");
        const std::string name = silent ? "Quiet" : "Loud";
        const auto app = appWithWindows(name, 3);
        if (silent) desktop().accessibility().silence(app);
        startHover();
        showPreviewOf(name);
        ASSERT_TRUE(previewVisible());
        const auto titles = [&] {
            std::vector<std::string> shown;
            for (const auto& tile : preview().tiles()) shown.push_back(tile->titleLabel().text());
            std::sort(shown.begin(), shown.end());
            return shown;
        };
        const double soon = silent ? 1.0 : 2 * durazizi::HoverController::pollInterval;
        platform::CGWindowID second = 0;
        for (const auto& w : desktop().windows().all())
            if (w.title == name + " 2") second = w.id;

        desktop().windows().setTitle(second, "Renamed");
        desktop().time().advance(soon);
        EXPECT_EQ(titles(), (std::vector<std::string>{name + " 1", name + " 3", "Renamed"}));
        const auto late = addWindow(app, "Late");
        desktop().time().advance(soon);
        EXPECT_EQ(titles().size(), 4u);
        desktop().windows().close(late);
        desktop().windows().close(second);
        desktop().time().advance(soon);
        EXPECT_EQ(titles(), (std::vector<std::string>{name + " 1", name + " 3"}));
        EXPECT_TRUE(previewVisible());
        hover_->stop();
    }
}

TEST_F(Hover, MediaIconsRouteToTheSpecialPanelUnlessTheirSwitchIsOff) {
    const auto music = addApp("Music", "com.apple.Music");
    addWindow(music, "Library");
    const auto spotify = addApp("Spotify", "com.spotify.client");
    addWindow(spotify, "Spotify Premium");
    appWithWindows("Editor", 1);
    startHover();

    showPreviewOf("Music");
    EXPECT_EQ(hover_->special().currentKey(), "media:Music");
    EXPECT_FALSE(previewVisible());

    showPreviewOf("Spotify");
    EXPECT_EQ(hover_->special().currentKey(), "media:Spotify");

    // A window preview replaces the special panel; the special panel a preview.
    showPreviewOf("Editor");
    EXPECT_TRUE(previewVisible());
    EXPECT_FALSE(hover_->special().currentKey());
    showPreviewOf("Music");
    EXPECT_FALSE(preview().currentPID());
    EXPECT_EQ(hover_->special().currentKey(), "media:Music");

    setBool("itunes_preview_enable", false);
    desktop().input().move({700, 300});
    desktop().time().advance(1);
    showPreviewOf("Music");
    EXPECT_TRUE(previewVisible());
    EXPECT_EQ(preview().currentPID(), music);
}

TEST_F(Hover, CalendarWithoutAccessGetsAWindowPreviewAndAsksOnce) {
    const auto calendar = addApp("Calendar", "com.apple.iCal");
    addWindow(calendar, "Calendar");
    appWithWindows("Editor", 1);
    startHover();

    for (int round = 0; round < 3; ++round) {
        showPreviewOf("Calendar");
        EXPECT_TRUE(previewVisible());
        EXPECT_EQ(preview().currentPID(), calendar);
        showPreviewOf("Editor");
    }
    EXPECT_EQ(desktop().calendarStore().accessRequests(), 1);
    EXPECT_FALSE(hover_->special().currentKey());
}

TEST_F(Hover, DiagnosticLineOncePerSecond) {
    appWithWindows("Editor", 1);
    startHover();
    const kit::Rect icon = iconFrame("Editor");
    hoverIcon("Editor");
    desktop().time().advance(1.5);
    desktop().input().move({700.4, 299.6});
    desktop().time().advance(1);

    std::vector<std::string> hovers;
    for (const auto& line : logMessages())
        if (line.starts_with("hover ")) hovers.push_back(line);
    char over[96];
    std::snprintf(over, sizeof over, "hover cursorTL=(%.0f,%.0f) dockItems=1 over=Editor", icon.midX(), icon.midY());
    ASSERT_EQ(hovers.size(), 3u);
    EXPECT_EQ(hovers[0], over);
    EXPECT_EQ(hovers[1], over);
    EXPECT_EQ(hovers[2], "hover cursorTL=(700,300) dockItems=1 over=-");
}

TEST_F(Hover, StopHidesThePreviewAndEndsThePolling) {
    appWithWindows("Editor", 1);
    auto& hover = startHover();
    showPreviewOf("Editor");
    ASSERT_TRUE(previewVisible());
    hover.stop();
    EXPECT_FALSE(hover.isRunning());
    desktop().time().advance(0.2);
    EXPECT_FALSE(previewVisible());
    showPreviewOf("Editor");
    EXPECT_FALSE(previewVisible());
}

// Dock clicks are watched only while a panel is up: a global monitor costs
// every click of every application a trip to our main thread.
TEST_F(Hover, DockClicksAreWatchedOnlyWhileAPanelIsShown) {
    appWithWindows("Editor", 2);
    startHover();
    EXPECT_EQ(desktop().eventMonitors().count(), 0u);
    showPreviewOf("Editor");
    ASSERT_TRUE(previewVisible());
    EXPECT_EQ(desktop().eventMonitors().count(), 1u);
    desktop().input().move({700, 300});
    desktop().time().advance(1.0);
    ASSERT_FALSE(previewVisible());
    EXPECT_EQ(desktop().eventMonitors().count(), 0u);
}

}  // namespace
