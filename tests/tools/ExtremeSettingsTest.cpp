#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <variant>

#include "app/Settings.h"
#include "render/Renderer.h"
#include "tools/ScenarioOutput.h"
#include "tools/scenario/DefaultDesktop.h"
#include "tools/scenario/World.h"

// Settings come from a file anyone can edit. Whatever number each one holds,
// hovering, showing the previews, painting the desktop and snapping a window
// must stay defined behaviour (the sanitizer build halts on the first
// report), keep the panel on the display and let the snap happen.
namespace {

using durazizi::Settings::registeredDefaults;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();

// One value for every numeric key: an integer key may hold a double too.
// `longDelays`: read as a delay, the value is longer than the few seconds
// the test waits (a delay may be as long as a user wants).
struct Extreme {
    const char* what;
    std::variant<std::int64_t, double> value;
    bool longDelays = false;
};

void writeEverywhere(platform::Defaults& defaults, const Extreme& extreme) {
    for (const auto& [key, registered] : registeredDefaults()) {
        if (std::holds_alternative<bool>(registered)) continue;
        if (auto i = std::get_if<std::int64_t>(&extreme.value)) defaults.setInteger(*i, key);
        else defaults.setDouble(std::get<double>(extreme.value), key);
    }
}

TEST(ExtremeSettings, HoverAndPaintStayDefinedAndThePanelStaysOnTheDisplay) {
    const Extreme extremes[] = {
        {"INT64_MAX", kMax, true}, {"INT64_MIN", kMin}, {"-1", std::int64_t{-1}}, {"0", std::int64_t{0}},
        {"100000", std::int64_t{100000}, true}, {"NaN", kNaN}, {"+inf", kInf, true}, {"-inf", -kInf},
        {"1e300", 1e300, true}, {"-1e300", -1e300},
    };
    scenario::ScratchHome home("durazizi-extremes");
    ASSERT_TRUE(home.error().empty()) << home.error();
    scenario::World world(home.path(), [](const std::string&) {});
    scenario::buildDefaultDesktop(world);
    ASSERT_FALSE(world.launch());
    sim::Desktop& desktop = world.desktop();
    desktop.time().advance(2.0);
    const kit::Rect display = *desktop.screens().primaryFrame();
    render::DesktopRenderer renderer(desktop);

    for (const Extreme& extreme : extremes) {
        SCOPED_TRACE(extreme.what);
        writeEverywhere(world.defaults(), extreme);
        desktop.input().move({720, 300});
        desktop.time().advance(1.0);
        const kit::Rect icon = *desktop.dock().itemFrame("Browser");
        desktop.input().move({icon.midX(), icon.midY()});
        desktop.time().advance(2.5);

        bool shown = false;
        for (const sim::OwnWindowInfo& window : desktop.ownWindows().list()) {
            if (!window.isPanel || !window.visible) continue;
            shown = true;
            EXPECT_TRUE(display.containsRect(window.frame))
                << window.frame.minX() << "," << window.frame.minY() << " " << window.frame.width() << "x"
                << window.frame.height();
        }
        EXPECT_EQ(shown, !extreme.longDelays);
        const render::Frame& frame = renderer.paint(2.0);
        EXPECT_EQ(frame.width, 2 * static_cast<int>(display.width()));

        // A window dragged by its title bar to the left edge and held there
        // for the longest delay the preferences offer snaps to the left half,
        // unless the delay set by hand is longer still.
        const sim::WindowInfo front = desktop.windows().all().front();
        const kit::Point title{front.frame.minX() + 150, front.frame.minY() + 10};
        desktop.input().move(title);
        desktop.input().mouseDown(title);
        desktop.input().move({400, 400});
        desktop.input().move({0, 400});
        desktop.time().advance(3.5);
        desktop.input().mouseUp({0, 400});
        desktop.time().advance(0.5);
        const kit::Rect snapped = desktop.windows().info(front.id).frame;
        if (extreme.longDelays) {
            EXPECT_EQ(snapped.width(), front.frame.width());
        } else {
            EXPECT_EQ(snapped.minX(), display.minX());
            EXPECT_EQ(snapped.width(), display.width() / 2);
        }
    }
}

// The sim's process ids count up from 500; an app at the very last pid
// leaves the count where it was instead of overflowing it.
TEST(ExtremeSettings, TheLargestProcessIdLeavesTheCountIntact) {
    const auto r = scenariotest::run(
        "app com.example.Last \"Last\" pid=2147483647\n"
        "app com.example.Next \"Next\"\n"
        "window 500 \"Next window\" id=7\n"
        "window 2147483647 \"Last window\" id=8\n"
        "query window 7\nquery window 8\n");
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(r.lines.size(), 2u);
    EXPECT_NE(r.lines[0].find("\"pid\":500,"), std::string::npos) << r.lines[0];
    EXPECT_NE(r.lines[1].find("\"pid\":2147483647,"), std::string::npos) << r.lines[1];
}

}  // namespace
