#include <memory>

#include "sim/SimWorld.h"

namespace {

// A menu-bar app with a heartbeat timer whose status button quits from
// inside its own action and then keeps scheduling work.
struct Probe : platform::ApplicationDelegate {
    int beats = 0;
    bool* destroyed = nullptr;
    std::shared_ptr<platform::Timer> heartbeat;
    platform::StatusItemRef item;   // a status item lives only as long as it is held

    ~Probe() override {
        if (destroyed) *destroyed = true;
    }
    void applicationDidFinishLaunching() override {
        auto& loop = platform::current().runLoop();
        heartbeat = loop.scheduledTimer(1, true, [this](platform::Timer&) { ++beats; });
        item = platform::current().application().statusItemWithLength(platform::NSVariableStatusItemLength);
        item->button()->setImage(kit::Image::empty());
        item->button()->setAction([this, &loop] {
            platform::current().application().terminate();
            loop.asyncMain([this] { ++beats; });
            heartbeat = loop.scheduledTimer(0.1, true, [this](platform::Timer&) { ++beats; });
        });
    }
};

class SimApplication : public simtest::World {
protected:
    bool destroyed = false;
    std::weak_ptr<Probe> probe;

    void launch() {
        auto p = std::make_shared<Probe>();
        p->destroyed = &destroyed;
        probe = p;
        desktop.application().setDelegate(p);
        EXPECT_EQ(desktop.application().run(), 0);
    }
};

TEST_F(SimApplication, TerminatingFromInsideAnActionIsFinalAndANewProcessStartsClean) {
    launch();
    auto ownHandle = desktop.workspace().runningApplicationsWithBundleIdentifier("app.durazizi.Durazizi").at(0);
    desktop.time().advance(2);
    ASSERT_EQ(probe.lock()->beats, 2);

    EXPECT_TRUE(desktop.application().clickStatusItem());
    EXPECT_FALSE(desktop.ownProcess().running());
    EXPECT_FALSE(desktop.application().hasStatusItem());
    EXPECT_TRUE(ownHandle->isTerminated());
    // The delegate, and everything it held, is gone once the action returned;
    // nothing the dead process scheduled, before or after terminate, ever runs.
    EXPECT_TRUE(destroyed);
    EXPECT_FALSE(desktop.application().delegate());
    desktop.time().advance(10);

    const auto oldPid = desktop.ownProcess().pid();
    const auto generation = platform::processGeneration();
    desktop.ownProcess().start();
    EXPECT_NE(platform::processGeneration(), generation);
    EXPECT_NE(desktop.ownProcess().pid(), oldPid);
    EXPECT_EQ(desktop.workspace().processIdentifier(), desktop.ownProcess().pid());
    EXPECT_EQ(desktop.application().activationPolicy(), platform::ActivationPolicy::Regular);
    destroyed = false;
    launch();
    desktop.time().advance(1);
    EXPECT_EQ(probe.lock()->beats, 1);
    EXPECT_TRUE(desktop.application().clickStatusItem());
    EXPECT_TRUE(destroyed);
}

TEST_F(SimApplication, TerminatingFromInsideATimerBlockStopsEveryTimer) {
    launch();
    int otherFires = 0;
    auto& loop = desktop.runLoop();
    auto other = loop.scheduledTimer(0.5, true, [&](platform::Timer&) { ++otherFires; });
    loop.scheduledTimer(1.25, false, [](platform::Timer&) { platform::current().application().terminate(); });
    loop.asyncAfterMain(5, [&] { ++otherFires; });

    desktop.time().advance(10);
    EXPECT_EQ(otherFires, 2);   // at 0.5 and 1.0; nothing after the terminate at 1.25
    EXPECT_FALSE(other->isValid());
    EXPECT_FALSE(desktop.ownProcess().running());
    EXPECT_DOUBLE_EQ(desktop.time().now(), sim::kDefaultWallClock + 10);
}

}  // namespace
