#include "ax/Geometry.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "support/InstalledDesktop.h"

namespace {

namespace Geo = durazizi::Geo;

TEST(Geo, PrimaryHeightIsTheDisplayAtTheOrigin) {
    struct Row {
        const char* name;
        std::vector<kit::Rect> screensTopLeft;
        double height;
    };
    const Row rows[] = {
        {"no screens", {}, 0},
        {"primary listed second, a display to its left", {{-1920, 0, 1920, 1080}, {0, 0, 1440, 900}}, 900},
        {"a taller display above", {{0, 0, 1440, 900}, {0, -1200, 1920, 1200}}, 900},
        {"none at the origin: the main screen", {{100, 0, 800, 600}}, 600},
    };
    for (const Row& row : rows) {
        testsupport::InstalledDesktop installed;
        for (const kit::Rect& frame : row.screensTopLeft) installed.desktop.screens().add(frame);
        EXPECT_EQ(Geo::primaryHeight(), row.height) << row.name;
    }
}

TEST(Geo, ConversionsAgreeWithEveryDisplayAndReadTheHeightEachTime) {
    testsupport::InstalledDesktop installed;
    // No screens: H is 0, so y only changes sign (and a rectangle's far edge becomes its origin).
    EXPECT_EQ(Geo::toCocoa(kit::Point{10, 20}), (kit::Point{10, -20}));
    EXPECT_EQ(Geo::toTopLeft(kit::Rect{10, 20, 30, 40}), (kit::Rect{10, -60, 30, 40}));

    const std::vector<kit::Rect> topLeft = {{0, 0, 1440, 900}, {-1920, -300, 1920, 1080}, {200, -1000, 1600, 1000}};
    for (const kit::Rect& frame : topLeft) installed.desktop.screens().add(frame);
    EXPECT_EQ(Geo::toTopLeft(kit::Point{10, 20}), (kit::Point{10, 880}));
    EXPECT_EQ(Geo::toCocoa(kit::Rect{10, 20, 30, 40}), (kit::Rect{10, 840, 30, 40}));
    for (const platform::Screen& screen : platform::current().screens().screens()) {
        kit::Rect converted = Geo::toTopLeft(screen.frame);
        EXPECT_NE(std::find(topLeft.begin(), topLeft.end(), converted), topLeft.end())
            << converted.minX() << "," << converted.minY();
        EXPECT_EQ(Geo::toCocoa(converted), screen.frame);
    }
    EXPECT_EQ(Geo::toCocoa(kit::Rect{-1920, -300, 1920, 1080}), (kit::Rect{-1920, 120, 1920, 1080}));

    // The pointer as NSEvent reports it, on each display.
    for (kit::Point p : {kit::Point{700, 450}, kit::Point{-1000, 500}, kit::Point{300, -700}}) {
        installed.desktop.input().move(p);
        EXPECT_EQ(Geo::toTopLeft(platform::current().screens().mouseLocation()), p) << p.x << "," << p.y;
    }
}

}  // namespace
