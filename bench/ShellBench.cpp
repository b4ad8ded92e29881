// What the application shell and the accessibility layer cost on the paths
// that run many times a second: settings reads on every hover tick, the
// modifier sets on every input event, the window under the pointer on every
// modifier drag, and a log call with logging off.
#include <benchmark/benchmark.h>

#include "app/Diag.h"
#include "app/Settings.h"
#include "ax/AX.h"
#include "ax/WindowList.h"
#include "platform/Platform.h"
#include "sim/Desktop.h"

namespace {

struct World {
    sim::Desktop desktop;
    sim::pid_t app = 0;

    World() {
        platform::install(&desktop);
        durazizi::Settings::registerDefaults();
        desktop.screens().add({0, 0, 1440, 900});
        sim::AppSpec editor;
        editor.bundleId = "com.example.editor";
        editor.name = "Editor";
        app = desktop.processes().add(editor);
        for (int i = 0; i < 10; ++i) {
            sim::WindowSpec spec;
            spec.pid = app;
            spec.title = "Document " + std::to_string(i);
            spec.frame = {100.0 + 20 * i, 100.0 + 20 * i, 800, 600};
            desktop.windows().add(spec);
        }
    }
    ~World() { platform::install(nullptr); }
};

void BM_SettingsBoolRead(benchmark::State& state) {
    World world;
    for (auto _ : state) benchmark::DoNotOptimize(durazizi::Settings::boolValue("window_preview_enable"));
}
BENCHMARK(BM_SettingsBoolRead);

void BM_MoveModifiers(benchmark::State& state) {
    World world;
    for (auto _ : state) benchmark::DoNotOptimize(durazizi::Settings::moveModifiers());
}
BENCHMARK(BM_MoveModifiers);

void BM_DiagLogWhenOff(benchmark::State& state) {
    World world;
    for (auto _ : state) durazizi::Diag::log("hover cursorTL=(720,870) dockItems=3 over=-");
}
BENCHMARK(BM_DiagLogWhenOff);

void BM_WindowAtTopLeft(benchmark::State& state) {
    World world;
    world.desktop.accessibility().takeCalls();
    std::uint64_t lookups = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(durazizi::AX::windowAtTopLeft({400, 400}));
        ++lookups;
    }
    state.counters["ax_calls_per_lookup"] =
        static_cast<double>(world.desktop.accessibility().takeCalls()) / static_cast<double>(lookups);
}
BENCHMARK(BM_WindowAtTopLeft);

void BM_WindowListTenWindows(benchmark::State& state) {
    World world;
    world.desktop.accessibility().takeCalls();
    std::uint64_t lists = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(durazizi::WindowList::windows(world.app, true, false));
        ++lists;
    }
    state.counters["ax_calls_per_list"] =
        static_cast<double>(world.desktop.accessibility().takeCalls()) / static_cast<double>(lists);
}
BENCHMARK(BM_WindowListTenWindows);

}  // namespace
