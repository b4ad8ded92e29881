#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/AppDelegate.h"
#include "app/AppWorld.h"
#include "app/Diag.h"
#include "app/main.h"
#include "linux/XdgFiles.h"
#include "support/InstalledDesktop.h"
#include "kit/Button.h"

namespace {

using durazizi::AppDelegate;

const std::string kOK = "permissions OK \u2014 starting hover + snap + input tap";
const std::string kSupportMail = "mailto:support@durazizi.app?subject=Durazizi%20Support";
const std::string kAXPane = "x-apple.systempreferences:com.apple.preference.security?Privacy_Accessibility";
const std::string kSRPane = "x-apple.systempreferences:com.apple.preference.security?Privacy_ScreenCapture";

std::string waitingLine(bool screenRecording) {
    return std::string("waiting for Accessibility permission (ax=NO sr=") + (screenRecording ? "yes" : "NO") + ")";
}

// One user account on a simulated Mac: a home whose log and defaults outlive
// relaunches of the application.
class AppLaunch : public ::testing::Test {
protected:
    AppLaunch() {
        desktop().screens().add({0, 0, 1440, 900});
        const std::string home = home_.root.string();
        desktop().useFiles(std::make_shared<linuxhost::XdgFiles>(home + "/state", home + "/tmp/"));
        desktop().useLoginService(loginService_);
        desktop().defaults().setBool(true, "DuraziziDebugLog");
    }

    sim::Desktop& desktop() { return installed_.desktop; }

    void grant(bool accessibility, bool screenRecording) {
        desktop().permissions().setAccessibilityTrusted(accessibility);
        desktop().permissions().setScreenRecording(screenRecording);
    }

    void returningUser() {
        desktop().defaults().setInteger(1, "termsVersionAccepted");
        desktop().defaults().setBool(true, "guideShown");
    }

    // Starts the application as the host's `main` does and hands back its delegate.
    std::shared_ptr<AppDelegate> launch() {
        EXPECT_EQ(durazizi::applicationMain(), 0);
        auto delegate = std::dynamic_pointer_cast<AppDelegate>(desktop().application().delegate());
        EXPECT_TRUE(delegate);
        return delegate;
    }

    // The application quits and starts again in the same home.
    std::shared_ptr<AppDelegate> relaunch() {
        desktop().ownProcess().terminate();
        desktop().ownProcess().start();
        logMark_ = apptest::logMessages(durazizi::Diag::path()).size();
        return launch();
    }

    // The log lines of the current process.
    std::vector<std::string> log() {
        auto all = apptest::logMessages(durazizi::Diag::path());
        return {all.begin() + static_cast<std::ptrdiff_t>(std::min(logMark_, all.size())), all.end()};
    }

    // The lines the start-up wrote, before whatever the started controllers log.
    std::vector<std::string> firstLogLines(std::size_t n) {
        auto lines = log();
        lines.resize(std::min(n, lines.size()));
        return lines;
    }

    long countInLog(const std::string& message) {
        const auto lines = log();
        return std::count(lines.begin(), lines.end(), message);
    }

    std::string launchedLine(bool ax, bool sr) {
        return "launched pid=" + std::to_string(desktop().ownProcess().pid()) + " ax=" + (ax ? "true" : "false") +
               " sr=" + (sr ? "true" : "false");
    }

    // Durazizi's own windows on screen with that title.
    int shown(const std::string& title) {
        int count = 0;
        for (const auto& window : desktop().ownWindows().list()) count += window.visible && window.title == title;
        return count;
    }

    // The button titled `text` in the front-most own window titled `title`
    // ("" for the menu-bar panel), or null.
    std::shared_ptr<kit::Button> button(const std::string& title, const std::string& text) {
        for (const auto& window : desktop().ownWindows().list()) {
            if (!window.visible || window.title != title) continue;
            std::shared_ptr<kit::Button> found;
            std::function<void(const kit::ViewRef&)> walk = [&](const kit::ViewRef& view) {
                if (auto b = std::dynamic_pointer_cast<kit::Button>(view); b && !found && b->title() == text) found = b;
                for (const auto& child : view->subviews()) walk(child);
            };
            if (window.contentView) walk(window.contentView);
            if (found) return found;
        }
        return nullptr;
    }

    bool panelShown(const AppDelegate& app) {
        const auto& panel = app.panelController().panel();
        return panel && panel->isVisible();
    }

    // What the started controllers hold in the world: timers that poll at
    // the hover loop's pace (20 times a second), global monitors (snapping
    // watches the left button) and the input tap.
    struct Installed {
        long pollTimers = 0;
        std::size_t monitors = 0;
        bool tap = false;
    };
    Installed installed() {
        const std::vector<double> intervals = desktop().runLoop().repeatingTimerIntervals();
        return {std::count_if(intervals.begin(), intervals.end(), [](double interval) { return interval <= 0.1; }),
                desktop().eventMonitors().count(), desktop().eventTaps().firstTap().installed};
    }

    void expectStartedOnce(const AppDelegate& app) {
        EXPECT_TRUE(app.isStarted());
        const Installed now = installed();
        EXPECT_EQ(now.pollTimers, 1);
        EXPECT_EQ(now.monitors, 3u);
        EXPECT_TRUE(now.tap);
    }

    std::shared_ptr<sim::MemoryLoginService> loginService_ = std::make_shared<sim::MemoryLoginService>();

private:
    apptest::TempHome home_;
    testsupport::InstalledDesktop installed_;
    std::size_t logMark_ = 0;
};

TEST_F(AppLaunch, FirstLaunchWaitsForTheTermsThenPromptsAndShowsTheGuideOnce) {
    grant(false, false);
    auto app = launch();
    ASSERT_TRUE(app);

    // The menu bar is there while the terms wait, but nothing else has begun;
    // the terms window gives Durazizi a Dock icon while it is shown.
    EXPECT_TRUE(desktop().application().hasStatusItem());
    EXPECT_EQ(desktop().application().activationPolicy(), platform::ActivationPolicy::Regular);
    EXPECT_EQ(shown("Welcome to Durazizi"), 1);
    desktop().time().advance(10);
    EXPECT_EQ(desktop().permissions().accessibilityPrompts(), 0);
    EXPECT_EQ(desktop().permissions().screenRecordingRequests(), 0);
    EXPECT_FALSE(app->isStarted());
    EXPECT_EQ(shown("Durazizi Guide"), 0);
    EXPECT_TRUE(log().empty());

    auto agree = button("Welcome to Durazizi", "I Agree");
    ASSERT_TRUE(agree);
    agree->performClick();
    EXPECT_EQ(desktop().defaults().integerForKey("termsVersionAccepted"), 1);
    EXPECT_EQ(log(), (std::vector<std::string>{launchedLine(false, false), waitingLine(false)}));
    EXPECT_EQ(desktop().permissions().accessibilityPrompts(), 1);
    EXPECT_EQ(desktop().permissions().screenRecordingRequests(), 1);
    EXPECT_EQ(shown("Welcome to Durazizi"), 0);
    EXPECT_EQ(shown("Durazizi Guide"), 1);
    EXPECT_TRUE(desktop().defaults().boolForKey("guideShown"));
    EXPECT_FALSE(app->isStarted());

    // A second "I Agree" (a double click) starts nothing twice.
    agree->performClick();
    EXPECT_EQ(countInLog(launchedLine(false, false)), 1);
    EXPECT_EQ(desktop().permissions().accessibilityPrompts(), 1);
    EXPECT_EQ(shown("Durazizi Guide"), 1);

    // The next launch goes straight to the permission check, without guide.
    grant(true, true);
    app = relaunch();
    ASSERT_TRUE(app);
    EXPECT_EQ(shown("Welcome to Durazizi"), 0);
    EXPECT_EQ(shown("Durazizi Guide"), 0);
    EXPECT_EQ(firstLogLines(2), (std::vector<std::string>{launchedLine(true, true), kOK}));
    expectStartedOnce(*app);
}

// A returning user; screen recording is asked for but never waited for.
class ReturningUser : public AppLaunch, public ::testing::WithParamInterface<std::pair<bool, bool>> {};

TEST_P(ReturningUser, StartsOnceAccessibilityIsThereWithinOnePollAndNeverAgain) {
    const auto [accessibility, screenRecording] = GetParam();
    returningUser();
    grant(accessibility, screenRecording);
    auto app = launch();
    ASSERT_TRUE(app);
    EXPECT_EQ(desktop().application().activationPolicy(), platform::ActivationPolicy::Accessory);
    ASSERT_TRUE(desktop().application().statusItemImage());
    EXPECT_TRUE(desktop().application().statusItemImage()->isTemplate());
    EXPECT_EQ(shown("Durazizi Guide"), 0);
    EXPECT_EQ(shown("Welcome to Durazizi"), 0);
    EXPECT_EQ(desktop().permissions().accessibilityPrompts(), accessibility ? 0 : 1);
    EXPECT_EQ(desktop().permissions().screenRecordingRequests(), screenRecording ? 0 : 1);
    EXPECT_EQ(log().front(), launchedLine(accessibility, screenRecording));

    if (!accessibility) {
        desktop().time().advance(4.0);   // the launch check and the polls at 1.5 s and 3 s
        EXPECT_FALSE(app->isStarted());
        EXPECT_EQ(countInLog(waitingLine(screenRecording)), 3);
        const Installed none = installed();
        EXPECT_EQ(none.pollTimers, 0);
        EXPECT_EQ(none.monitors, 0u);
        EXPECT_FALSE(none.tap);
        desktop().permissions().setAccessibilityTrusted(true);
        desktop().time().advance(1.5);
    } else {
        EXPECT_EQ(firstLogLines(2), (std::vector<std::string>{launchedLine(true, true), kOK}));
    }
    expectStartedOnce(*app);

    // The poll keeps running but starts nothing again (the started controllers
    // may log lines of their own); losing trust stops nothing, and the poll says so.
    desktop().time().advance(60);
    desktop().permissions().setAccessibilityTrusted(false);
    const long waitingBefore = countInLog(waitingLine(screenRecording));
    desktop().time().advance(1.5);
    EXPECT_EQ(countInLog(waitingLine(screenRecording)), waitingBefore + 1);
    desktop().permissions().setAccessibilityTrusted(true);
    desktop().time().advance(3);
    expectStartedOnce(*app);
    EXPECT_EQ(countInLog(kOK), 1);
    EXPECT_EQ(countInLog(launchedLine(accessibility, screenRecording)), 1);
}

INSTANTIATE_TEST_SUITE_P(Permissions, ReturningUser,
                         ::testing::Values(std::pair(true, true), std::pair(false, true), std::pair(false, false)),
                         [](const auto& info) {
                             return std::string(info.param.first ? "trusted" : "untrusted") +
                                    (info.param.second ? "WithScreenRecording" : "WithoutScreenRecording");
                         });

// Each item as "menu|title|action|key|modifiers|target", a separator as "menu|-".
std::vector<std::string> menuRows(const platform::Menu& bar) {
    std::vector<std::string> rows;
    for (const auto& top : bar.items()) {
        for (const auto& item : top.submenu ? top.submenu->items() : std::vector<platform::MenuItem>{}) {
            if (item.isSeparator) {
                rows.push_back(top.title + "|-");
                continue;
            }
            const auto mask = item.keyEquivalentModifierMask;
            const std::string mods = mask == 0x100000 ? "cmd" : mask == 0x180000 ? "opt+cmd" : std::to_string(mask);
            rows.push_back(top.title + "|" + item.title + "|" + item.action + "|" + item.keyEquivalent + "|" + mods +
                           (item.target ? "|target" : "") + (item.submenu ? "|submenu" : ""));
        }
    }
    return rows;
}

TEST_F(AppLaunch, MainMenuHasTheDesignedItemsAndTheyReachTheirWindowsPagesAndQuit) {
    returningUser();
    launch();
    ASSERT_TRUE(desktop().application().mainMenu());
    EXPECT_EQ(menuRows(*desktop().application().mainMenu()), (std::vector<std::string>{
                                                   "|About Durazizi|showAbout||cmd|target",
                                                   "|-",
                                                   "|Settings\xE2\x80\xA6|openPrefs|,|cmd|target",
                                                   "|-",
                                                   "|Services|||cmd|submenu",
                                                   "|-",
                                                   "|Hide Durazizi|hide:|h|cmd",
                                                   "|Hide Others|hideOtherApplications:|h|opt+cmd",
                                                   "|Show All|unhideAllApplications:||cmd",
                                                   "|-",
                                                   "|Quit Durazizi|terminate:|q|cmd",
                                                   "Edit|Undo|undo:|z|cmd",
                                                   "Edit|Redo|redo:|Z|cmd",
                                                   "Edit|-",
                                                   "Edit|Cut|cut:|x|cmd",
                                                   "Edit|Copy|copy:|c|cmd",
                                                   "Edit|Paste|paste:|v|cmd",
                                                   "Edit|Select All|selectAll:|a|cmd",
                                                   "Window|Minimize|performMiniaturize:|m|cmd",
                                                   "Window|Close|performClose:|w|cmd",
                                                   "Help|Durazizi Guide|openGuide|?|cmd|target",
                                                   "Help|-",
                                                   "Help|Durazizi Support|openSupport||cmd|target",
                                                   "Help|Email Support\xE2\x80\xA6|emailSupport||cmd|target",
                                               }));

    const int activationsBefore = desktop().application().activations();
    ASSERT_TRUE(desktop().application().chooseMenuItem("Durazizi", "About Durazizi"));
    EXPECT_EQ(desktop().application().activations(), activationsBefore + 1);
    EXPECT_EQ(desktop().application().aboutPanelOptions(),
              (std::map<std::string, std::string>{
                  {"ApplicationName", "Durazizi"}, {"ApplicationVersion", "1.0"}, {"Copyright", ""}}));

    ASSERT_TRUE(desktop().application().chooseMenuItem("Durazizi", "Settings\xE2\x80\xA6"));
    EXPECT_EQ(shown("Durazizi Preferences"), 1);
    ASSERT_TRUE(desktop().application().chooseMenuItem("Help", "Durazizi Guide"));
    EXPECT_EQ(shown("Durazizi Guide"), 1);

    ASSERT_TRUE(desktop().application().chooseMenuItem("Help", "Durazizi Support"));
    ASSERT_FALSE(desktop().workspace().openedURLs().empty());
    EXPECT_EQ(desktop().workspace().openedURLs().back(), "https://durazizi.app/support");
    ASSERT_TRUE(desktop().application().chooseMenuItem("Help", "Email Support\xE2\x80\xA6"));
    EXPECT_EQ(desktop().workspace().openedURLs().back(), kSupportMail);
    EXPECT_EQ(desktop().workspace().openedURLs().size(), 2u);

    EXPECT_TRUE(desktop().ownProcess().running());
    ASSERT_TRUE(desktop().application().chooseMenuItem("Durazizi", "Quit Durazizi"));
    EXPECT_FALSE(desktop().ownProcess().running());
}

TEST_F(AppLaunch, StatusItemTogglesThePanelAndItsCommandsCloseItFirst) {
    returningUser();
    grant(false, false);
    auto app = launch();
    ASSERT_TRUE(app);
    const int promptsAtLaunch = desktop().permissions().accessibilityPrompts();
    const int requestsAtLaunch = desktop().permissions().screenRecordingRequests();

    for (bool shownNow : {true, false, true}) {
        ASSERT_TRUE(desktop().application().clickStatusItem());
        EXPECT_EQ(panelShown(*app), shownNow);
    }
    // Each command closes the panel before it acts.
    auto command = [&](const std::string& text) {
        if (!panelShown(*app)) desktop().application().clickStatusItem();
        auto b = button("", text);
        ASSERT_TRUE(b) << text;
        b->performClick();
        EXPECT_FALSE(panelShown(*app)) << text;
        desktop().time().advance(0.2);   // past the fade-out
    };

    // Grant while untrusted: the system prompt, then the pane.
    command("Grant");
    EXPECT_EQ(desktop().permissions().accessibilityPrompts(), promptsAtLaunch + 1);
    EXPECT_EQ(desktop().workspace().openedURLs().back(), kAXPane);
    desktop().permissions().setAccessibilityTrusted(true);
    command("Grant");
    EXPECT_EQ(desktop().permissions().screenRecordingRequests(), requestsAtLaunch + 1);
    EXPECT_EQ(desktop().workspace().openedURLs().back(), kSRPane);

    // Both granted: the rows are gone with the permissions they asked for.
    grant(true, true);
    desktop().application().clickStatusItem();
    EXPECT_FALSE(button("", "Grant"));
    desktop().application().clickStatusItem();
    desktop().time().advance(0.2);
    EXPECT_EQ(desktop().workspace().openedURLs().size(), 2u);

    command("How to use Durazizi");
    EXPECT_EQ(shown("Durazizi Guide"), 1);
    command("Settings\u2026");
    EXPECT_EQ(shown("Durazizi Preferences"), 1);

    desktop().application().clickStatusItem();
    button("", "Quit Durazizi")->performClick();
    EXPECT_FALSE(desktop().ownProcess().running());
}

TEST_F(AppLaunch, LoginItemFollowsThePreferenceAtEveryLaunch) {
    returningUser();
    desktop().defaults().setBool(true, "launchAtLogin");
    launch();
    EXPECT_EQ(loginService_->registers(), 1);
    EXPECT_EQ(loginService_->status(), platform::SMAppServiceStatusEnabled);

    // Edited by hand in the defaults domain while the app was not running.
    desktop().defaults().setBool(false, "launchAtLogin");
    relaunch();
    EXPECT_EQ(loginService_->unregisters(), 1);
    EXPECT_EQ(loginService_->status(), platform::SMAppServiceStatusNotRegistered);

    relaunch();
    EXPECT_EQ(loginService_->registers(), 1);
    EXPECT_EQ(loginService_->unregisters(), 1);
}

}  // namespace
