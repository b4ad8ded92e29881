#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/ScenarioOutput.h"

// Every fault the simulated desktop can make, at the moment it hurts most,
// followed by what a user does next. Whatever happened, Durazizi must not
// crash, must not be left stuck (the next hover, drag and click work), and
// must not lose a setting or a window.
namespace {

using scenariotest::Printed;
using scenariotest::run;

// TextEdit with three windows, the three special icons, a calendar, and a
// returning user whose previews are smaller than the default.
const std::string kDesk =
    "screen 0,0,1440,900\n"
    "screen 1440,0,1280,800\n"
    "dock\n"
    "app com.apple.TextEdit \"TextEdit\" pid=501\n"
    "window 501 \"Notes.txt\" id=100 frame=120,80,720,480\n"
    "window 501 \"Draft.txt\" id=101 frame=300,160,720,480\n"
    "window 501 \"List.txt\" id=102 frame=1600,100,700,480\n"
    "app com.apple.Safari \"Safari\" pid=502\n"
    "window 502 \"Start Page\" id=200 frame=400,200,600,400\n"
    "app com.apple.Music \"Music\" pid=503\n"
    "app com.spotify.client \"Spotify\" pid=504\n"
    "app com.apple.iCal \"Calendar\" pid=505\n"
    "player Music state=playing track=\"Morning Light\" artist=\"Ada\" album=\"Hours\"\n"
    "event \"Standup\" start=2026-12-07T10:00:00Z end=2026-12-07T10:30:00Z\n"
    "calendar-access 3\n"
    "defaults termsVersionAccepted int 1\n"
    "defaults guideShown bool true\n"
    "defaults DuraziziDebugLog bool true\n"
    "defaults window_preview_size int 180\n"
    "launch\n"
    "advance 1025ms\n";

// The stages a fault can strike at.
const std::string kDuringPreview = "hover-dock \"TextEdit\"\nadvance 0.5s\n";
// Both on TextEdit's windows, clear of Safari's.
const std::string kDuringGesture = "down 200,120 mods=ctrl+alt\ndrag 250,140\n";
const std::string kDuringTitleDrag = "down 350,170\ndrag 370,190\n";
const std::string kDuringNowPlaying = "hover-dock \"Music\"\nadvance 0.5s\n";

// What a user does next, and what each step must show.
const std::string kAfterwards =
    "move 700,500\nadvance 1s\n"
    "hover-dock \"Safari\"\nadvance 0.5s\nquery preview\n"    // the next hover
    "move 700,500\nadvance 1s\n"
    "down 450,250 mods=ctrl+alt\ndrag 480,270\nup\n"          // the next modifier move
    "query window 200\n"
    "click 700,650\nquery tap\n"                              // a plain click passes
    "query defaults window_preview_size\n";

struct Row {
    const char* name;
    std::string lines;   // the stage and the fault
};

const Row kRows[] = {
    {"an attribute read fails during a preview", kDuringPreview + "fail ax-read 501 AXTitle\nadvance 1s\n"},
    {"the application stops answering during a preview", kDuringPreview + "fail ax-dead 501\nadvance 1s\n"},
    {"the application quits during a preview", kDuringPreview + "quit-app 501\nadvance 1s\n"},
    {"a capture fails halfway through a batch", "fail capture 101\n" + kDuringPreview},
    {"no shareable content for the batch", "fail shareable-content\n" + kDuringPreview},
    {"the window's application quits during a modifier move", kDuringGesture + "quit-app 501\ndrag 260,150\nup\n"},
    {"the window's application stops answering during a modifier move",
     kDuringGesture + "fail ax-dead 501\ndrag 260,150\nup\n"},
    {"a position write fails during a modifier move", "fail ax-write 501 AXPosition\n" + kDuringGesture + "up\n"},
    {"the tap is disabled during a modifier move", kDuringGesture + "fail tap-timeout\ndrag 270,150\nup\n"},
    {"the display is removed during a drag to an edge",
     kDuringTitleDrag + "screen-remove 1\ndrag 1438,400\nadvance 1s\nup\nadvance 1s\n"},
    {"the display is removed while a panel is shown", kDuringPreview + "screen-remove 1\nadvance 1s\n"},
    {"the Dock quits during a hover", kDuringPreview + "dock off\nadvance 1s\ndock\nadvance 1s\n"},
    {"the Dock restarts during a hover", kDuringPreview + "dock restart\nadvance 3s\n"},
    {"a script fails", "fail script\n" + kDuringNowPlaying + "advance 2s\n"},
    {"a script hangs", kDuringNowPlaying + "fail script-hang Music\nadvance 5s\nfail script-hang Music off\n"},
    {"the calendar cannot be read", "fail calendar-unreadable\nhover-dock \"Calendar\"\nadvance 0.5s\n"},
    {"the defaults file is edited by hand while running", "defaults window_preview_grid_width int 2\n" + kDuringPreview},
    {"the defaults folder is unwritable when a setting changes",
     "fail defaults-unwritable\nclick-status-item\npress \"Window Snapping\"\nclick-status-item\n"
     "fail defaults-unwritable off\n"},
};

TEST(FaultMatrix, NoFaultCrashesWedgesOrLosesAnything) {
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.name);
        const Printed r = run(kDesk + row.lines + kAfterwards);
        ASSERT_EQ(r.status, 0) << r.err;
        ASSERT_EQ(r.lines.size(), 4u);
        // The next hover shows Safari's window; the next modifier move moves it;
        // a plain click afterwards is not taken for a gesture.
        EXPECT_NE(r.lines[0].find(R"("visible":true,"pid":502)"), std::string::npos) << r.lines[0];
        EXPECT_NE(r.lines[1].find(R"("frame":[430,220,600,400])"), std::string::npos) << r.lines[1];
        EXPECT_NE(r.lines[2].find(R"("mode":"none")"), std::string::npos) << r.lines[2];
        EXPECT_EQ(r.lines[3], R"({"key":"window_preview_size","value":180})");
    }
}

// What the faults that a user can notice leave behind, beyond not breaking.
TEST(FaultMatrix, WhatAUserSeesOfTheFault) {
    // The failed capture's tile shows the application's icon; the others thumbnails.
    Printed r = run(kDesk + "fail capture 101\n" + kDuringPreview + "query preview\n");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.lines[0].find(R"("id":101,"title":"Draft.txt")"), std::string::npos);
    EXPECT_NE(r.lines[0].find(R"("image":"icon")"), std::string::npos) << r.lines[0];
    EXPECT_NE(r.lines[0].find(R"("image":"thumbnail")"), std::string::npos) << r.lines[0];

    // A failed script is logged in the player's words; a hanging player
    // blocks one state fetch, never one more per poll.
    r = run(kDesk + "fail script\n" + kDuringNowPlaying + "query log\nfail script-hang Music\nadvance 5s\n" +
            "query scripts\nfail script-hang Music off\nadvance 2s\nquery special\n");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.lines[0].find("AppleScript(Music) error: simulated failure"), std::string::npos) << r.lines[0];
    EXPECT_NE(r.lines[1].find(R"("pending":1)"), std::string::npos) << r.lines[1];
    EXPECT_NE(r.lines[2].find(R"("title":"Morning Light")"), std::string::npos) << r.lines[2];

    // An unwritable folder keeps the changed setting in memory, says so once,
    // and saves it with the next write once the folder is back.
    r = run(kDesk + "fail defaults-unwritable\nclick-status-item\npress \"Window Snapping\"\n"
                    "query defaults window_snapping\nfail defaults-unwritable off\n"
                    "press \"Window Previews\"\npress \"Window Previews\"\nrelaunch\nadvance 1s\n"
                    "query defaults window_snapping\nquery defaults window_preview_size\n");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.lines[0], R"({"key":"window_snapping","value":false})");
    EXPECT_EQ(r.lines[1], R"({"key":"window_snapping","value":false})");
    EXPECT_EQ(r.lines[2], R"({"key":"window_preview_size","value":180})");

    // A display unplugged under the panel: the panel is back on the one left.
    r = run(kDesk + "hover-dock \"TextEdit\"\nadvance 0.5s\nscreen-remove 1\nadvance 1s\nquery window 102\n");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.lines[0].find(R"("exists":true)"), std::string::npos) << r.lines[0];

    // A display unplugged while the overlay shows a half of it: the release
    // leaves the window on the display that is left, and the overlay goes.
    r = run(kDesk + kDuringTitleDrag + "drag 2500,400\ndrag 2718,400\nadvance 1s\nquery overlay\n"
                    "screen-remove 1\nup\nadvance 1s\nquery window 101\nquery overlay\n");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.lines[0].find(R"("visible":true)"), std::string::npos) << r.lines[0];
    const std::string frame = r.lines[1].substr(r.lines[1].find(R"("frame":[)") + 9);
    const double x = std::stod(frame), width = std::stod(frame.substr(frame.find(',', frame.find(',') + 1) + 1));
    EXPECT_LE(x + width, 1440) << "the window was tiled into the display that is gone: " << r.lines[1];
    EXPECT_NE(r.lines[2].find(R"("visible":false)"), std::string::npos) << r.lines[2];
}

}  // namespace
