#include <fstream>

#include "WindowingWorld.h"

namespace {

using windowingtest::Windowing;

class InputTapTest : public Windowing {
protected:
    InputTapTest() {
        start();
        desktop.windowManager().takeReceived(editor);
    }
};

TEST_F(InputTapTest, ModifiersMatchOnlyAsExactSetsIgnoringCapsLockAndFn) {
    struct Row {
        const char* name;
        std::uint64_t flags;
        bool resizeLikeMove;
        kit::Rect expected;   // after dragging from (400, 400) to (450, 470)
    } rows[] = {
        {"move", ctrl | alt, false, {350, 270, 600, 400}},
        {"caps lock and fn", ctrl | alt | 0x10000 | 0x800000 | 0x200000, false, {350, 270, 600, 400}},
        {"resize", ctrl | alt | shift, false, {300, 200, 650, 470}},
        {"a superset of move", ctrl | alt | cmd, false, {300, 200, 600, 400}},
        {"resize wins when both match", ctrl | alt, true, {300, 200, 650, 470}},
    };
    for (const Row& row : rows) {
        desktop.windows().add({editor, "", window, {300, 200, 600, 400}});
        set("resize_windows_mod_shift", !row.resizeLikeMove);
        drag({400, 400}, {450, 470}, row.flags);
        EXPECT_EQ(frame(), row.expected) << row.name;
        bool acted = frame() != kit::Rect{300, 200, 600, 400};
        // What the tap acts on never reaches the application.
        EXPECT_EQ(received(editor), acted ? "" : "down drag up ") << row.name;
    }
}

TEST_F(InputTapTest, EmptySetsNeverMatchAndSwitchedOffFeaturesPass) {
    for (const char* key : {"move_windows_mod_control", "move_windows_mod_alt", "resize_windows_mod_control",
                            "resize_windows_mod_alt", "resize_windows_mod_shift"})
        set(key, false);
    drag({400, 400}, {450, 470}, 0);
    EXPECT_EQ(frame(), (kit::Rect{300, 200, 600, 400}));
    set("move_windows_mod_control", true);
    set("move_windows", false);
    drag({400, 400}, {450, 470}, ctrl);
    EXPECT_EQ(frame(), (kit::Rect{300, 200, 600, 400}));
    EXPECT_EQ(received(editor), "down drag up down drag up ");
}

TEST_F(InputTapTest, ResizingStopsAtTheTapsMinimumAndTheApplicationsOwn) {
    drag({850, 550}, {0, 0}, ctrl | alt | shift);
    EXPECT_EQ(frame(), (kit::Rect{300, 200, 120, 80}));
    sim::CGWindowID big = addWindow({300, 200, 600, 400}, {300, 200});
    drag({850, 550}, {0, 0}, ctrl | alt | shift);
    EXPECT_EQ(frame(big), (kit::Rect{300, 200, 300, 200}));
}

TEST_F(InputTapTest, AModifierClickOnTheDesktopPassesAndAPlainUpPasses) {
    drag({1000, 700}, {1100, 750}, ctrl | alt);
    EXPECT_EQ(desktop.input().eventTap().mode, "none");
    desktop.input().mouseDown({400, 400});
    desktop.input().mouseUp({400, 400});
    EXPECT_EQ(received(editor), "down up ");
}

TEST_F(InputTapTest, AGestureWhoseUpNeverReachedTheTapDoesNotCaptureTheNextDrag) {
    sim::CGWindowID other = addWindow({1000, 300, 300, 300});
    // The up is lost (the pointer's device went away mid-gesture); the next
    // press is a plain one in another window.
    desktop.input().mouseDown({400, 400}, ctrl | alt);
    drag({1100, 400}, {1150, 450});
    EXPECT_EQ(frame(), (kit::Rect{300, 200, 600, 400}));
    EXPECT_EQ(frame(other), (kit::Rect{1000, 300, 300, 300}));

    // The up goes past the tap while it is off; the re-enable ends the gesture.
    desktop.input().mouseDown({400, 400}, ctrl | alt);
    EXPECT_EQ(tap->mode(), durazizi::InputTap::Mode::move);
    desktop.eventTaps().disableAll(platform::kCGEventTapDisabledByUserInput, true);
    desktop.input().mouseUp({400, 400});
    EXPECT_EQ(received(editor), "down drag up up ");
    desktop.time().settle();
    EXPECT_TRUE(desktop.input().eventTap().enabled);
    EXPECT_EQ(tap->mode(), durazizi::InputTap::Mode::none);
}

TEST_F(InputTapTest, KeyboardSnappingTilesTheFocusedWindowForTheArrowsOnly) {
    struct Row {
        std::int64_t key;
        std::uint64_t flags;
        std::optional<kit::Rect> expected;
    } rows[] = {
        {123, ctrl | alt, kit::Rect{0, 24, 720, 812}},
        {124, ctrl | alt | 0x800000 | 0x200000, kit::Rect{720, 24, 720, 812}},
        {125, ctrl | alt, kit::Rect{0, 430, 1440, 406}},
        {126, ctrl | alt, kit::Rect{0, 24, 1440, 812}},
        {123, ctrl | alt | shift, std::nullopt},
        {122, ctrl | alt, std::nullopt},
        {127, ctrl | alt, std::nullopt},
    };
    for (const Row& row : rows) {
        desktop.windows().add({editor, "", window, {300, 200, 600, 400}});
        desktop.processes().setFrontmost(editor, window);
        desktop.input().keyDown(row.key, row.flags);
        EXPECT_EQ(frame(), row.expected.value_or(kit::Rect{300, 200, 600, 400})) << row.key;
        EXPECT_EQ(received(editor), row.expected ? "" : "key ") << row.key;
    }
}

TEST_F(InputTapTest, TitleBarScrollMaximizesFromTheTop30PointsAndRestoresTheOldestFrame) {
    desktop.input().scrollWheel({500, 231}, 1, 10);
    EXPECT_EQ(frame(), (kit::Rect{300, 200, 600, 400}));
    EXPECT_EQ(received(editor), "scroll ");
    // Within the probe throttle the next scroll passes untouched.
    desktop.input().scrollWheel({500, 230}, 1, 10);
    EXPECT_EQ(frame(), (kit::Rect{300, 200, 600, 400}));
    desktop.time().advance(0.13);
    desktop.input().scrollWheel({500, 230}, 0, 3);   // a point delta alone counts too
    EXPECT_EQ(frame(), (kit::Rect{0, 24, 1440, 812}));
    desktop.time().advance(1);
    desktop.input().scrollWheel({500, 30}, 1, 10);
    desktop.time().advance(0.2);
    // Probed but within the snap throttle: swallowed, nothing changes.
    desktop.input().scrollWheel({500, 30}, -1, -10);
    EXPECT_EQ(frame(), (kit::Rect{0, 24, 1440, 812}));
    desktop.time().advance(0.2);
    desktop.input().scrollWheel({500, 30}, -1, -10);
    EXPECT_EQ(frame(), (kit::Rect{300, 200, 600, 400}));
    EXPECT_EQ(received(editor), "scroll ");
    // Never maximized: centred at 60 % of the visible frame.
    desktop.time().advance(1);
    desktop.input().scrollWheel({500, 210}, -1, -10);
    const kit::Rect centred = frame();
    EXPECT_EQ(centred.origin.x, 288);
    EXPECT_NEAR(centred.origin.y, 24 + (812 - 487.2) / 2, 1e-9);
    EXPECT_EQ(centred.size.width, 864);
    EXPECT_NEAR(centred.size.height, 487.2, 1e-9);
}

TEST_F(InputTapTest, TheTapIsReEnabledAfterATimeoutAndEventsPassItMeanwhile) {
    desktop.eventTaps().disableAll(platform::kCGEventTapDisabledByTimeout);
    EXPECT_FALSE(desktop.input().eventTap().enabled);
    desktop.input().keyDown(123, ctrl | alt);   // the notice comes first, so the tap acts
    EXPECT_TRUE(desktop.input().eventTap().enabled);
    EXPECT_EQ(frame(), (kit::Rect{0, 24, 720, 812}));
}

TEST(InputTapStart, WithoutAccessibilityTheTapIsNotCreatedAndNothingIsSwallowed) {
    testsupport::InstalledDesktop installed;
    installed.desktop.screens().add({0, 0, 1440, 900});
    installed.desktop.permissions().setAccessibilityTrusted(false);
    durazizi::Settings::registerDefaults();
    auto tap = std::make_shared<durazizi::InputTap>();
    tap->start();
    EXPECT_FALSE(installed.desktop.input().eventTap().installed);
}

}  // namespace
