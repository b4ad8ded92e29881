#include <gtest/gtest.h>

#include <string>

#include "tools/ScenarioOutput.h"

// What a Mac user sees around Durazizi on the simulated desktop: the menu
// bar, the Dock, minimized windows and the system's appearance, read from
// what the desktop draws.
namespace {

using scenariotest::Printed;
using scenariotest::run;

const std::string kDesk = "screen 0,0,1440,900\ndock\napp com.apple.TextEdit \"TextEdit\" pid=501\n"
                          "window 501 \"Notes.txt\" id=100 frame=120,80,720,480\nfront 501 window=100\n"
                          "dock-item trash \"Trash\"\n"
                          "defaults termsVersionAccepted int 1\ndefaults guideShown bool true\n";

bool has(const std::string& line, const std::string& part) { return line.find(part) != std::string::npos; }

Printed ok(const std::string& text) {
    Printed r = run(text);
    EXPECT_EQ(r.status, 0) << r.err;
    return r;
}

TEST(DesktopScenario, ActivationGoesBackToTheAppTheUserCameFrom) {
    const Printed r = ok(kDesk + "launch\nadvance 2s\n"
                                 // A window of Durazizi's: its menus and its Dock icon.
                                 "menu \"Durazizi\" \"Settings…\"\nadvance 500ms\n"
                                 "query menubar\nquery dock\nquery window 100\n"
                                 // Closing the last one gives activation back.
                                 "close-window \"Durazizi Preferences\"\nadvance 500ms\n"
                                 "query menubar\nquery dock\nquery window 100\n"
                                 // The panel, closed from the status item, gives it back too.
                                 "click-status-item\nadvance 500ms\nquery menubar\n"
                                 "click-status-item\nadvance 500ms\nquery menubar\nquery window 100\n"
                                 // A click on the desktop goes to the Finder.
                                 "click-status-item\nadvance 500ms\nclick 1000,700\nadvance 500ms\nquery menubar\n");
    ASSERT_EQ(r.lines.size(), 10u);
    EXPECT_TRUE(has(r.lines[0], R"("menus":["","Durazizi","Edit","Window","Help"])")) << r.lines[0];
    EXPECT_TRUE(has(r.lines[1], R"({"title":"Durazizi","frame":[696,844,48,48],"running":true})")) << r.lines[1];
    EXPECT_TRUE(has(r.lines[2], R"("focused":false)")) << r.lines[2];

    EXPECT_TRUE(has(r.lines[3], R"("menus":["","TextEdit","File","Edit","View","Window","Help"])")) << r.lines[3];
    EXPECT_FALSE(has(r.lines[4], "Durazizi")) << r.lines[4];
    EXPECT_TRUE(has(r.lines[5], R"("focused":true)")) << r.lines[5];

    EXPECT_TRUE(has(r.lines[6], R"("menus":["","Durazizi","Edit","Window","Help"])")) << r.lines[6];
    EXPECT_TRUE(has(r.lines[6], R"("statusItemHighlighted":true)")) << r.lines[6];
    EXPECT_TRUE(has(r.lines[7], R"("menus":["","TextEdit",)")) << r.lines[7];
    EXPECT_TRUE(has(r.lines[7], R"("statusItemHighlighted":false)")) << r.lines[7];
    EXPECT_TRUE(has(r.lines[8], R"("focused":true)")) << r.lines[8];

    EXPECT_TRUE(has(r.lines[9], R"("menus":["","Finder","File","Edit","View","Go","Window","Help"])")) << r.lines[9];
    EXPECT_TRUE(has(r.lines[9], R"("statusItemHighlighted":false)")) << r.lines[9];
}

TEST(DesktopScenario, ClockShowsTheWorldsLocalTimeInItsLocale) {
    struct Case {
        const char* world;
        const char* clock;
    };
    // The world's clock starts at 09:00 UTC on Monday 7 December 2026.
    const Case cases[] = {
        {"", R"("clock":"Mon Dec 7 9:00)"},
        {"locale en_GB\n", R"("clock":"Mon 7 Dec 09:00")"},
        {"timezone America/Los_Angeles\nlocale en_GB\n", R"("clock":"Mon 7 Dec 01:00")"},
        {"timezone Pacific/Auckland\nlocale de_DE\n", R"("clock":"Mo. 7. Dez. 22:00")"},
    };
    for (const Case& c : cases) {
        const Printed r = ok("screen 0,0,1440,900\n" + std::string(c.world) + "query menubar\n");
        ASSERT_EQ(r.lines.size(), 1u);
        EXPECT_TRUE(has(r.lines[0], c.clock)) << c.world << r.lines[0];
    }
}

TEST(DesktopScenario, OwnWindowMinimizesIntoTheDockAndComesBack) {
    const Printed r = ok(kDesk + "launch\nadvance 2s\nmenu \"Durazizi\" \"Settings…\"\nadvance 500ms\n"
                                 "minimize-window \"Durazizi Preferences\"\nadvance 500ms\n"
                                 "query windows\nquery dock\n"
                                 // Its tile sits before the Trash: a click brings the window back.
                                 "click 746,868\nadvance 500ms\nquery windows\nquery dock\nquery menubar\n"
                                 // Window > Minimize does the same.
                                 "menu \"Window\" \"Minimize\"\nadvance 500ms\nquery windows\n");
    ASSERT_EQ(r.lines.size(), 6u);
    EXPECT_TRUE(has(r.lines[0], R"("title":"Durazizi Preferences","visible":false)")) << r.lines[0];
    EXPECT_TRUE(has(r.lines[0], R"("minimized":true)")) << r.lines[0];
    EXPECT_TRUE(has(r.lines[1], R"({"title":"Durazizi Preferences","frame":[722,844,48,48],"running":false},)"
                                R"({"title":"Trash")"))
        << r.lines[1];
    EXPECT_TRUE(has(r.lines[2], R"("title":"Durazizi Preferences","visible":true)")) << r.lines[2];
    EXPECT_FALSE(has(r.lines[2], R"("minimized":true)")) << r.lines[2];
    EXPECT_FALSE(has(r.lines[3], R"("title":"Durazizi Preferences")")) << r.lines[3];
    EXPECT_TRUE(has(r.lines[4], R"("menus":["","Durazizi",)")) << r.lines[4];
    EXPECT_TRUE(has(r.lines[5], R"("minimized":true)")) << r.lines[5];
}

}  // namespace
