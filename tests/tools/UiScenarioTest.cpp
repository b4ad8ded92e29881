#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/ScenarioOutput.h"

// Durazizi's own windows driven as a user would through durazizi-sim: the
// clicks land on the views on screen, and the answers come from them.
namespace {

using scenariotest::Printed;
using scenariotest::run;

const std::string kReturning = "defaults termsVersionAccepted int 1\ndefaults guideShown bool true\n";

bool has(const std::string& line, const std::string& part) { return line.find(part) != std::string::npos; }

Printed ok(const std::string& text) {
    Printed r = run(text);
    EXPECT_EQ(r.status, 0) << r.err;
    return r;
}

TEST(UiScenario, PanelDropsUnderTheStatusItemInsideTheVisibleFrame) {
    // The status item's button spans 1256..1280 on a 1440-point display,
    // 1 to 23 down; the panel hangs 2 below it, centred, 288 wide, kept 6
    // inside the visible frame, and the right-hand limit wins when both bite.
    struct Case {
        const char* screens;
        const char* frameStart;
    };
    const Case cases[] = {
        {"screen 0,0,1440,900\n", "[1124,25,288,"},
        {"screen 0,0,1440,900\nscreen 1440,0,1920,1080\n", "[1124,25,288,"},
        {"screen -1920,0,1920,1080\nscreen 0,0,1440,900\n", "[1124,25,288,"},
        {"screen 0,0,1440,900 visible=0,24,1350,812\n", "[1056,25,288,"},
        {"screen 0,0,300,900\n", "[6,25,288,"},
        {"screen 0,0,1440,900 visible=1200,24,240,812\n", "[1146,25,288,"},
    };
    for (const Case& c : cases) {
        const Printed r = ok(std::string(c.screens) + kReturning + "launch\nclick-status-item\nquery panel\n");
        ASSERT_EQ(r.lines.size(), 1u) << c.screens;
        EXPECT_TRUE(has(r.lines[0], std::string("\"frame\":") + c.frameStart)) << c.screens << r.lines[0];
    }
}

TEST(UiScenario, PanelClosesOnClicksElsewhereButNotInsideAndShowsMissingPermissions) {
    const Printed r = ok("screen 0,0,1440,900\n" + kReturning +
                         "grant accessibility off\nlaunch\nclick-status-item\nadvance 200ms\n"
                         "click 1140,110\nadvance 200ms\nquery panel\n"          // on the switch's label: inside
                         "click 700,500\nadvance 200ms\nquery panel\n"           // the desktop: another application
                         "grant accessibility on\ngrant screen-recording off\n"
                         "click-status-item\nquery panel\nclick-status-item\nadvance 200ms\nquery panel\n"
                         "grant screen-recording on\nclick-status-item\nquery panel\n");
    ASSERT_EQ(r.lines.size(), 5u);
    EXPECT_TRUE(has(r.lines[0], R"("visible":true)")) << r.lines[0];
    EXPECT_TRUE(has(r.lines[0], R"("permissions":["Accessibility"])")) << r.lines[0];
    EXPECT_TRUE(has(r.lines[0], R"("commands":["How to use Durazizi","Settings…","Quit Durazizi"])")) << r.lines[0];
    EXPECT_TRUE(has(r.lines[1], R"("visible":false)")) << r.lines[1];
    EXPECT_TRUE(has(r.lines[2], R"("permissions":["Screen Recording"])")) << r.lines[2];
    EXPECT_TRUE(has(r.lines[3], R"("visible":false)")) << r.lines[3];
    EXPECT_TRUE(has(r.lines[4], R"("permissions":[])")) << r.lines[4];
    // Without the section the panel is shorter than with it.
    EXPECT_TRUE(has(r.lines[4], R"("visible":true)"));
}

TEST(UiScenario, PanelSwitchWritesItsKeyAndTheNextHoverObeys) {
    const std::string world = "screen 0,0,1440,900\ndock\napp com.example.Editor \"Editor\"\n"
                              "window 500 \"One\"\nwindow 500 \"Two\"\n" +
                              kReturning + "launch\nadvance 2s\n";
    const Printed r = ok(world + "click-status-item\npress \"Window Previews\"\nquery panel\n"
                                 "query defaults window_preview_enable\nclick 700,500\n"
                                 "hover-dock \"Editor\"\nadvance 600ms\nquery preview\n");
    ASSERT_EQ(r.lines.size(), 3u);
    EXPECT_TRUE(has(r.lines[0], R"({"label":"Window Previews","on":false})")) << r.lines[0];
    EXPECT_EQ(r.lines[1], R"({"key":"window_preview_enable","value":false})");
    EXPECT_TRUE(has(r.lines[2], R"("visible":false)")) << r.lines[2];
}

TEST(UiScenario, SteppersMoveByTheirStepShowTheValueAndStopAtTheirEnds) {
    struct Case {
        const char* tab;
        const char* prefix;
        const char* key;
        const char* below;     // start one step inside the low end
        const char* lowLabel;
        const char* above;     // and one step inside the high end
        const char* highLabel;
    };
    const Case cases[] = {
        {"General", "Activation delay", "activationDelayMs", "int 10", "Activation delay: 0 ms", "int 1990",
         "Activation delay: 2000 ms"},
        {"Appearance", "Distance from the Dock", "docklets_dock_offset", "int 2", "Distance from the Dock: 0 px",
         "int 198", "Distance from the Dock: 200 px"},
        {"Appearance", "Grid", "window_preview_grid_width", "int 2", "Grid: 1 previews per row", "int 11",
         "Grid: 12 previews per row"},
        {"Specials", "Limit to", "ical_preview_limit_events", "int 2", "Limit to 1 events", "int 49",
         "Limit to 50 events"},
        {"Specials", "Within", "ical_preview_limit_days", "int 2", "Within 1 day(s)", "int 29", "Within 30 day(s)"},
        {"Window Management", "Delay (near border)", "window_snapping_delay_near", "double 0.1", "0.0 s",
         "double 2.9", "3.0 s"},
        {"Window Management", "Delay (exact border)", "window_snapping_delay_exact", "double 0.1", "0.0 s",
         "double 2.9", "3.0 s"},
    };
    for (const Case& c : cases) {
        const std::string open = std::string("menu \"Durazizi\" \"Settings…\"\npress \"") + c.tab + "\"\n";
        const std::string key = c.key;
        const Printed r = ok("screen 0,0,1440,900\n" + kReturning + "launch\ndefaults " + key + " " + c.below +
                             "\n" + open + "step \"" + c.prefix + "\" down 3\nquery defaults " + key + "\nquery prefs\n" +
                             "defaults " + key + " " + c.above + "\nclose-window \"Durazizi Preferences\"\n" + open +
                             "step \"" + c.prefix + "\" up 3\nquery defaults " + key + "\nquery prefs\n");
        ASSERT_EQ(r.lines.size(), 4u) << c.key;
        EXPECT_TRUE(has(r.lines[1], std::string("\"label\":\"") + c.lowLabel + "\"")) << c.key << r.lines[1];
        EXPECT_TRUE(has(r.lines[3], std::string("\"label\":\"") + c.highLabel + "\"")) << c.key << r.lines[3];
        EXPECT_FALSE(has(r.lines[0], "-")) << r.lines[0];
    }
}

TEST(UiScenario, SliderTruncatesPickersStoreTheirCaseAndModifierButtonsWriteTheirKeys) {
    const Printed r = ok("screen 0,0,1440,900\n" + kReturning +
                         "launch\nmenu \"Durazizi\" \"Settings…\"\npick \"Order by\" \"Window title\"\n"
                         "query defaults window_preview_order\npress \"Appearance\"\n"
                         "slide \"Bubble size\" 250.7\npick \"Theme\" \"Dark\"\npick \"Popup animation\" \"None\"\n"
                         "query defaults window_preview_size\nquery defaults theme\n"
                         "query defaults preview_popup_animation\nquery prefs\npress \"Window Management\"\n"
                         "press \"Move modifiers\" \"⌘\"\npress \"Resize modifiers\" \"⇧\"\n"
                         "query defaults move_windows_mod_command\nquery defaults resize_windows_mod_shift\n");
    ASSERT_EQ(r.lines.size(), 7u);
    EXPECT_EQ(r.lines[0], R"({"key":"window_preview_order","value":1})");
    EXPECT_EQ(r.lines[1], R"({"key":"window_preview_size","value":250})");
    EXPECT_EQ(r.lines[2], R"({"key":"theme","value":2})");
    EXPECT_EQ(r.lines[3], R"({"key":"preview_popup_animation","value":0})");
    EXPECT_TRUE(has(r.lines[4], R"({"kind":"slider","label":"Bubble size","value":250})")) << r.lines[4];
    EXPECT_TRUE(has(r.lines[4], R"({"kind":"picker","label":"Theme","value":"Dark"})")) << r.lines[4];
    EXPECT_EQ(r.lines[5], R"({"key":"move_windows_mod_command","value":true})");
    EXPECT_EQ(r.lines[6], R"({"key":"resize_windows_mod_shift","value":false})");
}

TEST(UiScenario, EachPreferenceTabFitsOrScrollsWithAScrollerBelowTheTabBar) {
    const Printed r = ok("screen 0,0,1440,900\n" + kReturning +
                         "launch\nmenu \"Durazizi\" \"Settings…\"\nquery prefs\npress \"Appearance\"\nquery prefs\n"
                         "press \"Specials\"\nquery prefs\npress \"Window Management\"\nquery prefs\n"
                         "press \"About\"\nquery prefs\n");
    ASSERT_EQ(r.lines.size(), 5u);
    auto number = [](const std::string& line, const std::string& key) {
        const auto at = line.find("\"" + key + "\":");
        return at == std::string::npos ? -1.0 : std::stod(line.substr(at + key.size() + 3));
    };
    // About fills the whole area below the tab bar; a scrolling tab ends
    // between two rows, at most a row short of it.
    const double area = number(r.lines[4], "visibleHeight");
    EXPECT_GT(area, 300);
    const bool scrolls[] = {true, true, false, true, false};
    for (std::size_t i = 0; i < 5; ++i) {
        const std::string& line = r.lines[i];
        EXPECT_LE(number(line, "visibleHeight"), area) << line;
        EXPECT_GT(number(line, "visibleHeight"), area - 50) << line;
        EXPECT_EQ(number(line, "contentHeight") > area, scrolls[i]) << line;
        EXPECT_TRUE(has(line, scrolls[i] ? R"("scroller":true)" : R"("scroller":false)")) << line;
    }
}

TEST(UiScenario, KeysGoToDuraziziOnlyWhileFrontmostFirstItsButtonsThenItsMenu) {
    // Return agrees; the terms window has no close button, so ⌘W leaves it.
    Printed r = ok("screen 0,0,1440,900\nlaunch\nkey 13 mods=cmd\nquery terms\nkey 36\nadvance 2s\n"
                   "query app\nquery defaults termsVersionAccepted\n");
    ASSERT_EQ(r.lines.size(), 3u);
    EXPECT_TRUE(has(r.lines[0], R"("visible":true)")) << r.lines[0];
    EXPECT_TRUE(has(r.lines[1], R"("running":true,"started":true)")) << r.lines[1];
    EXPECT_EQ(r.lines[2], R"({"key":"termsVersionAccepted","value":1})");
    // Escape quits, as "Quit" does.
    r = ok("screen 0,0,1440,900\nlaunch\nkey 53\nquery app\nquery defaults termsVersionAccepted\n");
    ASSERT_EQ(r.lines.size(), 2u);
    EXPECT_TRUE(has(r.lines[0], R"("running":false)")) << r.lines[0];
    EXPECT_EQ(r.lines[1], R"({"key":"termsVersionAccepted","value":null})");

    r = ok("screen 0,0,1440,900\napp com.apple.TextEdit \"TextEdit\" pid=501\nwindow 501 \"Notes\"\n" + kReturning +
           "launch\nmenu \"Help\" \"Durazizi Guide\"\nkey 43 mods=cmd\nquery prefs\n"   // ⌘, opens the settings
           "key 13 mods=cmd\nquery windows\n"                                              // ⌘W closes the key window
           "front 501\nquery events 501\nkey 43 mods=cmd\nquery prefs\nquery events 501\n"  // TextEdit's key
           "menu \"Help\" \"Durazizi Guide\"\nkey 12 mods=cmd\nquery app\n");                 // ⌘Q quits
    ASSERT_EQ(r.lines.size(), 6u);
    EXPECT_TRUE(has(r.lines[0], R"({"visible":true,"tab":"General")")) << r.lines[0];
    EXPECT_TRUE(has(r.lines[1], R"({"title":"Durazizi Preferences","visible":false)")) << r.lines[1];
    EXPECT_TRUE(has(r.lines[1], R"({"title":"Durazizi Guide","visible":true)")) << r.lines[1];
    EXPECT_TRUE(has(r.lines[3], R"("visible":false)")) << r.lines[3];
    EXPECT_TRUE(has(r.lines[4], R"({"type":"key")")) << r.lines[4];
    EXPECT_TRUE(has(r.lines[5], R"("running":false)")) << r.lines[5];
}

TEST(UiScenario, LaunchAtLoginSwitchDrivesTheLoginItemAndShowsTheTruthWhenItFails) {
    const std::string open = "menu \"Durazizi\" \"Settings…\"\n";
    const Printed r = ok("screen 0,0,1440,900\n" + kReturning + "launch\n" + open +
                         "press \"Launch Durazizi at login\"\nquery login-item\n"
                         "press \"Launch Durazizi at login\"\nquery login-item\n"
                         "fail login-register\npress \"Launch Durazizi at login\"\nquery prefs\n"
                         "query defaults launchAtLogin\nquery login-item\n");
    ASSERT_EQ(r.lines.size(), 5u);
    EXPECT_EQ(r.lines[0], R"({"status":1,"registers":1,"unregisters":0})");
    EXPECT_EQ(r.lines[1], R"({"status":0,"registers":1,"unregisters":1})");
    // The registration failed: the switch says off, and so does the preference.
    EXPECT_TRUE(has(r.lines[2], R"({"kind":"switch","label":"Launch Durazizi at login","value":false})")) << r.lines[2];
    EXPECT_EQ(r.lines[3], R"({"key":"launchAtLogin","value":false})");
    EXPECT_EQ(r.lines[4], R"({"status":0,"registers":1,"unregisters":1})");
}

TEST(UiScenario, TermsGateTheStartAgreeingStartsAndShowsTheGuideOnceDecliningQuits) {
    const Printed r = ok("screen 0,0,1440,900\nlaunch\nadvance 3s\nquery app\nquery terms\n"
                         "decline\nquery app\nquery defaults termsVersionAccepted\n"
                         "relaunch\nquery terms\nagree\nadvance 2s\nquery app\nquery guide\nquery terms\n"
                         "close-window \"Durazizi Guide\"\nquery app\nrelaunch\nadvance 2s\nquery guide\n"
                         "menu \"Help\" \"Durazizi Guide\"\nquery guide\n");
    ASSERT_EQ(r.lines.size(), 11u);
    EXPECT_EQ(r.lines[0], R"({"policy":"regular","running":true,"started":false,"statusItem":true,"dockIcon":true})");
    EXPECT_TRUE(has(r.lines[1], R"("buttons":["Quit","I Agree"])")) << r.lines[1];
    EXPECT_TRUE(has(r.lines[1], R"({"text":"Privacy Policy","url":"https://durazizi.app/durazizi/privacy"})"));
    EXPECT_TRUE(has(r.lines[2], R"("running":false)")) << r.lines[2];
    EXPECT_EQ(r.lines[3], R"({"key":"termsVersionAccepted","value":null})");
    EXPECT_TRUE(has(r.lines[4], R"("visible":true)")) << r.lines[4];
    EXPECT_TRUE(has(r.lines[5], R"("started":true)")) << r.lines[5];
    EXPECT_TRUE(has(r.lines[6], R"({"visible":true,"items":[{"title":"Dock window previews"},)")) << r.lines[6];
    EXPECT_TRUE(has(r.lines[7], R"("visible":false)")) << r.lines[7];
    EXPECT_EQ(r.lines[8], R"({"policy":"accessory","running":true,"started":true,"statusItem":true,"dockIcon":false})");
    EXPECT_EQ(r.lines[9], R"({"visible":false,"items":[]})");
    EXPECT_TRUE(has(r.lines[10], R"("visible":true)")) << r.lines[10];
}

TEST(UiScenario, StaysRegularWhileAnyOwnWindowIsOpenAndWindowsAreReused) {
    const Printed r = ok("screen 0,0,1440,900\n" + kReturning +
                         "launch\nmenu \"Durazizi\" \"Settings…\"\nmenu \"Help\" \"Durazizi Guide\"\n"
                         "menu \"Durazizi\" \"Settings…\"\nquery windows\n"
                         "close-window \"Durazizi Guide\"\nquery app\n"
                         "menu \"Window\" \"Close\"\nquery app\nquery windows\n");
    ASSERT_EQ(r.lines.size(), 4u);
    // One window each, the preferences brought back to the front; a titled
    // window's frame includes its title bar.
    const auto prefs = r.lines[0].find(R"({"title":"Durazizi Preferences","visible":true,"frame":[440,)");
    const auto guide = r.lines[0].find(R"({"title":"Durazizi Guide","visible":true,"frame":[460,)");
    ASSERT_NE(prefs, std::string::npos) << r.lines[0];
    ASSERT_NE(guide, std::string::npos) << r.lines[0];
    EXPECT_LT(prefs, guide);
    EXPECT_NE(r.lines[0].find(",560,488],\"level\":0}"), std::string::npos) << r.lines[0];
    EXPECT_NE(r.lines[0].find(",520,588],\"level\":0}"), std::string::npos) << r.lines[0];
    // Closing the guide leaves the preferences on screen, with the Dock icon.
    EXPECT_TRUE(has(r.lines[1], R"("policy":"regular")")) << r.lines[1];
    EXPECT_TRUE(has(r.lines[2], R"("policy":"accessory")")) << r.lines[2];
    EXPECT_TRUE(has(r.lines[3], R"("visible":false)")) << r.lines[3];
}

// A press lands where a user's click would: on whatever window is in front
// at that point. A covered window is first brought forward by its title bar;
// where even the title bar is covered, the run stops instead of pretending.
TEST(UiScenario, APressUnderAnotherWindowBringsItsWindowForwardOrStops) {
    // The preferences window, opened over the terms, covers them whole, title bar included.
    const Printed covered = run("screen 0,0,1440,900\nlaunch\nmenu \"Durazizi\" \"Settings…\"\nquery terms\n"
                                "agree\nquery defaults termsVersionAccepted\n");
    EXPECT_EQ(covered.status, 2);
    ASSERT_EQ(covered.lines.size(), 1u);
    EXPECT_TRUE(has(covered.err, "durazizi-sim: line 5: agree: \"I Agree\" in \"Welcome to Durazizi\" at "))
        << covered.err;
    EXPECT_TRUE(has(covered.err, " is covered by \"Durazizi Preferences\"")) << covered.err;

    // The guide, clicked to the front, covers most of the preferences but
    // not both ends of their title bar: a click there brings them forward.
    const Printed forward = ok("screen 0,0,1440,900\ndefaults termsVersionAccepted int 1\nlaunch\n"
                               "menu \"Durazizi\" \"Settings…\"\nclick 720,130\nquery windows\n"
                               "press \"Appearance\"\nquery windows\nquery prefs\n");
    ASSERT_EQ(forward.lines.size(), 3u);
    EXPECT_TRUE(has(forward.lines[0], R"({"windows":[{"title":"Durazizi Guide")")) << forward.lines[0];
    EXPECT_TRUE(has(forward.lines[1], R"({"windows":[{"title":"Durazizi Preferences")")) << forward.lines[1];
    EXPECT_TRUE(has(forward.lines[2], R"("tab":"Appearance")")) << forward.lines[2];
}

}  // namespace
