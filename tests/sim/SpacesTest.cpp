#include <algorithm>

#include "sim/SimWindowServer.h"
#include "sim/SimWorld.h"

namespace {

using simtest::CGWindowID;
using simtest::World;
namespace AX = simtest::AX;

class Spaces : public World {
protected:
    std::vector<CGWindowID> axWindows(platform::pid_t pid) {
        std::vector<CGWindowID> numbers;
        for (const AX::Element& window : AX::children(ax.createApplication(pid), "AXWindows"))
            numbers.push_back(number(window).value_or(0));
        return numbers;
    }
    std::optional<platform::CGWindowInfo> listed(CGWindowID id) {
        const auto all = desktop.windowServer().copyWindowInfo(platform::kCGWindowListOptionAll, 0);
        for (const auto& window : all.value_or(std::vector<platform::CGWindowInfo>{}))
            if (window.number == id) return window;
        return std::nullopt;
    }
};

// What each side of macOS tells of a window on another Space: accessibility
// lists it no more (minimized windows stay listed), the window server lists
// it marked off screen, capture still takes it, and neither the pointer nor a
// click reaches it; switching back brings it all back.
TEST_F(Spaces, AWindowOnAnotherSpaceIsListedOnlyByTheWindowServer) {
    const auto away = *desktop.spaces().add(0);
    const auto app = addApp("Editor");
    const auto here = addWindow(app, "Here", {100, 100, 400, 300});
    sim::WindowSpec spec;
    spec.pid = app;
    spec.title = "Away";
    spec.frame = {100, 100, 400, 300};
    spec.space = away;
    const auto there = desktop.windows().add(spec);
    spec.title = "Docked";
    spec.minimized = true;
    const auto docked = desktop.windows().add(spec);

    EXPECT_EQ(axWindows(app), (std::vector<CGWindowID>{here, docked}));
    ASSERT_TRUE(listed(there));
    EXPECT_FALSE(listed(there)->isOnscreen);
    EXPECT_EQ(listed(there)->layer, 0);
    EXPECT_TRUE(listed(here)->isOnscreen);
    EXPECT_FALSE(listed(docked)->isOnscreen);
    EXPECT_FALSE(desktop.windows().pixels(there, 40, 30).empty());
    const auto onScreenOnly = desktop.windowServer().copyWindowInfo(platform::kCGWindowListOptionOnScreenOnly, 0);
    EXPECT_TRUE(std::none_of(onScreenOnly->begin(), onScreenOnly->end(),
                             [&](const auto& w) { return w.number == there || w.number == docked; }));
    // Under the pointer is the window shown there.
    EXPECT_EQ(number(AX::element(at({150, 150}), "AXWindow")), here);

    desktop.spaces().switchTo(away);
    EXPECT_EQ(axWindows(app), (std::vector<CGWindowID>{there, docked}));
    EXPECT_TRUE(listed(there)->isOnscreen);
    EXPECT_FALSE(listed(here)->isOnscreen);
    desktop.input().click({300, 300});
    EXPECT_TRUE(desktop.windows().info(there).focused);

    // Unplugging a display takes its Spaces; their windows join the primary's current one.
    desktop.screens().add({1440, 0, 1280, 800});
    const auto right = desktop.spaces().list().current.at(1);
    const auto moved = *desktop.spaces().add(1);
    spec.title = "Right";
    spec.minimized = false;
    spec.frame = {1600, 100, 400, 300};
    spec.space = moved;
    const auto far = desktop.windows().add(spec);
    desktop.screens().remove(1);
    const auto listing = desktop.spaces().list();
    EXPECT_EQ(listing.current, (std::vector<sim::SpaceID>{away}));
    EXPECT_TRUE(std::none_of(listing.spaces.begin(), listing.spaces.end(),
                             [&](const sim::SpaceRecord& s) { return s.id == right || s.id == moved; }));
    EXPECT_TRUE(desktop.windows().info(far).onCurrentSpace);
}

}  // namespace
