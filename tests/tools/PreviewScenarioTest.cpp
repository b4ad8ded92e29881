#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/ScenarioOutput.h"

namespace {

using scenariotest::Printed;
using scenariotest::run;

// The raw JSON values of every `"key":` in a line, in order: for a preview,
// one per tile for the tile fields.
std::vector<std::string> values(const std::string& line, const std::string& key) {
    std::vector<std::string> found;
    const std::string marker = "\"" + key + "\":";
    for (auto at = line.find(marker); at != std::string::npos; at = line.find(marker, at + 1)) {
        const std::size_t start = at + marker.size();
        std::size_t end = start;
        if (line[start] == '[') {
            end = line.find(']', start) + 1;
        } else if (line[start] == '"') {
            end = line.find('"', start + 1) + 1;
        } else {
            while (end < line.size() && line[end] != ',' && line[end] != '}') ++end;
        }
        found.push_back(line.substr(start, end - start));
    }
    return found;
}

using Values = std::vector<std::string>;

const std::string kNoPanel =
    R"({"visible":false,"pid":null,"frame":null,"alpha":0,"appName":null,"tiles":[],"triangle":null})";

// A 1440 x 900 display with the Dock, three applications (TextEdit, Safari,
// Notes, left to right), and a returning user who accepted the terms.
const std::string kDesk =
    "screen 0,0,1440,900\n"
    "dock\n"
    "app com.apple.TextEdit \"TextEdit\" pid=501\n"
    "window 501 \"Notes.txt\" id=100 frame=120,80,720,480\n"
    "window 501 \"Draft.txt\" id=101 frame=300,160,720,480 minimized\n"
    "window 501 \"List.txt\" id=102 frame=200,100,700,480\n"
    "front 501 window=100\n"
    "app com.apple.Safari \"Safari\" pid=502\n"
    "window 502 \"Start Page\" id=200\n"
    "window 502 \"Docs\" id=201\n"
    "app com.apple.Notes \"Notes\" pid=503\n"
    "window 503 \"Groceries\" id=300\n"
    "window 503 \"Ideas\" id=301\n"
    "defaults termsVersionAccepted int 1\n"
    "defaults guideShown bool true\n"
    "defaults DuraziziDebugLog bool true\n";
// Half a poll past a whole second: the pointer then never moves on a poll.
const std::string kLaunched = "launch\nadvance 1025ms\n";
// Long enough for the activation delay, the polls and the snap-in animation.
const std::string kShowTextEdit = "hover-dock \"TextEdit\"\nadvance 0.5s\n";

// The contract's own example: 48-point icons at 644, 696 and 748 along y 844.
// Each preview is centred on its icon and ends 8 points above the icon's top.
TEST(PreviewScenario, PanelsSitCentredAboveTheirDockIcons) {
    const struct {
        std::string dock;
        std::string title;
        std::string frame;
    } cases[] = {
        // Two-window previews are 474 wide: 2 x 220 + 24 + 10; 182 tall with the name line.
        {"dock\n", "Notes", "[535,654,474,182]"},      // icon 748..796
        // 64-point icons, with a separator (12 wide) and a folder before the apps:
        // a row of 12 + 4 x 64 + 4 x 4 = 284 from x 578, so Safari's icon is at
        // 730..794; icons top at 900 - 8 - 64 = 828.
        {"dock size=64\ndock-item separator \"Sep\"\ndock-item folder \"Downloads\"\n", "Safari",
         "[525,638,474,182]"},
    };
    for (const auto& c : cases) {
        const std::string desk = "screen 0,0,1440,900\n" + c.dock +
                                 "app com.apple.TextEdit \"TextEdit\" pid=501\nwindow 501 \"E\"\nwindow 501 \"F\"\n"
                                 "app com.apple.Safari \"Safari\" pid=502\nwindow 502 \"A\"\nwindow 502 \"B\"\n"
                                 "app com.apple.Notes \"Notes\" pid=503\nwindow 503 \"C\"\nwindow 503 \"D\"\n"
                                 "defaults termsVersionAccepted int 1\ndefaults guideShown bool true\n";
        const Printed r = run(desk + kLaunched + "hover-dock \"" + c.title + "\"\nadvance 0.5s\nquery preview\n");
        ASSERT_EQ(r.status, 0) << r.err;
        ASSERT_EQ(r.lines.size(), 1u);
        EXPECT_EQ(values(r.lines[0], "frame").front(), c.frame) << c.dock << c.title;
    }
}

TEST(PreviewScenario, HoverShowsThePreviewOnceThePointerHasRested) {
    const Printed r = run(kDesk + "query preview\n" + kLaunched +
                          "hover-dock \"TextEdit\"\nadvance 60ms\nquery preview\n"
                          "advance 440ms\nquery preview\n");
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(r.lines.size(), 3u);
    EXPECT_EQ(r.lines[0], kNoPanel);   // before launch
    EXPECT_EQ(r.lines[1], kNoPanel);   // within the activation delay
    // Three 220 x 136 tiles under the name line; 704 = 3 x 220 + 24 + 2 x 10.
    // The minimized window is included, badged and dimmed; the focused one is the front tile.
    EXPECT_EQ(r.lines[2],
              R"({"visible":true,"pid":501,"frame":[316,654,704,182],"alpha":1,"appName":"TextEdit","tiles":[)"
              R"({"id":100,"title":"Notes.txt","frame":[12,34,220,136],"front":true,"badge":false,"dimmed":false,"image":"thumbnail","closeBox":false,"spaceLabel":null},)"
              R"({"id":101,"title":"Draft.txt","frame":[242,34,220,136],"front":false,"badge":true,"dimmed":true,"image":"thumbnail","closeBox":false,"spaceLabel":null},)"
              R"({"id":102,"title":"List.txt","frame":[472,34,220,136],"front":false,"badge":false,"dimmed":false,"image":"thumbnail","closeBox":false,"spaceLabel":null}],)"
              // Below the panel, pointing at the icon's centre (644 + 24), 2 points above its top.
              R"("triangle":{"tip":[668,842],"width":18,"height":6}})");

    // Without the name line the panel is 22 points shorter and the tiles move up;
    // without minimized windows the Draft tile is not there at all.
    const Printed plain = run(kDesk + "defaults window_preview_show_appname bool false\n"
                                      "defaults window_preview_minimized bool false\n" +
                              kLaunched + kShowTextEdit + "query preview\n");
    ASSERT_EQ(plain.status, 0) << plain.err;
    ASSERT_EQ(plain.lines.size(), 1u);
    EXPECT_EQ(values(plain.lines[0], "appName"), Values{"null"});
    EXPECT_EQ(values(plain.lines[0], "id"), (Values{"100", "102"}));
    EXPECT_EQ(values(plain.lines[0], "frame"), (Values{"[431,676,474,160]", "[12,12,220,136]", "[242,12,220,136]"}));
}

// Thumbnails arrive with the capture batch; where none could be taken the
// tile shows the application's icon.
TEST(PreviewScenario, TilesShowTheApplicationIconWhereNoThumbnailCouldBeTaken) {
    const struct {
        std::string setup;
        Values images;
    } cases[] = {
        {"grant screen-recording off\n", {"\"icon\"", "\"icon\"", "\"icon\""}},
        {"fail capture 101\n", {"\"thumbnail\"", "\"icon\"", "\"thumbnail\""}},
        {"fail shareable-content\n", {"\"icon\"", "\"icon\"", "\"icon\""}},
    };
    for (const auto& c : cases) {
        const Printed r = run(kDesk + c.setup + kLaunched + kShowTextEdit + "query preview\nquery log\n");
        ASSERT_EQ(r.status, 0) << r.err;
        ASSERT_EQ(r.lines.size(), 2u);
        EXPECT_EQ(values(r.lines[0], "image"), c.images) << c.setup;
        const bool batchFailed = r.lines[1].find("\"captureBatch failed: ") != std::string::npos;
        EXPECT_EQ(batchFailed, c.setup == "fail shareable-content\n") << c.setup << r.lines[1];
    }
}

// A tile is known by the window its picture was captured from; a tile that
// shows the application's icon, only by a title no other window of that
// application shares (0 where the title does not tell).
TEST(PreviewScenario, TilesAreKnownByWhatTheyShow) {
    const std::string desk = "screen 0,0,1440,900\ndock\napp com.apple.TextEdit \"TextEdit\" pid=501\n"
                             "window 501 \"Untitled\" id=100\nwindow 501 \"Untitled\" id=101\n"
                             "window 501 \"List.txt\" id=102\n"
                             "defaults termsVersionAccepted int 1\ndefaults guideShown bool true\n";
    const Printed r = run(desk + kLaunched + kShowTextEdit + "query preview\nmove 700,300\nadvance 1s\n" +
                          "grant screen-recording off\n" + kShowTextEdit + "query preview\n");
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(r.lines.size(), 2u);
    EXPECT_EQ(values(r.lines[0], "id"), (Values{"100", "101", "102"}));
    EXPECT_EQ(values(r.lines[0], "pid"), Values{"501"});
    EXPECT_EQ(values(r.lines[1], "image"), (Values{"\"icon\"", "\"icon\"", "\"icon\""}));
    EXPECT_EQ(values(r.lines[1], "id"), (Values{"0", "0", "102"}));
    EXPECT_EQ(values(r.lines[1], "pid"), Values{"501"});
}

// A click on a tile lands on whatever is in front there; a panel has no
// title bar to bring it forward by, so a covered tile stops the run.
TEST(PreviewScenario, AClickOnATileUnderAnotherPanelStopsTheRun) {
    // On a short display the menu-bar panel, opened while the preview is
    // still up, hangs over the tile.
    const Printed r = run("screen 0,0,420,360\ndock\napp com.example.Editor \"Editor\"\nwindow 500 \"Notes\"\n"
                          "defaults termsVersionAccepted int 1\ndefaults guideShown bool true\n" +
                          kLaunched + "hover-dock \"Editor\"\nadvance 0.5s\nclick-status-item\nquery windows\n"
                          "click-tile 0\nquery window 100\n");
    EXPECT_EQ(r.status, 2);
    ASSERT_EQ(r.lines.size(), 1u);
    EXPECT_TRUE(r.lines[0].find(R"("level":25)") < r.lines[0].find(R"("level":21)")) << r.lines[0];
    EXPECT_NE(r.err.find("line 13: click-tile: tile 0 at "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(" is covered by the panel at ["), std::string::npos) << r.err;
}

// click-tile and close-tile aim where a user would: the close box appears only
// under the pointer, so a wrong point would click the tile instead.
TEST(PreviewScenario, PointingAtATileShowsItsCloseBox) {
    // Panel top-left 316,654; the second tile's centre is 242 + 110, 34 + 68 inside it.
    const Printed r = run(kDesk + kLaunched + kShowTextEdit +
                          "move 668,756\nquery preview\n"
                          "move 800,700\nquery preview\n");
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(r.lines.size(), 2u);
    EXPECT_EQ(values(r.lines[0], "closeBox"), (Values{"false", "true", "false"}));
    EXPECT_EQ(values(r.lines[1], "closeBox"), (Values{"false", "false", "true"}));
}

TEST(PreviewScenario, ClickingATileBringsItsWindowForward) {
    const Printed r = run(kDesk + kLaunched + kShowTextEdit +
                          "click-tile 1\nquery window 101\nadvance 0.5s\nquery preview\n");
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(r.lines.size(), 2u);
    EXPECT_EQ(r.lines[0],
              R"({"id":101,"pid":501,"exists":true,"title":"Draft.txt","frame":[300,160,720,480],"minimized":false,"focused":true})");
    EXPECT_EQ(values(r.lines[1], "visible"), Values{"false"});
    EXPECT_EQ(values(r.lines[1], "pid"), Values{"null"});
}

TEST(PreviewScenario, ClosingATileClosesItsWindowAndLeavesAGap) {
    const Printed r = run(kDesk + kLaunched + kShowTextEdit +
                          "close-tile 1\nquery window 101\nquery window 100\nquery preview\n");
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(r.lines.size(), 3u);
    EXPECT_EQ(values(r.lines[0], "exists"), Values{"false"});
    EXPECT_EQ(values(r.lines[1], "exists"), Values{"true"});
    // Same panel, the other tiles where they were.
    EXPECT_EQ(values(r.lines[2], "id"), (Values{"100", "102"}));
    EXPECT_EQ(values(r.lines[2], "frame"), (Values{"[316,654,704,182]", "[12,34,220,136]", "[472,34,220,136]"}));
}

TEST(PreviewScenario, TheDockComesAndGoes) {
    const Printed r = run(kDesk + kLaunched + kShowTextEdit +
                          "move 700,300\nadvance 1s\nquery preview\n"
                          "dock restart\nhover-dock \"Notes\"\nadvance 0.5s\nquery preview\n"
                          "dock off\nmove 700,300\nadvance 1s\nmove 772,868\nadvance 1s\nquery preview\n"
                          "hover-dock \"Notes\"\n");
    EXPECT_EQ(r.status, 2);
    ASSERT_EQ(r.lines.size(), 3u);
    EXPECT_EQ(values(r.lines[0], "visible"), Values{"false"});
    // The restarted Dock has a new process; the preview still finds the icon.
    EXPECT_EQ(values(r.lines[1], "visible"), Values{"true"});
    EXPECT_EQ(values(r.lines[1], "pid"), Values{"503"});
    // Where the Notes icon was, with no Dock running: nothing.
    EXPECT_EQ(values(r.lines[2], "visible"), Values{"false"});
    EXPECT_EQ(values(r.lines[2], "pid"), Values{"null"});
    EXPECT_EQ(r.err, "durazizi-sim: line 34: hover-dock: the Dock is not running\n");
}

TEST(PreviewScenario, OwnWindowsListThePreviewPanel) {
    const Printed r = run(kDesk + "query windows\n" + kLaunched + kShowTextEdit + "query windows\n");
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(r.lines.size(), 2u);
    EXPECT_EQ(r.lines[0], R"({"windows":[]})");
    // One level above the Dock's (20); the window holds the 182-point panel
    // and the 6-point triangle below it.
    EXPECT_EQ(r.lines[1],
              R"({"windows":[{"title":"","visible":true,"frame":[316,654,704,188],"level":21,"minimized":false}]})");
}

TEST(PreviewScenario, PointerCommandsPressAndReleaseTheLeftButton) {
    const Printed r = run(
        "screen 0,0,1440,900\n"
        "app a.b \"A\" pid=600\n"
        "window 600 \"Back\" id=1 frame=100,100,400,300\n"
        "window 600 \"Right\" id=2 frame=600,100,400,300\n"
        "app c.d \"C\" pid=601\n"
        "window 601 \"Front\" id=3 frame=150,150,400,300\n"
        "front 601 window=3\n"
        "click 300,120 mods=cmd\nquery window 1\n"      // raises and focuses the window behind
        "down 615,111 flags=fn\ndrag 900,300\nup\n"    // a press on the close box, released elsewhere
        "query window 2\n"
        "down 615,111\nup 615,111\nquery window 2\n");  // released on it: closed
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(r.lines.size(), 3u);
    EXPECT_EQ(values(r.lines[0], "focused"), Values{"true"});
    EXPECT_EQ(values(r.lines[1], "exists"), Values{"true"});
    EXPECT_EQ(values(r.lines[2], "exists"), Values{"false"});
}

// Commands that cannot be carried out stop the run where they stand.
TEST(PreviewScenario, CommandsThatCannotBeCarriedOutStopTheRun) {
    const struct {
        std::string text;
        std::string reason;
    } cases[] = {
        {"hover-dock \"Mail\"\n", "hover-dock: no Dock item \"Mail\""},
        {"app x.y \"Hidden\" nodock\nhover-dock \"Hidden\"\n", "hover-dock: no Dock item \"Hidden\""},
        {"click-tile 0\n", "click-tile: no preview is shown"},
        {"hover-dock \"TextEdit\"\nadvance 0.5s\nmove 700,300\nadvance 1s\nclose-tile 0\n",
         "close-tile: no preview is shown"},
        {kShowTextEdit + "click-tile 3\n", "click-tile: no tile 3 (the preview shows 3 tiles)"},
        {"defaults window_preview_closebox bool false\n" + kShowTextEdit + "close-tile 0\n",
         "close-tile: tile 0 has no close box"},
        {"dock off\ndock restart\n", "dock restart: the Dock is not running"},
        {"up\n", "up: the left button is not down"},
        {"drag 5,5\n", "drag: the left button is not down"},
        {"down\nclick 5,5\n", "click: the left button is already down"},
    };
    for (const auto& c : cases) {
        const Printed r = run(kDesk + kLaunched + c.text + "query app\n");
        EXPECT_EQ(r.status, 2) << c.text;
        EXPECT_TRUE(r.lines.empty()) << c.text;
        EXPECT_NE(r.err.find(c.reason), std::string::npos) << c.text << " -> " << r.err;
    }
    const Printed early = run("click-tile 0\n");
    EXPECT_EQ(early.err, "durazizi-sim: line 1: click-tile: Durazizi is not running\n");
}

}  // namespace

namespace {

// Spaces as a scenario sets them up: a second display starts with a Space of
// its own, `space=` puts a window on one, and a click on an other-Space tile
// takes the user there unless the application has a window where the user is.
TEST(PreviewScenario, OtherSpacesTilesAreLabelledAndAClickGoesThere) {
    const std::string desk =
        "screen 0,0,1440,900\nscreen 1440,0,1280,800\ndock\n"
        "space add\n"
        "app com.apple.Notes \"Notes\" pid=503\n"
        "window 503 \"Away\" id=300 space=3\n"
        "app com.apple.TextEdit \"TextEdit\" pid=501\n"
        "window 501 \"Here\" id=100\n"
        "front 501\n"
        "defaults termsVersionAccepted int 1\ndefaults guideShown bool true\n";
    const std::string spaces = R"("spaces":[{"id":1,"display":0},{"id":2,"display":1},{"id":3,"display":0}]})";
    const Printed bad = run(desk + "query spaces\nwindow 503 \"Nowhere\" space=9\n");
    EXPECT_EQ(bad.status, 2);
    ASSERT_EQ(bad.lines.size(), 1u);
    EXPECT_EQ(bad.lines[0], R"({"current":[1,2],)" + spaces);

    const auto click = [](int tile) {
        return kLaunched + "hover-dock \"Notes\"\nadvance 0.5s\nquery preview\nclick-tile " + std::to_string(tile) +
               "\nadvance 0.5s\nquery spaces\nquery window 300\n";
    };
    // Notes has no window where the user is: activating it shows its Space.
    const Printed away = run(desk + click(0));
    ASSERT_EQ(away.status, 0) << away.err;
    ASSERT_EQ(away.lines.size(), 3u);
    EXPECT_EQ(values(away.lines[0], "spaceLabel"), Values{R"("Other Space")"});
    EXPECT_EQ(values(away.lines[0], "image"), Values{R"("thumbnail")"});
    EXPECT_EQ(away.lines[1], R"({"current":[3,2],)" + spaces);
    EXPECT_EQ(values(away.lines[2], "focused"), Values{"true"});

    // With a window on the second display, macOS stays put: the click only activates Notes.
    const Printed stays = run(desk + "window 503 \"Right\" id=301 frame=1600,100,600,400\n" + click(1));
    ASSERT_EQ(stays.status, 0) << stays.err;
    ASSERT_EQ(stays.lines.size(), 3u);
    EXPECT_EQ(values(stays.lines[0], "id"), (Values{"301", "300"}));
    EXPECT_EQ(values(stays.lines[0], "spaceLabel"), (Values{"null", R"("Other Space")"}));
    EXPECT_EQ(stays.lines[1], R"({"current":[1,2],)" + spaces);
    EXPECT_EQ(values(stays.lines[2], "focused"), Values{"false"});
}

}  // namespace
