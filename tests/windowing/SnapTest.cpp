#include "WindowingWorld.h"

namespace {

using durazizi::SnapZone;
using windowingtest::Windowing;

using SnapTest = Windowing;

TEST_F(SnapTest, ZonesTakeSidesBeforeTopAndTopCornersBeforeBottomOnesWithBordersIncluded) {
    // A display at Cocoa (0, 0, 1000, 500): side bands 12 wide, corner bands 90 high.
    const platform::Screen screen{{0, 0, 1000, 500}, {0, 0, 1000, 476}};
    struct Row {
        kit::Point mouse;
        SnapZone zone;
    } rows[] = {
        {{12, 250}, SnapZone::leftHalf},      {{12.01, 250}, SnapZone::none},
        {{988, 250}, SnapZone::rightHalf},    {{987.9, 250}, SnapZone::none},
        {{0, 410}, SnapZone::topLeft},        {{0, 409.9}, SnapZone::leftHalf},
        {{0, 90}, SnapZone::bottomLeft},      {{1000, 490}, SnapZone::topRight},
        {{1000, 0}, SnapZone::bottomRight},   {{500, 488}, SnapZone::maximize},
        {{5, 495}, SnapZone::topLeft},        {{500, 0}, SnapZone::none},
    };
    for (const Row& row : rows)
        EXPECT_EQ(snap->zoneFor(row.mouse, screen), row.zone) << row.mouse.x << "," << row.mouse.y;
}

TEST_F(SnapTest, TheDelayIsChosenOnEnteringTheZoneAndTheReleaseTilesOnlyOnceArmed) {
    start();
    // 5 points from the left edge: near, 0.5 s.
    desktop.input().mouseDown({500, 210});
    desktop.input().move({5, 450});
    desktop.time().advance(0.45);
    EXPECT_FALSE(overlay());
    // Pressing on to the border later does not change the delay of the zone.
    desktop.input().move({0, 450});
    desktop.time().advance(0.1);
    ASSERT_TRUE(overlay());
    EXPECT_EQ(overlay()->frame, (kit::Rect{0, 24, 720, 812}));
    EXPECT_EQ(overlay()->level, platform::kCGFloatingWindowLevel);
    desktop.input().mouseUp({0, 450});
    EXPECT_EQ(frame(), (kit::Rect{0, 24, 720, 812}));
    desktop.time().advance(0.2);
    EXPECT_FALSE(overlay());

    // Released before arming: the window stays where the drag put it.
    desktop.input().mouseDown({100, 40});
    desktop.input().move({1430, 450});
    desktop.input().mouseUp({1430, 450});
    EXPECT_EQ(frame(), (kit::Rect{1330, 434, 720, 812}));
}

TEST_F(SnapTest, AZoneChangeDisarmsAndAZoneArmingAtOnceKeepsTheOverlayShown) {
    start();
    desktop.input().mouseDown({500, 210});
    desktop.input().move({0, 450});
    desktop.time().advance(0.05);   // mid fade-in
    // Straight into the top-left corner: hidden, then shown again at once.
    desktop.input().move({0, 30});
    desktop.time().advance(0.5);
    ASSERT_TRUE(overlay());
    EXPECT_EQ(overlay()->frame, (kit::Rect{0, 24, 720, 406}));
    EXPECT_DOUBLE_EQ(overlay()->alpha, 1.0);

    // Moving on to the right half: its 0.5 s delay restarts, so an early
    // release leaves the window unsnapped.
    desktop.input().move({1435, 450});
    desktop.time().advance(0.2);
    EXPECT_FALSE(overlay());
    kit::Rect before = frame();
    desktop.input().mouseUp({1435, 450});
    EXPECT_EQ(frame(), before);
}

TEST_F(SnapTest, TheScreenUnderThePointerGivesTheZoneAndTheTarget) {
    desktop.screens().add({1440, 100, 1280, 800});
    start();
    drag({500, 210}, {2719, 500});
    EXPECT_EQ(frame(), (kit::Rect{2080, 124, 640, 776}));
}

TEST_F(SnapTest, SwitchingSnappingOffMidDragMakesTheReleaseANoOp) {
    start();
    desktop.input().mouseDown({500, 210});
    desktop.input().move({200, 300});
    set("window_snapping", false);
    desktop.input().move({0, 450});
    desktop.time().advance(0.2);
    EXPECT_FALSE(overlay());
    desktop.input().mouseUp({0, 450});
    EXPECT_EQ(frame().size, (kit::Size{600, 400}));
}

}  // namespace
