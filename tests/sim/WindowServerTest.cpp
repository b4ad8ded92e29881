#include <string>
#include <vector>

#include "sim/SimWorld.h"

namespace {

using platform::AnimationContext;
using kit::TimingFunction;
using Done = std::vector<std::string>;

class SimWindowServer : public simtest::World {
protected:
    platform::WindowServer& server = desktop.windowServer();
    Done done;

    std::shared_ptr<platform::Panel> makePanel(kit::Rect contentRect) {
        return server.makePanel(contentRect, platform::NSWindowStyleMaskNonactivatingPanel,
                                platform::NSBackingStoreBuffered, true);
    }
    // Animates one panel's alpha over `duration`, noting `name` when the group completes.
    void fade(platform::Panel& panel, double to, double duration, const std::string& name,
              TimingFunction::Name timing = TimingFunction::Name::Default) {
        server.runAnimationGroup(
            [&](AnimationContext& c) {
                c.setDuration(duration);
                c.setTimingFunction(TimingFunction::named(timing));
                panel.animator().setAlphaValue(to);
            },
            [this, name] { done.push_back(name); });
    }
};

TEST_F(SimWindowServer, PanelsAndWindowsAsTheWindowServerListsThem) {
    auto panel = makePanel({100, 100, 200, 150});
    panel->setTitle("Preview");
    // Deferred: no window number until it is first ordered in.
    EXPECT_LE(panel->windowNumber(), 0);
    EXPECT_TRUE(panel->hidesOnDeactivate());   // an NSPanel's default
    panel->setLevel(21);
    panel->orderFrontRegardless();
    EXPECT_GT(panel->windowNumber(), 0);
    panel->setAlphaValue(0);
    EXPECT_TRUE(panel->isVisible());   // transparent is still on screen

    // A titled window adds its title bar above the content; growing the
    // content keeps the top edge.
    auto window = server.makeWindow({300, 300, 400, 200},
                                    platform::NSWindowStyleMaskTitled | platform::NSWindowStyleMaskClosable,
                                    platform::NSBackingStoreBuffered, false);
    EXPECT_EQ(window->frame(), kit::Rect(300, 300, 400, 228));
    window->setContentSize({500, 300});
    EXPECT_EQ(window->frame(), kit::Rect(300, 200, 500, 328));
    window->makeKeyAndOrderFront();

    // Front-most first: the panel's level is above the normal one.
    auto own = desktop.ownWindows().list();
    ASSERT_EQ(own.size(), 2u);
    EXPECT_EQ(own[0].frame, kit::Rect(100, 650, 200, 150));   // top-left: 900 - 100 - 150
    EXPECT_EQ(own[0].alpha, 0);
    EXPECT_TRUE(own[1].key);

    // Closing tells the delegate first, then orders the window out.
    window->setWindowWillClose([&] { done.push_back(window->isVisible() ? "will close, visible" : "will close"); });
    window->close();
    EXPECT_EQ(done, Done{"will close, visible"});
    EXPECT_FALSE(window->isVisible());

    // The process's windows go with it.
    desktop.ownProcess().terminate();
    EXPECT_TRUE(desktop.ownWindows().list().empty());
    panel->orderFrontRegardless();
    EXPECT_FALSE(panel->isVisible());
}

TEST_F(SimWindowServer, AnimationsFollowTheirTimingAndCompleteOnTheMainQueueWhenTheyEnd) {
    auto panel = makePanel({0, 0, 100, 100});
    // Nothing animated: the completion still never runs inside the call.
    server.runAnimationGroup([](AnimationContext&) {}, [&] { done.push_back("empty"); });
    EXPECT_TRUE(done.empty());
    desktop.time().settle();
    EXPECT_EQ(done, Done{"empty"});

    done.clear();
    panel->setAlphaValue(0);
    server.runAnimationGroup(
        [&](AnimationContext& c) {
            c.setDuration(1);
            c.setTimingFunction(TimingFunction::named(TimingFunction::Name::Linear));
            panel->animator().setAlphaValue(1);
            panel->animator().setFrame({100, 0, 100, 100}, true);
        },
        [&] { done.push_back("moved"); });
    EXPECT_EQ(panel->alphaValue(), 0);   // nothing moves until time passes
    desktop.time().advance(0.5);
    // The clock counts seconds since 1970, so virtual instants carry about 1e-7 s of rounding.
    EXPECT_NEAR(panel->alphaValue(), 0.5, 1e-5);
    // A direct set cancels only that property's animation.
    panel->setAlphaValue(0.2);
    desktop.time().advance(0.25);
    EXPECT_EQ(panel->alphaValue(), 0.2);
    EXPECT_NEAR(panel->frame().minX(), 75, 1e-3);
    desktop.time().advance(0.249);
    EXPECT_TRUE(done.empty());
    desktop.time().advance(0.002);
    EXPECT_EQ(done, Done{"moved"});

    // A new animation of the same property takes over from where it is; the
    // group whose every animation was cut short ends then.
    done.clear();
    fade(*panel, 0, 1, "fade cut short");
    desktop.time().advance(0.1);
    const double midway = panel->alphaValue();
    fade(*panel, 1, 0.5, "fade back", TimingFunction::Name::Linear);
    EXPECT_EQ(panel->alphaValue(), midway);
    desktop.time().settle();
    EXPECT_EQ(done, Done{"fade cut short"});
    desktop.time().advance(0.25);
    EXPECT_NEAR(panel->alphaValue(), midway + (1 - midway) / 2, 1e-5);
    desktop.time().advance(0.26);
    EXPECT_EQ(done, (Done{"fade cut short", "fade back"}));
}

}  // namespace
