#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/InstalledDesktop.h"

namespace {

using platform::AnimationContext;
using kit::TimingFunction;

std::shared_ptr<platform::Panel> makePanel(sim::Desktop& desktop, kit::Rect contentRect) {
    return desktop.windowServer().makePanel(contentRect, platform::NSWindowStyleMaskNonactivatingPanel,
                                            platform::NSBackingStoreBuffered, true);
}

const sim::OwnWindowInfo* findOwn(const std::vector<sim::OwnWindowInfo>& all, const std::string& title) {
    for (const auto& w : all)
        if (w.title == title) return &w;
    return nullptr;
}

TEST(SimWindowServer, PanelsAsTheWindowServerListsThem) {
    testsupport::InstalledDesktop world;
    sim::Desktop& desktop = world.desktop;
    desktop.addScreen({0, 0, 1440, 900});
    auto& server = desktop.windowServer();
    EXPECT_EQ(server.windowLevelForKey(platform::kCGDockWindowLevelKey), 20);
    EXPECT_EQ(server.windowLevelForKey(platform::kCGFloatingWindowLevelKey), 3);

    auto panel = makePanel(desktop, {100, 100, 200, 150});
    panel->setTitle("Preview");
    // Deferred: no window number until it is first ordered in.
    EXPECT_LE(panel->windowNumber(), 0);
    EXPECT_FALSE(panel->isVisible());
    EXPECT_EQ(panel->alphaValue(), 1.0);
    EXPECT_EQ(panel->level(), platform::NSNormalWindowLevel);
    EXPECT_TRUE(panel->hidesOnDeactivate());   // an NSPanel's default
    panel->setFloatingPanel(true);
    EXPECT_EQ(panel->level(), platform::NSFloatingWindowLevel);
    panel->setLevel(server.windowLevelForKey(platform::kCGDockWindowLevelKey) + 1);

    auto own = desktop.ownWindows();
    ASSERT_EQ(own.size(), 1u);
    EXPECT_FALSE(own[0].visible);

    panel->orderFrontRegardless();
    EXPECT_TRUE(panel->isVisible());
    EXPECT_GT(panel->windowNumber(), 0);
    panel->setAlphaValue(0);
    EXPECT_TRUE(panel->isVisible());   // transparent is still on screen

    // A titled window adds its title bar above the content; the content view
    // keeps the content size, and growing the content keeps the top edge.
    auto window = server.makeWindow({300, 300, 400, 200},
                                    platform::NSWindowStyleMaskTitled | platform::NSWindowStyleMaskClosable,
                                    platform::NSBackingStoreBuffered, false);
    EXPECT_GT(window->windowNumber(), 0);
    window->setTitle("Settings");
    EXPECT_EQ(window->frame(), kit::Rect(300, 300, 400, 228));
    auto content = std::make_shared<kit::View>();
    window->setContentView(content);
    EXPECT_EQ(content->frame(), kit::Rect(0, 0, 400, 200));
    window->setContentSize({500, 300});
    EXPECT_EQ(window->frame(), kit::Rect(300, 200, 500, 328));
    EXPECT_EQ(content->frame(), kit::Rect(0, 0, 500, 300));
    window->makeKeyAndOrderFront();

    own = desktop.ownWindows();
    ASSERT_EQ(own.size(), 2u);
    // Front-most first: the panel's level is above the normal one.
    EXPECT_EQ(own[0].title, "Preview");
    EXPECT_EQ(own[0].frame, kit::Rect(100, 650, 200, 150));   // top-left: 900 - 100 - 150
    EXPECT_EQ(own[0].level, 21);
    EXPECT_EQ(own[0].alpha, 0);
    EXPECT_EQ(own[1].title, "Settings");
    EXPECT_TRUE(own[1].key);
    EXPECT_EQ(own[1].contentView, content);

    // Closing tells the delegate first, then orders the window out.
    std::vector<std::string> events;
    window->setWindowWillClose([&] { events.push_back(window->isVisible() ? "will close, visible" : "will close"); });
    window->close();
    EXPECT_EQ(events, std::vector<std::string>{"will close, visible"});
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(findOwn(desktop.ownWindows(), "Settings")->visible);

    // The process's windows go with it.
    desktop.terminateOwnProcess();
    EXPECT_TRUE(desktop.ownWindows().empty());
    EXPECT_FALSE(panel->isVisible());
    panel->orderFrontRegardless();
    EXPECT_FALSE(panel->isVisible());
}

TEST(SimWindowServer, AnimationsFollowTheirTimingOverVirtualTime) {
    testsupport::InstalledDesktop world;
    sim::Desktop& desktop = world.desktop;
    desktop.addScreen({0, 0, 1440, 900});
    auto& server = desktop.windowServer();
    auto easing = makePanel(desktop, {100, 100, 200, 100});
    auto linear = makePanel(desktop, {400, 100, 200, 100});

    // The preview's snap-in: 10 points up while fading in, 0.16 s, ease-out.
    std::vector<std::string> done;
    easing->setFrame({100, 90, 200, 100}, false);
    easing->setAlphaValue(0);
    easing->orderFrontRegardless();
    server.runAnimationGroup(
        [&](AnimationContext& context) {
            context.setDuration(0.16);
            context.setTimingFunction(TimingFunction::named(TimingFunction::Name::EaseOut));
            easing->animator().setAlphaValue(1);
            easing->animator().setFrame({100, 100, 200, 100}, true);
        },
        [&] { done.push_back("ease-out"); });
    linear->setAlphaValue(0);
    server.runAnimationGroup(
        [&](AnimationContext& context) {
            context.setDuration(0.16);
            context.setTimingFunction(TimingFunction::named(TimingFunction::Name::Linear));
            linear->animator().setAlphaValue(1);
        },
        [&] { done.push_back("linear"); });
    EXPECT_EQ(easing->alphaValue(), 0);   // nothing moves until time passes
    EXPECT_EQ(easing->frame().minY(), 90);

    desktop.advance(0.08);
    // The clock counts seconds since 1970, so virtual instants carry about 1e-7 s of rounding.
    EXPECT_NEAR(linear->alphaValue(), 0.5, 1e-5);
    EXPECT_GT(easing->alphaValue(), 0.6);
    EXPECT_LT(easing->alphaValue(), 1);
    EXPECT_GT(easing->frame().minY(), 96);
    EXPECT_LT(easing->frame().minY(), 100);
    EXPECT_TRUE(done.empty());

    desktop.advance(0.079);
    EXPECT_TRUE(done.empty());
    EXPECT_LT(easing->alphaValue(), 1);
    desktop.advance(0.002);
    EXPECT_EQ(done, (std::vector<std::string>{"ease-out", "linear"}));
    EXPECT_EQ(easing->alphaValue(), 1);
    EXPECT_EQ(easing->frame(), kit::Rect(100, 100, 200, 100));
    EXPECT_EQ(linear->alphaValue(), 1);
}

TEST(SimWindowServer, CompletionsRunOnTheMainQueueWhenTheirGroupEnds) {
    testsupport::InstalledDesktop world;
    sim::Desktop& desktop = world.desktop;
    desktop.addScreen({0, 0, 1440, 900});
    auto& server = desktop.windowServer();
    auto a = makePanel(desktop, {0, 0, 100, 100});
    auto b = makePanel(desktop, {0, 200, 100, 100});
    std::vector<std::string> done;

    // Nothing animated: still never inside the call, but on the next turn.
    server.runAnimationGroup([](AnimationContext&) {}, [&] { done.push_back("empty"); });
    EXPECT_TRUE(done.empty());
    desktop.settle();
    EXPECT_EQ(done, std::vector<std::string>{"empty"});
    done.clear();

    // A longer group started first completes last.
    server.runAnimationGroup(
        [&](AnimationContext& c) {
            c.setDuration(0.3);
            a->animator().setAlphaValue(0);
        },
        [&] { done.push_back("long"); });
    server.runAnimationGroup(
        [&](AnimationContext& c) {
            c.setDuration(0.1);
            b->animator().setAlphaValue(0);
        },
        [&] { done.push_back("short"); });
    desktop.advance(0.5);
    EXPECT_EQ(done, (std::vector<std::string>{"short", "long"}));
    done.clear();

    // Ordering out does not stop a fade; its completion may order it out again.
    a->setAlphaValue(1);
    a->orderFrontRegardless();
    server.runAnimationGroup(
        [&](AnimationContext& c) {
            c.setDuration(0.1);
            a->animator().setAlphaValue(0);
        },
        [&] {
            done.push_back("faded");
            a->orderOut();
        });
    a->orderOut();
    desktop.advance(0.05);
    EXPECT_GT(a->alphaValue(), 0);
    EXPECT_LT(a->alphaValue(), 1);
    desktop.advance(0.06);
    EXPECT_EQ(done, std::vector<std::string>{"faded"});
    EXPECT_EQ(a->alphaValue(), 0);

    // Outside any group an animator change takes the default quarter second.
    b->setAlphaValue(1);
    b->animator().setAlphaValue(0);
    desktop.advance(0.2);
    EXPECT_GT(b->alphaValue(), 0);
    desktop.advance(0.06);
    EXPECT_EQ(b->alphaValue(), 0);
}

TEST(SimWindowServer, ADirectSetCancelsOnlyThatPropertysAnimation) {
    testsupport::InstalledDesktop world;
    sim::Desktop& desktop = world.desktop;
    desktop.addScreen({0, 0, 1440, 900});
    auto& server = desktop.windowServer();
    auto panel = makePanel(desktop, {0, 0, 100, 100});
    panel->setAlphaValue(0);
    std::vector<std::string> done;
    server.runAnimationGroup(
        [&](AnimationContext& c) {
            c.setDuration(1);
            c.setTimingFunction(TimingFunction::named(TimingFunction::Name::Linear));
            panel->animator().setAlphaValue(1);
            panel->animator().setFrame({100, 0, 100, 100}, true);
        },
        [&] { done.push_back("moved"); });

    desktop.advance(0.5);
    panel->setAlphaValue(0.2);
    desktop.advance(0.25);
    EXPECT_EQ(panel->alphaValue(), 0.2);                 // stays where it was put
    EXPECT_NEAR(panel->frame().minX(), 75, 1e-3);        // the frame goes on
    EXPECT_TRUE(done.empty());
    desktop.advance(0.3);
    EXPECT_EQ(done, std::vector<std::string>{"moved"});

    // When every animation of a group is cut short, the group ends then.
    done.clear();
    server.runAnimationGroup(
        [&](AnimationContext& c) {
            c.setDuration(1);
            panel->animator().setAlphaValue(0);
        },
        [&] { done.push_back("fade cut short"); });
    desktop.advance(0.1);
    // A new animation of the same property replaces the old one, from where it is.
    double midway = panel->alphaValue();
    server.runAnimationGroup(
        [&](AnimationContext& c) {
            c.setDuration(0.5);
            c.setTimingFunction(TimingFunction::named(TimingFunction::Name::Linear));
            panel->animator().setAlphaValue(1);
        },
        [&] { done.push_back("fade back"); });
    EXPECT_EQ(panel->alphaValue(), midway);
    desktop.settle();
    EXPECT_EQ(done, std::vector<std::string>{"fade cut short"});
    desktop.advance(0.25);
    EXPECT_NEAR(panel->alphaValue(), midway + (1 - midway) / 2, 1e-5);
    desktop.advance(0.26);
    EXPECT_EQ(done, (std::vector<std::string>{"fade cut short", "fade back"}));
}

TEST(SimSymbols, KnownNamesOnly) {
    testsupport::InstalledDesktop world;
    auto& symbols = world.desktop.symbols();
    for (const char* name : {"xmark.circle.fill", "minus.circle.fill", "play.fill", "calendar", "power"}) {
        auto image = symbols.imageWithSystemSymbolName(name, "Label");
        ASSERT_TRUE(image) << name;
        EXPECT_EQ(image->symbolName(), name);
        EXPECT_EQ(image->accessibilityDescription(), "Label");
        EXPECT_EQ(image->size(), (kit::Size{16, 16}));
    }
    EXPECT_FALSE(symbols.imageWithSystemSymbolName("no.such.symbol", "Close"));
    EXPECT_FALSE(symbols.imageWithSystemSymbolName("", ""));
}

}  // namespace
