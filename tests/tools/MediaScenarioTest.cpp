#include <gtest/gtest.h>

#include <string>

#include "tools/ScenarioOutput.h"

namespace {

using scenariotest::run;

const std::string kDesk =
    "screen 0,0,1440,900\n"
    "dock\n"
    "app com.apple.Music \"Music\" pid=501\n"
    "app com.spotify.client \"Spotify\" pid=502\n"
    "defaults termsVersionAccepted int 1\n"
    "defaults guideShown bool true\n"
    "player Music state=playing track=\"Morning Light\" artist=\"Ada Reyes\" album=\"First Hours\"\n"
    "launch\n"
    "advance 2s\n";

bool has(const std::string& line, const std::string& part) { return line.find(part) != std::string::npos; }

// The panel as the user sees it through the scenario language: the buttons by
// their labels, a player that hangs, and one that refuses.
TEST(MediaScenario, ButtonsHangsAndRefusals) {
    const auto printed = run(kDesk +
                             "hover-dock \"Music\"\n"
                             "advance 0.5s\n"
                             "query special\n"
                             "press \"Play/Pause\"\n"
                             "advance 0.3s\n"
                             "query player Music\n"
                             "query special\n"
                             "fail script-hang Music\n"
                             "advance 6s\n"
                             "query scripts\n"
                             "fail script-hang Music off\n"
                             "advance 0.1s\n"
                             "query scripts\n"
                             "grant automation:Spotify off\n"
                             "player Spotify artwork=url:\"http://covers.example/a.jpg\"\n"
                             "hover-dock \"Spotify\"\n"
                             "advance 2s\n"
                             "query special\n"
                             "query downloads\n"
                             "press \"Rewind\"\n");
    EXPECT_EQ(printed.status, 2);   // the last line names no control
    EXPECT_TRUE(has(printed.err, "no control \"Rewind\"")) << printed.err;
    ASSERT_EQ(printed.lines.size(), 7u) << printed.err;
    EXPECT_TRUE(has(printed.lines[0], R"("key":"media:Music","frame":[534,718,320,118],"title":"Morning Light","subtitle":"Ada Reyes — First Hours","playing":true)"))
        << printed.lines[0];
    EXPECT_TRUE(has(printed.lines[0], R"("artwork":"image","playSymbol":"pause.fill")")) << printed.lines[0];
    EXPECT_EQ(printed.lines[1], R"({"state":"paused","volume":50,"track":"Morning Light"})");
    EXPECT_TRUE(has(printed.lines[2], R"("playing":false)")) << printed.lines[2];
    // Polls go on while the player hangs; one script is held.
    EXPECT_TRUE(has(printed.lines[3], R"("pending":1})")) << printed.lines[3];
    EXPECT_TRUE(has(printed.lines[4], R"("pending":0})")) << printed.lines[4];
    // Without consent nothing comes back: the player's name and icon stay.
    EXPECT_TRUE(has(printed.lines[5], R"("title":"Spotify","subtitle":"","playing":null)")) << printed.lines[5];
    EXPECT_TRUE(has(printed.lines[5], R"("artwork":"icon")")) << printed.lines[5];
    EXPECT_EQ(printed.lines[6], R"({"urls":[]})");
}

// A player that quits while its panel is up stays quit: neither a button
// pressed nor the panel's own polling addresses it again.
TEST(MediaScenario, AButtonOfAPlayerThatQuitDoesNotStartItAgain) {
    const auto printed = run(kDesk +
                             "player Spotify state=playing track=\"Night Drive\" artist=\"Lumen\"\n"
                             "hover-dock \"Spotify\"\n"
                             "advance 0.5s\n"
                             "query special\n"
                             "query scripts\n"
                             "quit-app 502\n"
                             "press \"Play/Pause\"\n"
                             "advance 3s\n"
                             "query scripts\n"
                             // A running Spotify would show its panel again.
                             "hover-dock \"Spotify\"\n"
                             "advance 1s\n"
                             "query special\n");
    ASSERT_EQ(printed.status, 0) << printed.err;
    ASSERT_EQ(printed.lines.size(), 4u);
    EXPECT_TRUE(has(printed.lines[0], R"("key":"media:Spotify")")) << printed.lines[0];
    EXPECT_TRUE(has(printed.lines[1], "Spotify")) << printed.lines[1];
    EXPECT_EQ(printed.lines[2], R"({"scripts":[],"pending":0})");
    EXPECT_TRUE(has(printed.lines[3], R"({"visible":false,)")) << printed.lines[3];
}

}  // namespace
