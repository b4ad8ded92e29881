#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/ScenarioOutput.h"

namespace {

namespace fs = std::filesystem;
using scenario::RunOptions;
using scenariotest::Printed;
using scenariotest::run;

// A home that outlives one run, for scenarios that look at what was persisted.
struct KeptHome {
    fs::path path;
    KeptHome() {
        path = fs::temp_directory_path() /
               ("durazizi-sim-test-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(path);
    }
    ~KeptHome() { fs::remove_all(path); }
    RunOptions options() const { return RunOptions{path.string()}; }
};

const std::string kDesk = "screen 0,0,1440,900\n";
// A returning user: the terms were accepted and the guide was seen.
const std::string kReturning = "defaults termsVersionAccepted int 1\ndefaults guideShown bool true\n";

TEST(ScenarioRun, LaunchWaitsForTheTermsThenStartsWithinOnePollOfAccessibility) {
    const Printed r = run(kDesk + "defaults DuraziziDebugLog bool true\n"
                                  "query app\nlaunch\nadvance 2s\nquery app\nquery defaults termsVersionAccepted\n" +
                          kReturning +
                          "grant accessibility off\ngrant screen-recording off\n"
                          "relaunch\nadvance 3s\nquery app\n"
                          "grant accessibility on\nadvance 1.5s\nquery app\nquery log\n"
                          "query defaults activationDelayMs\nquery ax-calls\nquery ax-calls\n");
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(r.lines.size(), 9u);
    EXPECT_EQ(r.lines[0],
              R"({"policy":"regular","running":false,"started":false,"statusItem":false,"dockIcon":false})");
    EXPECT_NE(r.lines[1].find("\"running\":true,\"started\":false,\"statusItem\":true"), std::string::npos)
        << r.lines[1];
    EXPECT_EQ(r.lines[2], R"({"key":"termsVersionAccepted","value":null})");
    EXPECT_NE(r.lines[3].find("\"started\":false"), std::string::npos) << r.lines[3];
    EXPECT_EQ(r.lines[4],
              R"({"policy":"accessory","running":true,"started":true,"statusItem":true,"dockIcon":false})");
    EXPECT_NE(r.lines[5].find(" ax=false sr=false\",\"waiting for Accessibility permission (ax=NO sr=NO)\""),
              std::string::npos)
        << r.lines[5];
    // Started once, however many polls follow.
    const std::string started = "\"permissions OK \xE2\x80\x94 starting hover + snap + input tap\"";
    const auto first = r.lines[5].find(started);
    ASSERT_NE(first, std::string::npos) << r.lines[5];
    EXPECT_EQ(r.lines[5].find(started, first + 1), std::string::npos);
    EXPECT_EQ(r.lines[6], R"({"key":"activationDelayMs","value":70})");
    // Accessibility calls are counted since the previous query.
    EXPECT_TRUE(r.lines[7].starts_with("{\"count\":")) << r.lines[7];
    EXPECT_EQ(r.lines[8], R"({"count":0})");
}

// `started` reads what the process holds in the world (its poll timer, its
// monitors, its event tap), not what Durazizi believes it started: without
// an event tap the modifier gestures and keyboard tiling are not running.
TEST(ScenarioRun, StartedMeansTheHoverLoopSnappingAndTheTapAreThere) {
    const Printed r = run(kDesk + kReturning + "fail tap-create\nlaunch\nadvance 2s\nquery app\nquery tap\n");
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(r.lines.size(), 2u);
    EXPECT_NE(r.lines[0].find(R"("running":true,"started":false)"), std::string::npos) << r.lines[0];
    EXPECT_EQ(r.lines[1], R"({"installed":false,"enabled":false,"mode":"none"})");
}

TEST(ScenarioRun, DefaultsPersistAcrossRelaunchWithTheirTypesAndAcrossRunsOnlyInANamedHome) {
    KeptHome home;
    const Printed r = run(kDesk + kReturning +
                              "launch\n"
                              "defaults window_preview_size int 300\n"
                              "defaults scenario_ratio double 0.125\n"
                              "defaults window_snapping bool false\n"
                              "defaults-delete guideShown\n"
                              "relaunch\n"
                              "query defaults window_preview_size\nquery defaults scenario_ratio\n"
                              "query defaults window_snapping\nquery defaults guideShown\nquery app\n",
                          home.options());
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(r.lines.size(), 5u);
    EXPECT_EQ(r.lines[0], R"({"key":"window_preview_size","value":300})");
    EXPECT_EQ(r.lines[1], R"({"key":"scenario_ratio","value":0.125})");
    EXPECT_EQ(r.lines[2], R"({"key":"window_snapping","value":false})");
    // The relaunched process found the guide unseen, showed it and noted it.
    EXPECT_EQ(r.lines[3], R"({"key":"guideShown","value":true})");
    EXPECT_NE(r.lines[4].find("\"running\":true,\"started\":true"), std::string::npos) << r.lines[4];

    EXPECT_EQ(run("query defaults window_preview_size\n").lines.at(0),
              R"({"key":"window_preview_size","value":null})");
    EXPECT_EQ(run("query defaults window_preview_size\n", home.options()).lines.at(0),
              R"({"key":"window_preview_size","value":300})");
}

TEST(ScenarioRun, CorruptDefaultsAreMovedAsideAndTheRegisteredOnesRead) {
    KeptHome home;
    const Printed r = run(kDesk + kReturning +
                      "defaults activationDelayMs int 500\n"
                      "launch\ncorrupt-defaults\nrelaunch\n"
                      "query defaults activationDelayMs\nquery defaults termsVersionAccepted\nquery app\n",
                      home.options());
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(r.lines.size(), 3u);
    EXPECT_EQ(r.lines[0], R"({"key":"activationDelayMs","value":70})");
    EXPECT_EQ(r.lines[1], R"({"key":"termsVersionAccepted","value":null})");
    EXPECT_NE(r.lines[2].find("\"running\":true,\"started\":false"), std::string::npos) << r.lines[2];

    // The unreadable file is kept beside the new one, byte for byte, under a name of its own.
    std::vector<std::string> holders;
    for (const auto& entry : fs::recursive_directory_iterator(home.path)) {
        if (!entry.is_regular_file()) continue;
        std::ifstream file(entry.path(), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        if (bytes.find("not a property list") != std::string::npos) holders.push_back(entry.path().filename());
    }
    ASSERT_EQ(holders.size(), 1u);
    EXPECT_NE(holders[0].find(".plist.corrupt-"), std::string::npos) << holders[0];
}

// An editor saving in place empties the file first; a preference changed in
// that moment must not leave a file holding that one key.
TEST(ScenarioRun, APreferenceChangedWhileAnEditorEmptiedTheFileKeepsEverythingElse) {
    KeptHome home;
    const Printed r = run(kDesk + kReturning +
                              "defaults window_preview_size int 300\n"
                              "launch\nadvance 1s\n"
                              "defaults-file truncate\n"
                              "menu \"Durazizi\" \"Settings…\"\npress \"Enable window previews\"\n"
                              "relaunch\nadvance 1s\n"
                              "query terms\nquery defaults window_preview_enable\n"
                              "query defaults window_preview_size\nquery defaults guideShown\n",
                          home.options());
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(r.lines.size(), 4u);
    EXPECT_TRUE(r.lines[0].starts_with(R"({"visible":false,)")) << r.lines[0];
    EXPECT_EQ(r.lines[1], R"({"key":"window_preview_enable","value":false})");
    EXPECT_EQ(r.lines[2], R"({"key":"window_preview_size","value":300})");
    EXPECT_EQ(r.lines[3], R"({"key":"guideShown","value":true})");

    // Before launch it is an empty domain; on something that is not a file it stops the run.
    const Printed fresh = run(kDesk + "defaults-file truncate\nlaunch\nquery terms\n");
    ASSERT_EQ(fresh.status, 0) << fresh.err;
    EXPECT_TRUE(fresh.lines.at(0).starts_with(R"({"visible":true,)")) << fresh.lines.at(0);
    fs::remove_all(home.path);
    fs::create_directories(home.path / ".config/durazizi/app.durazizi.Durazizi.plist");
    const Printed folder = run(kDesk + "defaults-file truncate\n", home.options());
    EXPECT_EQ(folder.status, 2);
    EXPECT_NE(folder.err.find("line 2: defaults-file:"), std::string::npos) << folder.err;
}

// What the product's readers make of values written by hand, and what a
// link, a FIFO or a forged name in the user's files does to a run.
TEST(ScenarioRun, QueriedDefaultsAreWhatTheReadersOfTheirTypeAnswer) {
    KeptHome home;
    const fs::path settings = home.path / ".config/durazizi/app.durazizi.Durazizi.plist";
    fs::create_directories(settings.parent_path());
    std::ofstream(settings) << "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict>"
                               "<key>window_preview_size</key><string>abc</string>"
                               "<key>window_preview_enable</key><string>no</string>"
                               "<key>itunes_preview_enable</key><array><true/></array>"
                               "<key>window_snapping_delay_near</key><real>nan</real>"
                               "<key>ical_preview_limit_days</key><string> 7 days</string>"
                               "</dict></plist>";
    const Printed r = run(kDesk + kReturning + "launch\n"
                              "query defaults window_preview_size\nquery defaults window_preview_enable\n"
                              "query defaults itunes_preview_enable\nquery defaults window_snapping_delay_near\n"
                              "query defaults ical_preview_limit_days\n"
                              "defaults \"window_preview_size\\u{0}junk\" int 300\nquery defaults window_preview_size\n",
                          home.options());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.lines, (std::vector<std::string>{
                           R"({"key":"window_preview_size","value":0})",
                           R"({"key":"window_preview_enable","value":false})",
                           R"({"key":"itunes_preview_enable","value":false})",
                           R"({"key":"window_snapping_delay_near","value":0})",
                           R"({"key":"ical_preview_limit_days","value":7})",
                           R"({"key":"window_preview_size","value":0})",
                       }));
    EXPECT_NE(r.err.find("refused a settings key"), std::string::npos) << r.err;
}

// The preferences show what the system runs with, however far out of range
// the hand-written value is.
TEST(ScenarioRun, PreferencesShowTheValuesTheReadersAnswerForHandWrittenExtremes) {
    KeptHome home;
    const fs::path settings = home.path / ".config/durazizi/app.durazizi.Durazizi.plist";
    fs::create_directories(settings.parent_path());
    std::ofstream(settings) << "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict>"
                               "<key>termsVersionAccepted</key><integer>1</integer>"
                               "<key>guideShown</key><true/>"
                               "<key>activationDelayMs</key><integer>9223372036854775807</integer>"
                               "<key>window_preview_order</key><integer>7</integer>"
                               "<key>window_preview_grid_width</key><real>nan</real>"
                               "<key>window_preview_size</key><real>-1e300</real>"
                               "<key>docklets_dock_offset</key><integer>-100</integer>"
                               "<key>theme</key><integer>-1</integer>"
                               "<key>window_snapping_delay_near</key><real>1e300</real>"
                               "<key>ical_preview_limit_days</key><integer>400</integer>"
                               "</dict></plist>";
    const Printed r = run(kDesk + "launch\nmenu \"Durazizi\" \"Settings…\"\nquery prefs\n"
                                  "press \"Appearance\"\nquery prefs\npress \"Specials\"\nquery prefs\n"
                                  "press \"Window Management\"\nquery prefs\n",
                          home.options());
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(r.lines.size(), 4u);
    const std::vector<std::pair<std::size_t, std::string>> shown = {
        {0, R"("label":"Activation delay: 86400000 ms")"},
        {0, R"({"kind":"picker","label":"Order by","value":"Creation time"})"},
        {1, R"({"kind":"picker","label":"Theme","value":"Automatic"})"},
        {1, R"("label":"Grid: 1 previews per row")"},
        {1, R"("label":"Distance from the Dock: -8 px")"},
        {1, R"({"kind":"slider","label":"Bubble size","value":120})"},
        {2, R"x("label":"Within 30 day(s)")x"},
        {3, R"("label":"86400.0 s")"},
    };
    for (const auto& [line, part] : shown) EXPECT_NE(r.lines[line].find(part), std::string::npos) << r.lines[line];
}

TEST(ScenarioRun, FifosInPlaceOfTheUsersFilesNeitherHangNorAreReplaced) {
    KeptHome home;
    const fs::path log = home.path / ".local/state/durazizi/Logs/Durazizi.log";
    const fs::path autostart = home.path / ".config/autostart/app.durazizi.Durazizi.desktop";
    for (const fs::path& fifo : {log, autostart}) {
        fs::create_directories(fifo.parent_path());
        ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0) << fifo;
    }
    const Printed r = run(kDesk + kReturning + "defaults DuraziziDebugLog bool true\n"
                              "launch\nadvance 2s\nquery log\nquery login-item\n",
                          home.options());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.lines, (std::vector<std::string>{R"({"lines":[]})", R"({"status":0,"registers":0,"unregisters":0})"}));

    for (const fs::path& fifo : {log, autostart}) EXPECT_TRUE(fs::is_fifo(fifo)) << fifo;
}

TEST(ScenarioRun, ANameFromAnotherApplicationCannotForgeALogLine) {
    const std::string forged = "Evil\\u{2028}\\n[2026-01-01 00:00:00 +0000] permissions OK";
    const Printed r = run(kDesk + kReturning + "dock\napp com.evil.App \"" + forged + "\" pid=501\n"
                              "defaults DuraziziDebugLog bool true\nlaunch\nadvance 2s\n"
                              "hover-dock \"" + forged + "\"\nadvance 1.5s\nquery log\n");
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(r.lines.size(), 1u);
    EXPECT_EQ(r.lines[0].find("\"permissions OK\""), std::string::npos) << r.lines[0];
    EXPECT_NE(r.lines[0].find(R"(over=Evil\\u{2028}\\n[2026-01-01 00:00:00 +0000] permissions OK")"),
              std::string::npos)
        << r.lines[0];
}

TEST(ScenarioRun, ALinkedDefaultsFileStaysLinkedThroughDamageAndRecovery) {
    KeptHome home;
    const fs::path link = home.path / ".config/durazizi/app.durazizi.Durazizi.plist";
    const fs::path target = home.path / "dotfiles/durazizi.plist";
    fs::create_directories(link.parent_path());
    fs::create_directories(target.parent_path());
    fs::create_symlink(target, link);
    const Printed r = run(kDesk + kReturning + "defaults activationDelayMs int 500\n"
                              "launch\ncorrupt-defaults\nrelaunch\ndefaults activationDelayMs int 90\n"
                              "query defaults activationDelayMs\n",
                          home.options());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.lines, std::vector<std::string>{R"({"key":"activationDelayMs","value":90})"});
    EXPECT_TRUE(fs::is_symlink(link));
    std::ifstream file(target);
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("<integer>90</integer>"), std::string::npos) << text;
    // The damaged copy sits beside the file the link leads to.
    std::size_t asides = 0;
    for (const auto& entry : fs::directory_iterator(target.parent_path())) {
        asides += entry.path().filename().string().starts_with("durazizi.plist.corrupt-");
    }
    EXPECT_EQ(asides, 1u);
}

TEST(ScenarioRun, LoginItemFollowsThePreferenceAndReportsFailures) {
    const Printed r = run(kDesk + kReturning +
                      "defaults DuraziziDebugLog bool true\n"
                      "defaults launchAtLogin bool true\n"
                      "launch\nquery login-item\n"
                      "relaunch\nquery login-item\n"               // already enabled: untouched
                      "defaults launchAtLogin bool false\nrelaunch\nquery login-item\n"
                      "fail login-register \"Approval required\"\n"
                      "defaults launchAtLogin bool true\nrelaunch\nquery login-item\nquery log\n"
                      "query defaults launchAtLogin\n");
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(r.lines.size(), 6u);
    EXPECT_EQ(r.lines[0], R"({"status":1,"registers":1,"unregisters":0})");
    EXPECT_EQ(r.lines[1], R"({"status":1,"registers":1,"unregisters":0})");
    EXPECT_EQ(r.lines[2], R"({"status":0,"registers":1,"unregisters":1})");
    EXPECT_EQ(r.lines[3], R"({"status":0,"registers":1,"unregisters":1})");
    EXPECT_NE(r.lines[4].find("\"LoginItem: register failed: Approval required\""), std::string::npos) << r.lines[4];
    // The preference keeps what the user chose.
    EXPECT_EQ(r.lines[5], R"({"key":"launchAtLogin","value":true})");
}

TEST(ScenarioRun, QuitFromTheMenuEndsTheProcess) {
    const Printed r = run(kDesk + kReturning + "launch\nmenu \"Durazizi\" \"Quit Durazizi\"\nquery app\n");
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(r.lines.size(), 1u);
    EXPECT_NE(r.lines[0].find("\"running\":false,\"started\":false,\"statusItem\":false,\"dockIcon\":false"),
              std::string::npos)
        << r.lines[0];

    const Printed twice = run(kDesk + kReturning + "launch\nquit\nquery app\nquit\nquery app\n");
    EXPECT_EQ(twice.status, 2);
    EXPECT_EQ(twice.lines.size(), 1u);
    EXPECT_EQ(twice.err, "durazizi-sim: line 7: quit: Durazizi is not running\n");
}

TEST(ScenarioRun, WindowsAnswerWhatAUserSeesAndAQuitApplicationsPidMayBeGivenAgain) {
    const Printed r = run(kDesk +
                          "app com.apple.TextEdit \"TextEdit\" pid=501\n"
                          "window 501 \"Caf\\u{e9} \\\"menu\\\"\" id=7 frame=10,30,300.5,200\n"
                          "window 501 \"Other\" id=8 frame=400,100,300,200 minimized\n"
                          "front 501 window=7\n"
                          "query window 7\nquery window 8\nquery window 12345\n"
                          "quit-app 501\nquery window 7\napp a.b \"A\" pid=501\nwindow 501 id=9\nquery window 9\n");
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(r.lines.size(), 5u);
    EXPECT_EQ(r.lines[0],
              "{\"id\":7,\"pid\":501,\"exists\":true,\"title\":\"Caf\xC3\xA9 \\\"menu\\\"\",\"frame\":[10,30,300.5,200],"
              "\"minimized\":false,\"focused\":true}");
    EXPECT_NE(r.lines[1].find("\"minimized\":true,\"focused\":false"), std::string::npos) << r.lines[1];
    EXPECT_EQ(r.lines[2],
              R"({"id":12345,"pid":0,"exists":false,"title":"","frame":[0,0,0,0],"minimized":false,"focused":false})");
    EXPECT_NE(r.lines[3].find("\"exists\":false"), std::string::npos) << r.lines[3];
    EXPECT_NE(r.lines[4].find("\"pid\":501,\"exists\":true"), std::string::npos) << r.lines[4];
}

// A malformed line stops the run before anything runs, even the lines above it;
// a command that cannot be carried out stops it where it stands.
TEST(ScenarioRun, ErrorsStopTheRunWithStatusTwo) {
    const Printed malformed = run(kDesk + "query app\nlaunch\nadvance 2\nquery app\n");
    EXPECT_EQ(malformed.status, 2);
    EXPECT_TRUE(malformed.lines.empty());
    EXPECT_EQ(malformed.err, "durazizi-sim: line 4: advance: expected a duration such as 70ms, 1.5s or 0, got '2'\n");

    const Printed unknownPid = run(kDesk + "query login-item\nwindow 999 \"Ghost\"\nquery login-item\n");
    EXPECT_EQ(unknownPid.status, 2);
    EXPECT_EQ(unknownPid.lines.size(), 1u);
    EXPECT_EQ(unknownPid.err, "durazizi-sim: line 3: window: no application with pid 999\n");

    const struct {
        std::string text;
        std::string reason;
    } runtime[] = {
        {"app a.b \"A\" pid=600\napp c.d \"C\" pid=600\n", "app: pid 600 is already in use"},
        {"app a.b \"A\" pid=600\nwindow 600 id=5\nwindow 600 id=5\n", "window: a window with id 5 already exists"},
        {"app a.b \"A\" pid=600\nfront 600 window=77\n", "front: application 600 has no window 77"},
        {"app a.b \"A\" pid=600 stopped\nwindow 600\n", "window: application 600 is not running"},
        {"quit-app 42\n", "quit-app: no application with pid 42"},
        {"fail ax-dead 42\n", "fail: no application with pid 42"},
        {"menu \"Durazizi\" \"Quit Durazizi\"\n", "menu: Durazizi is not running"},
        {"launch\nmenu \"Durazizi\" \"Nothing\"\n", "menu: no item \"Nothing\" in menu \"Durazizi\""},
        {"launch\nlaunch\n", "launch: Durazizi is already running"},
        {"launch\nclock 2026-12-07T09:00:00Z\n", "clock: the clock is set before launch"},
    };
    for (const auto& c : runtime) {
        const Printed r = run(kDesk + c.text + "query app\n");
        EXPECT_EQ(r.status, 2) << c.text;
        EXPECT_TRUE(r.lines.empty()) << c.text;
        EXPECT_NE(r.err.find(c.reason), std::string::npos) << c.text << " -> " << r.err;
    }
}

}  // namespace
