#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/InstalledDesktop.h"

namespace {

using platform::MenuItem;

// A delegate that sets itself up as a menu-bar app does, with a heartbeat
// timer, and tells the test what became of it.
struct Probe : platform::ApplicationDelegate {
    int launches = 0;
    int beats = 0;
    int clicks = 0;
    bool* destroyed = nullptr;
    std::shared_ptr<platform::Timer> heartbeat;
    platform::StatusItemRef statusItem;

    ~Probe() override {
        if (destroyed) *destroyed = true;
    }

    void applicationDidFinishLaunching() override {
        ++launches;
        auto& app = platform::current().application();
        app.setActivationPolicy(platform::ActivationPolicy::Accessory);
        heartbeat = platform::current().runLoop().scheduledTimer(1, true, [this](platform::Timer&) { ++beats; });
        statusItem = app.statusItemWithLength(platform::NSVariableStatusItemLength);
        statusItem->button()->setImage(kit::Image::empty());
        statusItem->button()->setAction([this] { ++clicks; });

        auto main = std::make_shared<platform::Menu>();
        auto appMenu = std::make_shared<platform::Menu>("AppMenu");
        MenuItem about;
        about.title = "About Durazizi";
        about.action = "orderFrontStandardAboutPanel:";
        appMenu->addItem(about);
        appMenu->addItem(MenuItem::separator());
        MenuItem quitLater;   // quits from inside its own action, then keeps going
        quitLater.title = "Quit and Reschedule";
        quitLater.target = [this] {
            platform::current().application().terminate();
            platform::current().runLoop().asyncMain([this] { ++beats; });
            heartbeat = platform::current().runLoop().scheduledTimer(0.1, true, [this](platform::Timer&) { ++beats; });
        };
        appMenu->addItem(quitLater);
        MenuItem quit;
        quit.title = "Quit Durazizi";
        quit.action = "terminate:";
        appMenu->addItem(quit);
        MenuItem head;
        head.title = "Durazizi";
        head.submenu = appMenu;
        main->addItem(head);
        app.setMainMenu(main);
    }
};

class SimApplication : public ::testing::Test {
protected:
    testsupport::InstalledDesktop installed;
    sim::Desktop& desktop = installed.desktop;
    bool probeDestroyed = false;
    std::weak_ptr<Probe> probe;

    void launch() {
        desktop.addScreen({0, 0, 1440, 900});
        auto p = std::make_shared<Probe>();
        p->destroyed = &probeDestroyed;
        probe = p;
        auto& app = desktop.application();
        app.setDelegate(p);
        EXPECT_EQ(app.run(), 0);
    }
};

TEST_F(SimApplication, LaunchBuildsWhatAUserSees) {
    EXPECT_EQ(desktop.activationPolicy(), platform::ActivationPolicy::Regular);
    launch();
    ASSERT_FALSE(probe.expired());
    EXPECT_EQ(probe.lock()->launches, 1);
    EXPECT_EQ(desktop.delegate(), probe.lock());
    EXPECT_EQ(desktop.activationPolicy(), platform::ActivationPolicy::Accessory);
    EXPECT_TRUE(desktop.hasStatusItem());
    EXPECT_TRUE(desktop.clickStatusItem());
    EXPECT_EQ(probe.lock()->clicks, 1);
    desktop.advance(3);
    EXPECT_EQ(probe.lock()->beats, 3);

    // The status button sits in the primary display's menu bar (Cocoa coordinates).
    auto frame = probe.lock()->statusItem->button()->screenFrame();
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->size, (kit::Size{24, 22}));
    EXPECT_GE(frame->minY(), 900 - 24);
    EXPECT_LE(frame->maxY(), 900);
    EXPECT_GT(frame->minX(), 720);

    EXPECT_TRUE(desktop.chooseMenuItem("Durazizi", "About Durazizi"));
    EXPECT_EQ(desktop.aboutPanelOptions(), (std::map<std::string, std::string>{}));
    EXPECT_FALSE(desktop.chooseMenuItem("Durazizi", "Nothing Like This"));
    EXPECT_FALSE(desktop.chooseMenuItem("Edit", "Copy"));

    desktop.application().activateIgnoringOtherApps(true);
    EXPECT_EQ(desktop.activations(), 1);
    EXPECT_EQ(desktop.workspace().frontmostApplication()->processIdentifier(), desktop.ownPid());
}

TEST_F(SimApplication, TerminatingFromInsideAMenuActionIsSafeAndFinal) {
    launch();
    auto ownHandle = desktop.workspace().runningApplicationsWithBundleIdentifier("app.durazizi.Durazizi");
    ASSERT_EQ(ownHandle.size(), 1u);
    desktop.advance(2);
    ASSERT_EQ(probe.lock()->beats, 2);

    EXPECT_TRUE(desktop.chooseMenuItem("Durazizi", "Quit and Reschedule"));
    EXPECT_FALSE(desktop.ownProcessRunning());
    EXPECT_FALSE(desktop.hasStatusItem());
    EXPECT_FALSE(desktop.clickStatusItem());
    EXPECT_TRUE(ownHandle[0]->isTerminated());
    // The delegate, and with it everything it held, is gone once the action returned.
    EXPECT_TRUE(probeDestroyed);
    EXPECT_FALSE(desktop.delegate());

    // Nothing the dead process scheduled, before or after terminate, ever runs.
    desktop.advance(10);
    EXPECT_FALSE(desktop.chooseMenuItem("Durazizi", "Quit Durazizi"));

    // A new process starts clean.
    auto oldPid = desktop.ownPid();
    auto generation = platform::processGeneration();
    desktop.startOwnProcess();
    EXPECT_NE(platform::processGeneration(), generation);
    EXPECT_TRUE(desktop.ownProcessRunning());
    EXPECT_NE(desktop.ownPid(), oldPid);
    EXPECT_EQ(desktop.workspace().processIdentifier(), desktop.ownPid());
    EXPECT_EQ(desktop.activationPolicy(), platform::ActivationPolicy::Regular);
    EXPECT_FALSE(desktop.mainMenu());
    probeDestroyed = false;
    launch();
    desktop.advance(1);
    EXPECT_EQ(probe.lock()->beats, 1);
    EXPECT_TRUE(desktop.chooseMenuItem("Durazizi", "Quit Durazizi"));
    EXPECT_FALSE(desktop.ownProcessRunning());
    EXPECT_TRUE(probeDestroyed);
}

TEST_F(SimApplication, TerminatingFromInsideATimerBlockStopsEveryTimer) {
    launch();
    int otherFires = 0;
    auto& loop = desktop.runLoop();
    auto other = loop.scheduledTimer(0.5, true, [&](platform::Timer&) { ++otherFires; });
    loop.scheduledTimer(1.25, false, [](platform::Timer&) { platform::current().application().terminate(); });
    loop.asyncAfterMain(5, [&] { ++otherFires; });

    desktop.advance(10);
    EXPECT_EQ(otherFires, 2);   // at 0.5 and 1.0; nothing after the terminate at 1.25
    EXPECT_FALSE(other->isValid());
    EXPECT_FALSE(desktop.ownProcessRunning());
    EXPECT_DOUBLE_EQ(desktop.now(), sim::kDefaultWallClock + 10);
}

TEST_F(SimApplication, HandBacksOfADeadProcessAreDropped) {
    launch();
    int handedBack = 0;
    auto& loop = desktop.runLoop();
    loop.asyncGlobal(platform::QualityOfService::Utility, [&] {
        // The process dies while this runs; its answer must not reach the next one.
        desktop.runLoop().asyncMain([&] { ++handedBack; });
    });
    desktop.terminateOwnProcess();
    desktop.startOwnProcess();
    desktop.settle();
    EXPECT_EQ(handedBack, 0);
    loop.asyncMain([&] { ++handedBack; });
    desktop.settle();
    EXPECT_EQ(handedBack, 1);
}

}  // namespace
