// What the pictures of the simulated desktop cost: a whole 1440 x 900 frame
// of the default desktop after something moved (the playground repaints
// this way whenever anything visible changes), the same with the Dock
// preview up (with and without its triangle), a frame when nothing changed (what the playground pays on
// every idle tick), the first frame of a new renderer (every window body
// drawn), one application window's content at thumbnail and full size, and
// a hover and a snapshot over thousands of windows of one application.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "app/AppDelegate.h"
#include "dock/PreviewPanel.h"
#include "platform/Platform.h"
#include "render/Renderer.h"
#include "sim/SimCapture.h"
#include "tools/scenario/DefaultDesktop.h"
#include "tools/scenario/ShownPanels.h"
#include "tools/scenario/World.h"

namespace {

// The default desktop (the playground's and the tour's) with Durazizi
// launched and settled, the pointer resting away from the Dock.
struct DefaultWorld {
    scenario::ScratchHome home{"durazizi-bench"};
    std::unique_ptr<scenario::World> world;
    scenario::DefaultDesktop desktop;
    platform::AXUIElementRef moved;   // the front window, moved to force repaints
    kit::Point at;
    bool nudged = false;

    DefaultWorld() {
        world = std::make_unique<scenario::World>(home.path(), [](const std::string&) {});
        desktop = scenario::buildDefaultDesktop(*world);
        world->launch();
        sim().input().move({720, 400});
        sim().time().advance(2.0);
        auto& ax = sim().accessibility();
        platform::CFType windows;
        if (ax.copyAttributeValue(ax.createApplication(desktop.editor), "AXWindows", &windows) ==
                platform::kAXErrorSuccess &&
            windows.array() && !windows.array()->empty() && windows.array()->front().element())
            moved = *windows.array()->front().element();
        platform::CFType position;
        if (moved && ax.copyAttributeValue(moved, "AXPosition", &position) == platform::kAXErrorSuccess &&
            position.axValue())
            platform::AXValueGetValue(*position.axValue(), platform::kAXValueCGPointType, &at);
    }

    sim::Desktop& sim() { return world->desktop(); }

    // One point right and back on alternate calls: every frame is a full repaint.
    void nudge() {
        nudged = !nudged;
        sim().accessibility().setAttributeValue(moved, "AXPosition",
                                                platform::AXValue::create(kit::Point{at.x + (nudged ? 1 : 0), at.y}));
    }

    bool showPreview() {
        const auto icon = sim().dock().itemFrame("Browser");
        if (!icon) return false;
        sim().input().move({icon->midX(), icon->midY()});
        sim().time().advance(0.6);
        const auto preview = scenario::findPreview(*world);
        return preview && preview->window.visible;
    }
};

void repaintEachTime(benchmark::State& state, DefaultWorld& world) {
    if (!world.moved) {
        state.SkipWithError("the default desktop has no Editor window to move");
        return;
    }
    render::DesktopRenderer renderer(world.sim());
    renderer.paint();
    for (auto _ : state) {
        world.nudge();
        benchmark::DoNotOptimize(renderer.paint().pixels.data());
    }
    state.counters["pixels"] = static_cast<double>(renderer.paint().pixels.size());
}

void BM_RenderFullFrame(benchmark::State& state) {
    DefaultWorld world;
    repaintEachTime(state, world);
}
BENCHMARK(BM_RenderFullFrame)->Unit(benchmark::kMillisecond);

// Argument: whether the triangle is drawn below the panel (its mask and
// the shadow cast by it, against the plain rounded panel).
void BM_RenderFullFrameWithPreview(benchmark::State& state) {
    DefaultWorld world;
    world.sim().defaults().setBool(state.range(0) != 0, "docklets_draw_triangle");
    if (!world.showPreview()) {
        state.SkipWithError("resting on the Browser's icon showed no preview");
        return;
    }
    repaintEachTime(state, world);
}
BENCHMARK(BM_RenderFullFrameWithPreview)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Nothing changed since the last frame: the renderer only checks, then
// hands back the frame it has.
void BM_RenderIdleFrame(benchmark::State& state) {
    DefaultWorld world;
    render::DesktopRenderer renderer(world.sim());
    renderer.paint();
    for (auto _ : state) benchmark::DoNotOptimize(renderer.paint().pixels.data());
    state.counters["repainted"] = renderer.needsPaint() ? 1 : 0;
}
BENCHMARK(BM_RenderIdleFrame)->Unit(benchmark::kMicrosecond);

// A new renderer: the wallpaper and every window's body are drawn too.
void BM_RenderFirstFrame(benchmark::State& state) {
    DefaultWorld world;
    for (auto _ : state) {
        render::DesktopRenderer renderer(world.sim());
        benchmark::DoNotOptimize(renderer.paint().pixels.data());
    }
}
BENCHMARK(BM_RenderFirstFrame)->Unit(benchmark::kMillisecond);

// One 1440 x 900 browser window's content as a capture draws it: at the
// size of a preview thumbnail on a Retina display, and at full size.
void BM_RenderWindowContent(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0));
    const int height = width * 900 / 1440;
    for (auto _ : state)
        benchmark::DoNotOptimize(
            sim::renderWindow("Release checklist", "com.example.Browser", 101, {1440, 900}, width, height).data());
    state.counters["pixels"] = static_cast<double>(width) * height;
}
BENCHMARK(BM_RenderWindowContent)->Arg(400)->Arg(1440)->Unit(benchmark::kMicrosecond);

// One application with `range(0)` windows of 800 x 600 points, all at the
// default frame, so each covers the ones behind it: resting on its Dock icon
// puts up a panel of that many tiles (almost all of them below the display),
// with every thumbnail captured, then a snapshot paints the desktop with a
// new renderer, as the scenario command does. Counters: the virtual second
// of hovering (the hover loop, the panel and the capture batch) and the
// picture apart, in milliseconds of wall time, and the process's peak
// resident memory.
void BM_ManyWindowsHoverAndSnapshot(benchmark::State& state) {
    using Clock = std::chrono::steady_clock;
    const int count = static_cast<int>(state.range(0));
    scenario::ScratchHome home{"durazizi-bench"};
    scenario::World world(home.path(), [](const std::string&) {});
    sim::Desktop& desktop = world.desktop();
    desktop.screens().add({0, 0, 1440, 900}, std::nullopt);
    desktop.dock().setRunning(true, 48);
    sim::AppSpec spec;
    spec.bundleId = "com.example.Editor";
    spec.name = "Editor";
    const sim::pid_t editor = desktop.processes().add(spec);
    for (int i = 0; i < count; ++i) {
        sim::WindowSpec window;
        window.pid = editor;
        window.title = "Document " + std::to_string(i + 1);
        desktop.windows().add(window);
    }
    world.defaults().setInteger(1, "termsVersionAccepted");
    world.defaults().setBool(true, "guideShown");
    world.launch();
    desktop.time().advance(2.0);
    const kit::Rect icon = *desktop.dock().itemFrame("Editor");

    double hoverSeconds = 0;
    double snapshotSeconds = 0;
    std::size_t tiles = 0;
    for (auto _ : state) {
        desktop.input().move({720, 300});
        desktop.time().advance(1.0);
        const auto hoverStart = Clock::now();
        desktop.input().move({icon.midX(), icon.midY()});
        desktop.time().advance(1.0);
        const auto paintStart = Clock::now();
        render::DesktopRenderer renderer(desktop);
        benchmark::DoNotOptimize(renderer.paint(1.0).pixels.data());
        const auto end = Clock::now();
        hoverSeconds += std::chrono::duration<double>(paintStart - hoverStart).count();
        snapshotSeconds += std::chrono::duration<double>(end - paintStart).count();
        const auto preview = scenario::findPreview(world);
        tiles = preview ? preview->tiles.size() : 0;
    }
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const double n = static_cast<double>(state.iterations());
    state.counters["hover_ms"] = 1000 * hoverSeconds / n;
    state.counters["snapshot_ms"] = 1000 * snapshotSeconds / n;
    state.counters["tiles"] = static_cast<double>(tiles);
    state.counters["peak_rss_MB"] = static_cast<double>(usage.ru_maxrss) / 1024;
}
BENCHMARK(BM_ManyWindowsHoverAndSnapshot)->Arg(3000)->Iterations(2)->Unit(benchmark::kMillisecond);

}  // namespace
