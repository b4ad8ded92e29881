#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "sim/SimEventTaps.h"
#include "sim/SimWorld.h"

namespace {

using platform::CGEventRef;
using platform::CGEventType;

// Taps and monitors as another program of the session would install them.
class SimEventTapTest : public simtest::World {
protected:
    std::vector<std::string> log;
    platform::pid_t app = addApp("Editor");
    simtest::CGWindowID window = addWindow(app, "Doc", {300, 200, 600, 400});

    SimEventTapTest() {
        desktop.dock().setRunning(true);
        desktop.processes().setFrontmost(app, window);
    }

    platform::CFMachPortRef tap(const std::string& name, platform::CGEventTapOptions options, bool swallow,
                                platform::CGEventTapPlacement placement = platform::kCGHeadInsertEventTap) {
        auto& taps = desktop.eventTaps();
        auto port = taps.tapCreate(platform::kCGSessionEventTap, placement, options, ~0ull,
                                   [this, name, swallow](CGEventType type, CGEventRef event) -> CGEventRef {
                                       log.push_back(name + " " + std::to_string(type));
                                       return swallow ? nullptr : event;
                                   });
        if (port) taps.runLoopAddSource(taps.machPortCreateRunLoopSource(port, 0));
        return port;
    }
    platform::EventMonitorRef monitor() {
        return desktop.eventMonitors().addGlobalMonitorForEventsMatchingMask(
            ~0ull, [this](const platform::NSEvent& e) { log.push_back("monitor " + std::to_string(e.type)); });
    }
    std::string received() {
        std::string text;
        for (const auto& e : desktop.windowManager().takeReceived(app)) text += e.type + " ";
        return text;
    }
};

TEST_F(SimEventTapTest, TapsSeeEventsInOrderAndASwallowedOneReachesNeitherMonitorsNorTheApplication) {
    tap("listener", platform::kCGEventTapOptionListenOnly, true, platform::kCGTailAppendEventTap);
    auto active = tap("active", platform::kCGEventTapOptionDefault, true);
    monitor();
    desktop.input().mouseDown({400, 400});
    // The listen-only tap, appended after the active one, never sees what it swallowed.
    EXPECT_EQ(log, (std::vector<std::string>{"active 1"}));
    EXPECT_EQ(received(), "");

    // A disabled tap lets events past untouched.
    desktop.eventTaps().tapEnable(active, false);
    log.clear();
    desktop.input().mouseUp({400, 400});
    desktop.input().keyDown(125);
    EXPECT_EQ(log, (std::vector<std::string>{"listener 2", "monitor 2", "listener 10", "monitor 10"}));
    EXPECT_EQ(received(), "up key ");
}

TEST_F(SimEventTapTest, MonitorsDoNotSeeEventsForOurOwnWindows) {
    monitor();
    auto panel = desktop.windowServer().makePanel({0, 0, 200, 200}, 0, platform::NSBackingStoreBuffered, false);
    panel->orderFrontRegardless();
    desktop.input().click({100, 800});
    EXPECT_TRUE(log.empty());
    // A window that ignores the mouse lets the click through to the desktop.
    panel->setIgnoresMouseEvents(true);
    desktop.input().click({100, 800});
    EXPECT_EQ(log, (std::vector<std::string>{"monitor 1", "monitor 2"}));
}

TEST_F(SimEventTapTest, ASlowCallbackOrUserInputDisablesTheTapAndTheCallbackHearsOfIt) {
    desktop.permissions().setAccessibilityTrusted(false);
    EXPECT_FALSE(tap("untrusted", platform::kCGEventTapOptionDefault, true));
    desktop.permissions().setAccessibilityTrusted(true);

    auto& taps = static_cast<sim::SimEventTaps&>(desktop.eventTaps());
    taps.setCallbackLimit(0.001);
    auto port = taps.tapCreate(platform::kCGSessionEventTap, platform::kCGHeadInsertEventTap,
                               platform::kCGEventTapOptionDefault, ~0ull, [this](CGEventType type, CGEventRef) {
                                   log.push_back(std::to_string(type));
                                   if (type == platform::kCGEventKeyDown)
                                       std::this_thread::sleep_for(std::chrono::milliseconds(20));
                                   return CGEventRef{};
                               });
    taps.runLoopAddSource(taps.machPortCreateRunLoopSource(port, 0));
    // The answer came too late: the key went on, and the tap is off.
    desktop.input().keyDown(125);
    EXPECT_EQ(received(), "key ");
    EXPECT_FALSE(taps.tapIsEnabled(port));
    desktop.time().settle();
    EXPECT_EQ(log, (std::vector<std::string>{"10", std::to_string(platform::kCGEventTapDisabledByTimeout)}));

    taps.tapEnable(port, true);
    desktop.eventTaps().disableAll(platform::kCGEventTapDisabledByUserInput);
    desktop.input().scrollWheel({400, 400}, 1, 10);   // the notice comes first
    EXPECT_EQ(log.back(), std::to_string(platform::kCGEventTapDisabledByUserInput));
    EXPECT_EQ(received(), "scroll ");
}

TEST_F(SimEventTapTest, ApplicationsReactToWhatReachesThem) {
    platform::pid_t other = addApp("Other");
    simtest::CGWindowID back = addWindow(other, "Back", {0, 100, 400, 300});
    // A press raises and focuses; a title-bar drag moves the window, never
    // above the menu bar.
    desktop.input().mouseDown({100, 110});
    EXPECT_TRUE(desktop.windows().info(back).focused);
    desktop.input().move({150, 0});
    desktop.input().mouseUp({150, 0});
    EXPECT_EQ(desktop.windows().info(back).frame, (kit::Rect{50, 24, 400, 300}));
    // A drag from inside the content moves nothing.
    desktop.input().mouseDown({100, 200});
    desktop.input().move({300, 300});
    desktop.input().mouseUp({300, 300});
    EXPECT_EQ(desktop.windows().info(back).frame, (kit::Rect{50, 24, 400, 300}));
    // Keys go to the frontmost app, scrolls to the window under the pointer or the Dock.
    desktop.input().keyDown(0);
    desktop.input().scrollWheel({600, 500}, 1, 10);
    desktop.input().scrollWheel(desktop.dock().itemFrame("Editor")->origin, 1, 10);
    EXPECT_EQ(received(), "scroll ");
    EXPECT_EQ(desktop.windowManager().takeReceived(other).size(), 7u);
    EXPECT_EQ(desktop.windowManager().takeReceived(*desktop.dock().pid()).size(), 1u);
}

TEST_F(SimEventTapTest, UnpluggingADisplayBringsItsWindowsToThePrimaryOne) {
    desktop.screens().add({1440, 0, 1280, 800});
    simtest::CGWindowID right = addWindow(app, "Right", {2500, 500, 200, 400});
    EXPECT_FALSE(desktop.screens().remove(2));
    ASSERT_TRUE(desktop.screens().remove(1));
    // Same place relative to the display, kept inside the primary visible frame.
    EXPECT_EQ(desktop.windows().info(right).frame, (kit::Rect{1060, 436, 200, 400}));
    EXPECT_EQ(desktop.windows().info(window).frame, (kit::Rect{300, 200, 600, 400}));
}

}  // namespace
