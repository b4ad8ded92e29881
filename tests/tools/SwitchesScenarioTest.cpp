#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "tools/ScenarioOutput.h"

namespace {

using scenariotest::Printed;
using scenariotest::run;

// The numbers of the first `"key":` value in a JSON line ([x,y,w,h], {"tip":[x,y],...}).
std::vector<double> numbers(const std::string& line, const std::string& key) {
    std::vector<double> found;
    const std::size_t at = line.find("\"" + key + "\":");
    if (at == std::string::npos) return found;
    const std::size_t end = line.find_first_of("]}", at);
    const std::string value = line.substr(at, end - at + 1);
    static const std::regex number(R"(-?\d+(\.\d+)?)");
    for (std::sregex_iterator it(value.begin(), value.end(), number), last; it != last; ++it)
        found.push_back(std::stod(it->str()));
    return found;
}
std::vector<double> triangle(const std::string& line) {
    const std::size_t at = line.find("\"triangle\":");
    if (at == std::string::npos || line.compare(at + 11, 4, "null") == 0) return {};
    const std::size_t end = line.find('}', at);
    std::vector<double> found;
    const std::string value = line.substr(at, end - at);
    static const std::regex number(R"(-?\d+(\.\d+)?)");
    for (std::sregex_iterator it(value.begin(), value.end(), number), last; it != last; ++it)
        found.push_back(std::stod(it->str()));
    return found;   // tip x, tip y, width, height
}
bool visible(const std::string& line) { return line.find("\"visible\":true") != std::string::npos; }

// TextEdit, Safari and Notes in the Dock at 644, 696 and 748 along y 844.
const std::string kDesk =
    "screen 0,0,1440,900\n"
    "dock\n"
    "app com.apple.TextEdit \"TextEdit\" pid=501\n"
    "window 501 \"Notes.txt\" id=100\n"
    "window 501 \"List.txt\" id=101\n"
    "app com.apple.Safari \"Safari\" pid=502\n"
    "window 502 \"Start Page\" id=200\n"
    "window 502 \"Docs\" id=201\n"
    "app com.apple.Notes \"Notes\" pid=503\n"
    "window 503 \"Groceries\" id=300\n"
    "window 503 \"Ideas\" id=301\n"
    "defaults termsVersionAccepted int 1\n"
    "defaults guideShown bool true\n"
    "launch\nadvance 1025ms\n";
const std::string kRest = "advance 0.5s\n";

// A click on a Dock icon activates its application: the panel goes at once
// and stays away while the pointer rests there, on that icon or another one
// clicked; leaving and coming back, or resting on another icon, shows again.
TEST(SwitchesScenario, DockClickHidesThePanelUntilThePointerLeavesTheIcon) {
    const Printed r = run(kDesk +
                          "hover-dock \"TextEdit\"\n" + kRest + "query preview\n"
                          "click 668,868\nadvance 150ms\nquery preview\n"
                          "advance 2s\nquery preview\n"          // still resting on it
                          "move 668,820\nadvance 100ms\nmove 668,868\n" + kRest + "query preview\n"
                          "click 720,868\nadvance 150ms\nquery preview\n"   // Safari, under TextEdit's panel
                          "advance 1s\nquery preview\n"
                          "hover-dock \"Notes\"\n" + kRest + "query preview\n"
                          "query window 200\n");
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(r.lines.size(), 8u);
    EXPECT_TRUE(visible(r.lines[0])) << r.lines[0];
    EXPECT_FALSE(visible(r.lines[1])) << r.lines[1];
    EXPECT_FALSE(visible(r.lines[2])) << "shown again on the clicked icon: " << r.lines[2];
    EXPECT_NE(r.lines[3].find("\"pid\":501"), std::string::npos) << r.lines[3];
    EXPECT_FALSE(visible(r.lines[4])) << r.lines[4];
    EXPECT_FALSE(visible(r.lines[5])) << r.lines[5];
    EXPECT_NE(r.lines[6].find("\"pid\":503"), std::string::npos) << r.lines[6];
    // The click went on to the Dock: Safari came forward.
    EXPECT_NE(r.lines[7].find("\"focused\":true"), std::string::npos) << r.lines[7];
}

// Clicks that are not on a Dock icon leave the panel alone, and so does any
// click with the switch off; the switch counts as it is at the click.
TEST(SwitchesScenario, OtherClicksAndTheSwitchOffLeaveThePanel) {
    // The panel's own padding (left of the first tile), then the Dock's strip between icons.
    const Printed r = run(kDesk + "defaults hideWhenPreviewClicked bool false\n"
                          "hover-dock \"TextEdit\"\n" + kRest + "query preview\n");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<double> frame = numbers(r.lines.at(0), "frame");
    ASSERT_EQ(frame.size(), 4u) << r.lines[0];
    const std::string padding = std::to_string(frame[0] + 6) + "," + std::to_string(frame[1] + frame[3] / 2);

    const Printed clicks = run(kDesk + "defaults hideWhenPreviewClicked bool false\n"
                               "hover-dock \"TextEdit\"\n" + kRest +
                               "click " + padding + "\nadvance 150ms\nquery preview\n"
                               "move 668,868\n" + kRest +
                               "defaults docklets_hide_on_dockitem_click bool false\n"
                               "click 668,868\nadvance 0.5s\nquery preview\n"
                               "defaults docklets_hide_on_dockitem_click bool true\n"
                               "click 668,868\nadvance 150ms\nquery preview\n");
    ASSERT_EQ(clicks.status, 0) << clicks.err;
    ASSERT_EQ(clicks.lines.size(), 3u);
    EXPECT_TRUE(visible(clicks.lines[0])) << "a click on the panel is no Dock click: " << clicks.lines[0];
    EXPECT_TRUE(visible(clicks.lines[1])) << "switch off: " << clicks.lines[1];
    EXPECT_FALSE(visible(clicks.lines[2])) << "switched on again: " << clicks.lines[2];
}

// Both panels point at their icon: the tip between the panel and the icon,
// the base clear of the panel's rounded corners even where the screen edge
// pushed the panel sideways, leaning towards the icon. Off, nothing hangs
// below the panel, which stays exactly where it was.
TEST(SwitchesScenario, TrianglePointsAtTheIconFromBothPanelsAtBothScreenEdges) {
    // 26 icons fill the Dock from x 46 to 1394, Music first, Spotify last;
    // the visible frame leaves 60 points at either side, so both players'
    // panels are pushed inwards, far enough to push the triangle's base too.
    std::string desk = "screen 0,0,1440,900 visible=60,24,1320,812\ndock\n"
                       "app com.apple.Music \"Music\"\nplayer Music state=paused track=\"T\" artist=\"A\"\n";
    for (int i = 0; i < 12; ++i) desk += "app com.example.A" + std::to_string(i) + " \"A" + std::to_string(i) + "\"\n";
    desk += "app com.apple.TextEdit \"TextEdit\" pid=601\nwindow 601 \"One\"\nwindow 601 \"Two\"\n";
    for (int i = 0; i < 11; ++i) desk += "app com.example.B" + std::to_string(i) + " \"B" + std::to_string(i) + "\"\n";
    desk += "app com.spotify.client \"Spotify\"\nplayer Spotify state=playing track=\"S\" artist=\"B\"\n"
            "defaults termsVersionAccepted int 1\ndefaults guideShown bool true\nlaunch\nadvance 1025ms\n";
    const std::string script = "query dock\n"
                               "hover-dock \"Music\"\n" + kRest + "query special\n"
                               "hover-dock \"Spotify\"\n" + kRest + "query special\n"
                               "hover-dock \"TextEdit\"\n" + kRest + "query preview\n";
    const Printed on = run(desk + script);
    const Printed off = run(desk + "defaults docklets_draw_triangle bool false\n" + script);
    ASSERT_EQ(on.status, 0) << on.err;
    ASSERT_EQ(off.status, 0) << off.err;
    ASSERT_EQ(on.lines.size(), 4u);
    ASSERT_EQ(off.lines.size(), 4u);

    const char* icons[] = {"Music", "Spotify", "TextEdit"};
    for (std::size_t i = 1; i < 4; ++i) {
        const std::string& line = on.lines[i];
        const std::string icon = icons[i - 1];
        const std::size_t at = on.lines[0].find("\"title\":\"" + icon + "\"");
        const std::vector<double> iconFrame = numbers(on.lines[0].substr(at), "frame");
        const std::vector<double> frame = numbers(line, "frame");
        const std::vector<double> t = triangle(line);
        ASSERT_EQ(t.size(), 4u) << line;
        ASSERT_EQ(frame.size(), 4u) << line;
        const double iconX = iconFrame[0] + iconFrame[2] / 2;
        const double iconTop = iconFrame[1];
        const double panelBottom = frame[1] + frame[3];
        EXPECT_GT(t[1], panelBottom) << icon << line;
        EXPECT_LT(t[1], iconTop) << icon << line;
        EXPECT_DOUBLE_EQ(t[3], t[1] - panelBottom) << icon << line;
        EXPECT_GT(t[2], 2 * t[3]) << icon << line;
        // The rounded corners take 12 points at each end of the lower edge;
        // the tip leans at most half the base beyond the base's end.
        EXPECT_GE(t[0], frame[0] + 12) << icon << line;
        EXPECT_LE(t[0], frame[0] + frame[2] - 12) << icon << line;
        if (icon == "TextEdit") EXPECT_DOUBLE_EQ(t[0], iconX) << line;   // room to point straight down
        else EXPECT_LT(std::abs(t[0] - iconX), std::abs(frame[0] + frame[2] / 2 - iconX)) << icon << line;

        // Off: no triangle, and the same panel in the same place.
        EXPECT_NE(off.lines[i].find("\"triangle\":null"), std::string::npos) << off.lines[i];
        EXPECT_EQ(numbers(off.lines[i], "frame"), frame) << icon;
    }
    // Pushed by the screen edges: 8 points inside the visible frame.
    EXPECT_EQ(numbers(on.lines[1], "frame").at(0), 68);
    const std::vector<double> right = numbers(on.lines[2], "frame");
    EXPECT_EQ(right.at(0) + right.at(2), 1380 - 8);
}

}  // namespace
