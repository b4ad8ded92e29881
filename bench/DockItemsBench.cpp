// What reading the Dock costs when it holds very many applications: every
// refill of the item cache (every 2 s while the pointer is near the Dock)
// matches each item to its running application. The sim answers each
// attribute of a Dock item by laying out the whole Dock, so part of the time
// grows with the square of the items in the sim itself; the product's share
// is the accessibility calls per item, which must stay constant.
#include <benchmark/benchmark.h>

#include <string>

#include "app/Settings.h"
#include "dock/DockObserver.h"
#include "platform/Platform.h"
#include "sim/Desktop.h"

namespace {

// A Dock of `count` running applications, each with its own bundle, on a
// display wide enough that the sim lays them all out.
void BM_DockItemsRefill(benchmark::State& state) {
    const auto count = static_cast<int>(state.range(0));
    sim::Desktop desktop;
    platform::install(&desktop);
    durazizi::Settings::registerDefaults();
    desktop.screens().add({0, 0, 60000, 900});
    desktop.dock().setRunning(true, 48);
    for (int i = 0; i < count; ++i) {
        sim::AppSpec app;
        app.name = "App " + std::to_string(i);
        app.bundleId = "com.example.app" + std::to_string(i);
        app.bundlePath = "/Applications/Tools/../App " + std::to_string(i) + ".app";
        desktop.processes().add(app);
    }
    desktop.permissions().setAccessibilityTrusted(true);

    durazizi::DockObserver observer;
    std::size_t matched = 0;
    desktop.accessibility().takeCalls();
    for (auto _ : state) {
        matched = 0;
        for (const auto& item : observer.items(true)) matched += item.runningApp != nullptr;
        benchmark::DoNotOptimize(matched);
    }
    const auto calls = static_cast<double>(desktop.accessibility().takeCalls());
    state.counters["items_matched"] = static_cast<double>(matched);
    state.counters["ax_calls_per_item"] = calls / static_cast<double>(state.iterations()) / count;
    platform::install(nullptr);
}
BENCHMARK(BM_DockItemsRefill)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace
