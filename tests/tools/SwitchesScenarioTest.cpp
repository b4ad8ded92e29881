#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/ScenarioOutput.h"

namespace {

using scenariotest::Printed;
using scenariotest::run;

// Every number in a piece of JSON, in order.
std::vector<double> allNumbers(const std::string& text) {
    std::vector<double> found;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool starts = std::isdigit(static_cast<unsigned char>(text[i])) ||
                            (text[i] == '-' && i + 1 < text.size() && std::isdigit(static_cast<unsigned char>(text[i + 1])));
        if (!starts) continue;
        char* end = nullptr;
        found.push_back(std::strtod(text.c_str() + i, &end));
        i = static_cast<std::size_t>(end - text.c_str()) - 1;
    }
    return found;
}
// The numbers of the first `"key":` value in a JSON line ([x,y,w,h]).
std::vector<double> numbers(const std::string& line, const std::string& key) {
    const std::size_t at = line.find("\"" + key + "\":");
    if (at == std::string::npos) return {};
    const std::size_t from = at + key.size() + 3;
    return allNumbers(line.substr(from, line.find_first_of("]}", from) - from + 1));
}
// The triangle's tip x and y, width and height; empty when null.
std::vector<double> triangle(const std::string& line) {
    const std::size_t at = line.find("\"triangle\":{");
    if (at == std::string::npos) return {};
    return allNumbers(line.substr(at + 11, line.find('}', at) - at - 11));
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
                          "hover-dock \"Notes\"\n" + kRest + "query preview\n");
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(r.lines.size(), 7u);
    EXPECT_TRUE(visible(r.lines[0])) << r.lines[0];
    EXPECT_FALSE(visible(r.lines[1])) << r.lines[1];
    EXPECT_FALSE(visible(r.lines[2])) << "shown again on the clicked icon: " << r.lines[2];
    EXPECT_NE(r.lines[3].find("\"pid\":501"), std::string::npos) << r.lines[3];
    EXPECT_FALSE(visible(r.lines[4])) << r.lines[4];
    EXPECT_FALSE(visible(r.lines[5])) << r.lines[5];
    EXPECT_NE(r.lines[6].find("\"pid\":503"), std::string::npos) << r.lines[6];
}

// Clicks that are not on a Dock icon leave the panel alone, and so does any
// click with the switch off; the switch counts as it is at the click.
TEST(SwitchesScenario, OtherClicksAndTheSwitchOffLeaveThePanel) {
    // Where the panel's own padding is: left of the first tile.
    const Printed r = run(kDesk + "defaults hideWhenPreviewClicked bool false\n"
                          "hover-dock \"TextEdit\"\n" + kRest + "query preview\n");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<double> frame = numbers(r.lines.at(0), "frame");
    ASSERT_EQ(frame.size(), 4u) << r.lines[0];
    const std::string padding = std::to_string(frame[0] + 6) + "," + std::to_string(frame[1] + frame[3] / 2);

    const Printed clicks = run(kDesk + "defaults hideWhenPreviewClicked bool false\n"
                               "hover-dock \"TextEdit\"\n" + kRest +
                               "click " + padding + "\nadvance 150ms\nquery preview\n"
                               // A window of another application, within the hide delay.
                               "click 300,300\nadvance 100ms\nquery preview\n"
                               "move 668,868\n" + kRest +
                               "defaults docklets_hide_on_dockitem_click bool false\n"
                               "click 668,868\nadvance 0.5s\nquery preview\n"
                               "defaults docklets_hide_on_dockitem_click bool true\n"
                               "click 668,868\nadvance 150ms\nquery preview\n");
    ASSERT_EQ(clicks.status, 0) << clicks.err;
    ASSERT_EQ(clicks.lines.size(), 4u);
    EXPECT_TRUE(visible(clicks.lines[0])) << "a click on the panel is no Dock click: " << clicks.lines[0];
    EXPECT_TRUE(visible(clicks.lines[1])) << "nor one on a window: " << clicks.lines[1];
    EXPECT_TRUE(visible(clicks.lines[2])) << "switch off: " << clicks.lines[2];
    EXPECT_FALSE(visible(clicks.lines[3])) << "switched on again: " << clicks.lines[3];
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
    const std::string script = "hover-dock \"Music\"\n" + kRest + "query special\n"
                               "hover-dock \"Spotify\"\n" + kRest + "query special\n"
                               "hover-dock \"TextEdit\"\n" + kRest + "query preview\n";
    const Printed on = run(desk + script);
    const Printed off = run(desk + "defaults docklets_draw_triangle bool false\n" + script);
    ASSERT_EQ(on.status, 0) << on.err;
    ASSERT_EQ(off.status, 0) << off.err;
    ASSERT_EQ(on.lines.size(), 3u);
    ASSERT_EQ(off.lines.size(), 3u);

    const struct {
        std::string icon;
        double iconX;   // 48-point icons 52 apart from x 46, their tops at 844
    } cases[] = {{"Music", 46 + 24}, {"Spotify", 46 + 25 * 52 + 24}, {"TextEdit", 46 + 13 * 52 + 24}};
    for (std::size_t i = 0; i < 3; ++i) {
        const std::string& line = on.lines[i];
        const std::string& icon = cases[i].icon;
        const double iconX = cases[i].iconX;
        const double iconTop = 844;
        const std::vector<double> frame = numbers(line, "frame");
        const std::vector<double> t = triangle(line);
        ASSERT_EQ(t.size(), 4u) << line;
        ASSERT_EQ(frame.size(), 4u) << line;
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
    EXPECT_EQ(numbers(on.lines[0], "frame").at(0), 68);
    const std::vector<double> right = numbers(on.lines[1], "frame");
    EXPECT_EQ(right.at(0) + right.at(2), 1380 - 8);
}

// The tip stays clear of the icon: a dock offset that narrows the gap makes
// the triangle flatter, and with too little room there is none.
TEST(SwitchesScenario, ANarrowGapFlattensTheTriangleOrLeavesItOut) {
    const struct {
        int offset;
        std::vector<double> triangle;   // tip x, tip y, width, height
    } cases[] = {{0, {668, 842, 18, 6}}, {-3, {668, 842, 18, 3}}, {-5, {}}};
    for (const auto& c : cases) {
        const Printed r = run(kDesk + "defaults docklets_dock_offset int " + std::to_string(c.offset) +
                              "\nhover-dock \"TextEdit\"\n" + kRest + "query preview\n");
        ASSERT_EQ(r.status, 0) << r.err;
        ASSERT_EQ(r.lines.size(), 1u);
        EXPECT_EQ(triangle(r.lines[0]), c.triangle) << "offset " << c.offset << ": " << r.lines[0];
        // The panel's body keeps its place: 8 points plus the offset above the icon.
        const std::vector<double> frame = numbers(r.lines[0], "frame");
        ASSERT_EQ(frame.size(), 4u);
        EXPECT_EQ(frame[1] + frame[3], 844 - 8 - c.offset) << r.lines[0];
    }
}

}  // namespace
