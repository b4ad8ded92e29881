// What window management costs on the paths that run for every input event:
// the tap's callback for events it lets through and for each step of a
// modifier drag (the platform disables a tap whose callback is slow), the
// accessibility calls a drag step makes, and edge snapping's decision for
// each dragged event.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

#include "app/Settings.h"
#include "platform/Platform.h"
#include "sim/Desktop.h"
#include "windowing/InputTap.h"
#include "windowing/SnapController.h"

namespace {

struct World {
    sim::Desktop desktop;
    std::shared_ptr<durazizi::InputTap> tap = std::make_shared<durazizi::InputTap>();
    std::shared_ptr<durazizi::SnapController> snap = std::make_shared<durazizi::SnapController>();

    World() {
        platform::install(&desktop);
        durazizi::Settings::registerDefaults();
        desktop.screens().add({0, 0, 1440, 900});
        desktop.dock().setRunning(true);
        sim::AppSpec editor;
        editor.bundleId = "com.example.editor";
        editor.name = "Editor";
        sim::pid_t app = desktop.processes().add(editor);
        for (int i = 0; i < 10; ++i) {
            sim::WindowSpec spec;
            spec.pid = app;
            spec.frame = {100.0 + 20 * i, 100.0 + 20 * i, 800, 600};
            desktop.windows().add(spec);
        }
        snap->start();
        tap->start();
    }
    ~World() { platform::install(nullptr); }
};

platform::CGEventRef event(platform::CGEventType type, kit::Point at, std::uint64_t flags = 0, std::int64_t key = 0) {
    auto e = std::make_shared<platform::CGEvent>();
    e->type = type;
    e->location = at;
    e->flags = flags;
    e->keycode = key;
    return e;
}

// Times each call on its own, so that the tail shows and not only the mean.
template <typename Call>
void timeEach(benchmark::State& state, Call call) {
    std::vector<double> us;
    us.reserve(1 << 16);
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        call();
        std::chrono::duration<double, std::micro> took = std::chrono::steady_clock::now() - start;
        if (us.size() < us.capacity()) us.push_back(took.count());
    }
    if (us.empty()) return;
    std::sort(us.begin(), us.end());
    state.counters["p50_us"] = us[us.size() / 2];
    state.counters["p99_us"] = us[us.size() * 99 / 100];
}

void BM_TapPassesPlainPress(benchmark::State& state) {
    World world;
    auto press = event(platform::kCGEventLeftMouseDown, {500, 400});
    timeEach(state, [&] { benchmark::DoNotOptimize(world.tap->handle(press->type, press)); });
}
BENCHMARK(BM_TapPassesPlainPress);

void BM_TapPassesPlainKey(benchmark::State& state) {
    World world;
    auto key = event(platform::kCGEventKeyDown, {500, 400}, 0, 0);
    timeEach(state, [&] { benchmark::DoNotOptimize(world.tap->handle(key->type, key)); });
}
BENCHMARK(BM_TapPassesPlainKey);

void BM_TapDragStep(benchmark::State& state) {
    World world;
    const std::uint64_t moveFlags = platform::NSEventModifierFlagControl | platform::NSEventModifierFlagOption;
    auto press = event(platform::kCGEventLeftMouseDown, {500, 400}, moveFlags);
    if (world.tap->handle(press->type, press)) state.SkipWithError("the modifier press was not taken");
    auto steps = {event(platform::kCGEventLeftMouseDragged, {510, 405}, moveFlags),
                  event(platform::kCGEventLeftMouseDragged, {490, 395}, moveFlags)};
    std::vector<platform::CGEventRef> drags(steps);
    world.desktop.accessibility().takeCalls();
    std::size_t i = 0;
    std::uint64_t count = 0;
    timeEach(state, [&] {
        const auto& drag = drags[i++ & 1];
        benchmark::DoNotOptimize(world.tap->handle(drag->type, drag));
        ++count;
    });
    state.counters["ax_calls_per_step"] =
        count ? static_cast<double>(world.desktop.accessibility().takeCalls()) / static_cast<double>(count) : 0;
}
BENCHMARK(BM_TapDragStep);

// One dragged event through the simulated session: the tap passes it, the
// window server moves the window by its title bar, and edge snapping decides
// the zone from its global monitor.
void BM_SnapDecisionPerDraggedEvent(benchmark::State& state) {
    World world;
    world.desktop.input().mouseDown({600, 290});
    world.desktop.accessibility().takeCalls();
    std::size_t i = 0;
    std::uint64_t count = 0;
    // Along the left edge, so zones change and the overlay comes and goes.
    const kit::Point path[] = {{300, 400}, {6, 300}, {6, 100}, {300, 400}};
    for (auto _ : state) {
        world.desktop.input().move(path[i++ % 4]);
        ++count;
    }
    world.desktop.input().mouseUp({300, 400});
    state.counters["ax_calls_per_event"] =
        count ? static_cast<double>(world.desktop.accessibility().takeCalls()) / static_cast<double>(count) : 0;
}
BENCHMARK(BM_SnapDecisionPerDraggedEvent);

void BM_SnapZoneFor(benchmark::State& state) {
    World world;
    const platform::Screen screen{{0, 0, 1440, 900}, {0, 64, 1440, 812}};
    double x = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(world.snap->zoneFor({x, 850}, screen));
        x = x > 1440 ? 0 : x + 7;
    }
}
BENCHMARK(BM_SnapZoneFor);

}  // namespace
