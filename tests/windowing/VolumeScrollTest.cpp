#include "WindowingWorld.h"

namespace {

using windowingtest::Windowing;

class VolumeScroll : public Windowing {
protected:
    kit::Point music;
    kit::Point calendar;

    VolumeScroll() {
        for (auto [bundle, name] : {std::pair{"com.apple.Music", "Music"}, std::pair{"com.apple.iCal", "Calendar"}}) {
            sim::AppSpec spec;
            spec.bundleId = bundle;
            spec.name = name;
            desktop.processes().add(spec);
        }
        auto centre = [&](const char* title) {
            kit::Rect r = *desktop.dock().itemFrame(title);
            return kit::Point{r.midX(), r.midY()};
        };
        music = centre("Music");
        calendar = centre("Calendar");
        start();
    }
    std::size_t dockScrolls() { return desktop.windowManager().takeReceived(*desktop.dock().pid()).size(); }
};

TEST_F(VolumeScroll, AFlickOverAPlayerStepsItsVolumeAtMostEvery80msAndNeverReachesTheDock) {
    for (int i = 0; i < 4; ++i) {
        desktop.input().scrollWheel(music, 1, 10);
        desktop.time().advance(0.02);
    }
    desktop.time().advance(0.1);
    desktop.input().scrollWheel(music, -1, -10);
    desktop.input().scrollWheel(music, -1, -10);
    desktop.time().advance(0.1);
    EXPECT_EQ(desktop.players().takeScripts().size(), 2u);
    EXPECT_EQ(desktop.players().playerInfo("Music")->volume, 50);
    EXPECT_EQ(dockScrolls(), 0u);

    // The Calendar's icon is no player's: the scroll reaches the Dock.
    desktop.input().scrollWheel(calendar, 1, 10);
    EXPECT_EQ(dockScrolls(), 1u);
    set("itunes_scroll_volume", false);
    desktop.input().scrollWheel(music, 1, 10);
    EXPECT_EQ(dockScrolls(), 1u);
    EXPECT_TRUE(desktop.players().takeScripts().empty());
}

}  // namespace
