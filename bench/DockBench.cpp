// What the Dock previews cost: the hover poll that runs 20 times a second for
// the life of the process, putting up a panel of window tiles, and a batch of
// window captures off the main thread.
//
// The hover loop has no public tick: its timer fires when the simulated clock
// passes a poll, so one `advance(pollInterval)` is one tick plus the run
// loop's own bookkeeping (BM_SimPollBaseline measures that bookkeeping alone).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "app/AppDelegate.h"
#include "app/Settings.h"
#include "app/main.h"
#include "ax/WindowList.h"
#include "dock/HoverController.h"
#include "dock/PreviewPanel.h"
#include "dock/ThumbnailCapture.h"
#include "platform/Platform.h"
#include "sim/Desktop.h"

namespace {

using Stopwatch = std::chrono::steady_clock;

constexpr double kPoll = durazizi::HoverController::pollInterval;
constexpr double kActivationDelay = 0.070;   // the "activationDelayMs" default
constexpr kit::Point kAwayFromDock{720, 400};

double seconds(Stopwatch::duration d) { return std::chrono::duration<double>(d).count(); }

// A 1440 x 900 Mac with the Dock along the bottom (48-point icons) and a few
// applications: Editor with 10 windows, Browser with 20 full-screen-sized
// ones, Notes with 2 and Mail with 1.
struct DockDesktop {
    sim::Desktop desktop;
    std::shared_ptr<durazizi::AppDelegate> app;
    sim::pid_t editor = 0;
    sim::pid_t browser = 0;

    explicit DockDesktop(bool screenRecording) {
        platform::install(&desktop);
        durazizi::Settings::registerDefaults();
        desktop.screens().add({0, 0, 1440, 900});
        desktop.dock().setRunning(true, 48);
        editor = addApp("Editor", 10, {800, 600});
        browser = addApp("Browser", 20, {1440, 900});
        addApp("Notes", 2, {600, 500});
        addApp("Mail", 1, {900, 700});
        desktop.permissions().setAccessibilityTrusted(true);
        desktop.permissions().setScreenRecording(screenRecording);
        desktop.input().move(kAwayFromDock);
    }
    ~DockDesktop() {
        app.reset();
        platform::install(nullptr);
    }
    DockDesktop(const DockDesktop&) = delete;
    DockDesktop& operator=(const DockDesktop&) = delete;

    sim::pid_t addApp(const std::string& name, int windows, kit::Size size) {
        sim::AppSpec process;
        process.name = name;
        process.bundleId = "com.example." + name;
        const sim::pid_t pid = desktop.processes().add(process);
        for (int i = 0; i < windows; ++i) {
            sim::WindowSpec window;
            window.pid = pid;
            window.title = name + " " + std::to_string(i + 1);
            // Full-screen-sized windows stay where they are; smaller ones cascade.
            const double offset = size.width >= 1440 ? 0 : 20.0 * i;
            window.frame = {offset, offset, size.width, size.height};
            desktop.windows().add(window);
        }
        return pid;
    }

    // Durazizi as `main` starts it for a returning user who granted the
    // permissions; afterwards the clock stands half-way between two polls.
    void launch() {
        desktop.defaults().setInteger(1, "termsVersionAccepted");
        desktop.defaults().setBool(true, "guideShown");
        durazizi::applicationMain();
        app = std::dynamic_pointer_cast<durazizi::AppDelegate>(desktop.application().delegate());
        desktop.time().advance(kPoll / 2);
    }

    const durazizi::PreviewController& preview() const { return app->hover().preview(); }
    bool previewVisible() const {
        const auto& panel = preview().panel();
        return panel && panel->isVisible();
    }

    void hoverIcon(const std::string& title) {
        const auto frame = desktop.dock().itemFrame(title);
        if (frame) desktop.input().move({frame->midX(), frame->midY()});
    }

    static platform::RunningApplicationRef runningApp(sim::pid_t pid) {
        for (auto& running : platform::current().workspace().runningApplications())
            if (running->processIdentifier() == pid) return running;
        return nullptr;
    }
};

// --- the hover poll ----------------------------------------------------------

// The run loop's share of one poll: a repeating 50 ms timer that does nothing.
void BM_SimPollBaseline(benchmark::State& state) {
    sim::Desktop desktop;
    platform::install(&desktop);
    auto timer = platform::current().runLoop().scheduledTimer(kPoll, true, [](platform::Timer&) {});
    desktop.time().advance(kPoll / 2);
    for (auto _ : state) desktop.time().advance(kPoll);
    timer->invalidate();
    platform::install(nullptr);
}
BENCHMARK(BM_SimPollBaseline);

enum class Ticks {
    fromCache,   // only ticks that the Dock cache served are timed
    all,         // every tick, including the one that re-reads the Dock every 2 s
};

// Runs the launched application's hover loop one poll per iteration. The
// Dock cache expires every 2 s of virtual time, so one tick in 40 walks the
// Dock's accessibility tree again. The fewest calls any tick makes over 4 s
// (two expiries) is the cached tick's share; a tick that makes more is a
// walk. With `Ticks::fromCache` a walk still runs, untimed, and is reported
// on its own; a second one straight after it is timed, so that ticks that
// all make extra calls show in `ax_calls_per_tick` (and in
// `ticks_per_dock_walk` falling from 40) instead of stalling the loop.
void runHoverTicks(benchmark::State& state, DockDesktop& world, Ticks which) {
    world.desktop.accessibility().takeCalls();
    std::uint64_t cachedCalls = std::numeric_limits<std::uint64_t>::max();
    for (int i = 0; i < 80; ++i) {
        world.desktop.time().advance(kPoll);
        cachedCalls = std::min(cachedCalls, world.desktop.accessibility().takeCalls());
    }
    std::uint64_t timedTicks = 0;
    std::uint64_t timedAXCalls = 0;
    std::uint64_t allTicks = 0;
    std::uint64_t walks = 0;
    std::uint64_t walkAXCalls = 0;
    double walkSeconds = 0;
    for (auto _ : state) {
        bool skipped = false;
        for (;;) {
            const auto start = Stopwatch::now();
            world.desktop.time().advance(kPoll);
            const double elapsed = seconds(Stopwatch::now() - start);
            const std::uint64_t calls = world.desktop.accessibility().takeCalls();
            ++allTicks;
            if (calls > cachedCalls) {
                ++walks;
                walkAXCalls += calls;
                walkSeconds += elapsed;
                if (which == Ticks::fromCache && !skipped) {
                    skipped = true;
                    continue;
                }
            }
            ++timedTicks;
            timedAXCalls += calls;
            state.SetIterationTime(elapsed);
            break;
        }
    }
    const auto per = [](double total, std::uint64_t count) { return count ? total / static_cast<double>(count) : 0.0; };
    state.counters["ax_calls_per_tick"] = per(static_cast<double>(timedAXCalls), timedTicks);
    state.counters["ticks_per_dock_walk"] = per(static_cast<double>(allTicks), walks);
    state.counters["ax_calls_per_walk_tick"] = per(static_cast<double>(walkAXCalls), walks);
    state.counters["walk_tick_us"] = per(walkSeconds * 1e6, walks);
    state.counters["preview_visible"] = world.previewVisible() ? 1 : 0;
}

// Pointer away from the Dock, nothing shown: the path every tick takes
// almost all of the time.
void BM_HoverTickAwayFromDock(benchmark::State& state, Ticks which) {
    DockDesktop world(/*screenRecording=*/true);
    world.launch();
    world.desktop.time().advance(1.0);   // the first tick filled the Dock cache
    runHoverTicks(state, world, which);
}
BENCHMARK_CAPTURE(BM_HoverTickAwayFromDock, cached, Ticks::fromCache)->UseManualTime();
BENCHMARK_CAPTURE(BM_HoverTickAwayFromDock, with_dock_walks, Ticks::all)->UseManualTime();

// Pointer resting on Editor's icon (10 windows) while its preview is shown:
// each tick re-reads the window list before it finds the preview current.
void BM_HoverTickOnShownPreview(benchmark::State& state, Ticks which) {
    DockDesktop world(/*screenRecording=*/true);
    world.launch();
    world.hoverIcon("Editor");
    world.desktop.time().advance(1.0);   // delay, show, snap-in and thumbnails all done
    if (!world.previewVisible() || world.preview().currentPID() != world.editor) {
        state.SkipWithError("Editor's preview did not come up");
        return;
    }
    runHoverTicks(state, world, which);
}
BENCHMARK_CAPTURE(BM_HoverTickOnShownPreview, cached, Ticks::fromCache)->UseManualTime();
BENCHMARK_CAPTURE(BM_HoverTickOnShownPreview, with_dock_walks, Ticks::all)->UseManualTime();

// The pointer lands on Editor's icon half-way between two polls; polls run
// until the panel is on screen. Timed: the main thread's work over those
// polls, the show included. Screen recording is off so that the sim's wait
// for the capture thread (which keeps virtual time deterministic) does not
// land inside the timed polls; tiles get the app's icon.
void BM_HoverToPanel(benchmark::State& state) {
    DockDesktop world(/*screenRecording=*/false);
    world.launch();
    world.desktop.time().advance(1.0);
    std::uint64_t shows = 0;
    std::uint64_t polls = 0;
    double lateAfterDelay = 0;   // seconds from the delay's end to the panel on screen, summed
    for (auto _ : state) {
        world.hoverIcon("Editor");
        const double arrived = world.desktop.time().now();
        int pollsHere = 0;
        const auto start = Stopwatch::now();
        while (!world.previewVisible() && pollsHere < 20) {
            world.desktop.time().advance(kPoll);
            ++pollsHere;
        }
        state.SetIterationTime(seconds(Stopwatch::now() - start));
        if (!world.previewVisible()) {
            state.SkipWithError("the panel did not come up within 20 polls");
            return;
        }
        // The clock stands half a poll past the tick that showed the panel;
        // the first tick that saw the pointer came half a poll after it arrived.
        const double shownAt = world.desktop.time().now() - kPoll / 2;
        const double firstSeen = arrived + kPoll / 2;
        lateAfterDelay += shownAt - (firstSeen + kActivationDelay);
        polls += static_cast<std::uint64_t>(pollsHere);
        ++shows;

        world.desktop.input().move(kAwayFromDock);
        world.desktop.time().advance(1.0);   // hide delay and fade-out
    }
    if (shows == 0) return;
    const double n = static_cast<double>(shows);
    state.counters["polls_to_panel"] = static_cast<double>(polls) / n;
    state.counters["virtual_ms_after_delay"] = 1000 * lateAfterDelay / n;
    state.counters["poll_ms"] = 1000 * kPoll;
}
BENCHMARK(BM_HoverToPanel)->UseManualTime()->Unit(benchmark::kMicrosecond);

// The whole launched application idling for one poll, pointer away from the
// Dock: the hover tick and, once every 1.5 s, the permission poll.
void BM_AppIdlePoll(benchmark::State& state) {
    DockDesktop world(/*screenRecording=*/true);
    world.launch();
    world.desktop.time().advance(1.0);
    world.desktop.accessibility().takeCalls();
    std::uint64_t polls = 0;
    for (auto _ : state) {
        world.desktop.time().advance(kPoll);
        ++polls;
    }
    state.counters["ax_calls_per_tick"] =
        static_cast<double>(world.desktop.accessibility().takeCalls()) / static_cast<double>(polls);
}
BENCHMARK(BM_AppIdlePoll);

// --- a process that does not answer ---------------------------------------------

enum class Hung {
    application,   // Editor, with the pointer resting on its icon
    dock,          // the Dock, with the pointer away from it
};

// Ten seconds of virtual time with one process hung, as a user would feel
// them: the longest single piece of main-thread work and all of it together
// (`Callouts`, virtual milliseconds). Then the process answers again, and
// the pointer goes to a healthy application's icon: how long, past the
// activation delay, its preview takes to come up. Timed: the wall time of
// simulating the ten seconds.
void BM_HungTenSeconds(benchmark::State& state, Hung which) {
    DockDesktop world(/*screenRecording=*/false);
    world.launch();
    world.desktop.time().advance(1.0);
    const sim::pid_t hung = which == Hung::dock ? world.desktop.dock().pid().value_or(0) : world.editor;
    double longest = 0;
    double busy = 0;
    double lateAfterDelay = 0;
    double n = 0;
    for (auto _ : state) {
        world.desktop.input().move(kAwayFromDock);
        world.desktop.time().advance(1.0);
        world.desktop.accessibility().setHung(hung, true);
        if (which == Hung::application) world.hoverIcon("Editor");
        world.desktop.callouts().take();
        const auto start = Stopwatch::now();
        world.desktop.time().advance(10.0);
        state.SetIterationTime(seconds(Stopwatch::now() - start));
        const sim::Callouts::Figures figures = world.desktop.callouts().take();
        longest = std::max(longest, figures.longest);
        busy += figures.busy;

        world.desktop.accessibility().setHung(hung, false);
        world.desktop.input().move(kAwayFromDock);
        world.desktop.time().advance(1.0);
        world.hoverIcon("Notes");
        const double from = world.desktop.time().now();
        for (int polls = 0; polls < 400 && !world.previewVisible(); ++polls) world.desktop.time().advance(kPoll);
        lateAfterDelay += world.desktop.time().now() - from - kActivationDelay;
        n += 1;
    }
    state.counters["longest_callout_ms"] = 1000 * longest;
    state.counters["busy_ms_per_10s"] = n ? 1000 * busy / n : 0;
    state.counters["healthy_preview_late_ms"] = n ? 1000 * lateAfterDelay / n : 0;
}
BENCHMARK_CAPTURE(BM_HungTenSeconds, resting_on_hung_app, Hung::application)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(BM_HungTenSeconds, idle_with_hung_dock, Hung::dock)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// --- the preview panel ---------------------------------------------------------

// PreviewController::show for Browser's 20 windows, from a hidden panel.
// Without screen recording every tile gets the app's icon within the call.
// The tiles' own layout is inside the call too: a view lays out its subviews
// as soon as its size changes.
void BM_PreviewShow20WithIcons(benchmark::State& state) {
    DockDesktop world(/*screenRecording=*/false);
    auto preview = std::make_shared<durazizi::PreviewController>();
    const auto app = DockDesktop::runningApp(world.browser);
    const auto windows = durazizi::WindowList::windows(world.browser, false, false);
    const kit::Rect icon = world.desktop.dock().itemFrame("Browser").value_or(kit::Rect{});
    world.desktop.accessibility().takeCalls();
    std::uint64_t shows = 0;
    std::uint64_t axCalls = 0;
    std::uint64_t iconTiles = 0;
    for (auto _ : state) {
        const auto start = Stopwatch::now();
        preview->show(app, windows, icon);
        const auto shown = Stopwatch::now();
        state.SetIterationTime(seconds(shown - start));
        axCalls += world.desktop.accessibility().takeCalls();
        ++shows;

        for (const auto& tile : preview->tiles())
            if (tile->imageView().image() == app->icon()) ++iconTiles;

        preview->hide();
        world.desktop.time().advance(0.5);   // snap-in and fade-out finish, the panel is ordered out
    }
    const double n = static_cast<double>(shows);
    state.counters["ax_calls_per_show"] = static_cast<double>(axCalls) / n;
    state.counters["tiles_with_icon"] = static_cast<double>(iconTiles) / n;
}
BENCHMARK(BM_PreviewShow20WithIcons)->UseManualTime()->Unit(benchmark::kMicrosecond);

// What the tiles of the show before held: thumbnails are dropped, and their
// pixels freed, inside the next show.
enum class Before { thumbnails, icons };

// The same show with screen recording granted: the call starts a capture batch
// on the global queue and returns. `batch_ms` runs from show's return until
// the batch's hand-back has set the thumbnails; `captures_at_return` and
// `thumbnails_at_return` are what had happened when show returned. With
// `Before::icons` an untimed show without screen recording comes between,
// so the timed show only drops tiles that showed the app's icon.
void BM_PreviewShow20Capturing(benchmark::State& state, Before before) {
    DockDesktop world(/*screenRecording=*/true);
    auto preview = std::make_shared<durazizi::PreviewController>();
    const auto app = DockDesktop::runningApp(world.browser);
    const auto windows = durazizi::WindowList::windows(world.browser, false, false);
    const kit::Rect icon = world.desktop.dock().itemFrame("Browser").value_or(kit::Rect{});
    std::uint64_t shows = 0;
    std::uint64_t capturesAtReturn = 0;
    std::uint64_t thumbnailsAtReturn = 0;
    std::uint64_t thumbnailsAfter = 0;
    double batchSeconds = 0;
    const auto thumbnails = [&preview, &app] {
        std::uint64_t count = 0;
        for (const auto& tile : preview->tiles())
            if (tile->imageView().image() && tile->imageView().image() != app->icon()) ++count;
        return count;
    };
    for (auto _ : state) {
        if (before == Before::icons) {
            world.desktop.permissions().setScreenRecording(false);
            preview->show(app, windows, icon);
            preview->hide();
            world.desktop.time().advance(0.5);
            world.desktop.permissions().setScreenRecording(true);
        }
        const std::uint64_t capturesBefore = world.desktop.capture().captureCount();
        const auto start = Stopwatch::now();
        preview->show(app, windows, icon);
        const auto shown = Stopwatch::now();
        state.SetIterationTime(seconds(shown - start));
        capturesAtReturn += world.desktop.capture().captureCount() - capturesBefore;
        thumbnailsAtReturn += thumbnails();

        world.desktop.time().settle();   // waits for the batch, then runs its hand-back
        batchSeconds += seconds(Stopwatch::now() - shown);
        thumbnailsAfter += thumbnails();
        ++shows;

        preview->hide();
        world.desktop.time().advance(0.5);
    }
    const double n = static_cast<double>(shows);
    state.counters["batch_ms"] = 1e3 * batchSeconds / n;
    state.counters["captures_at_return"] = static_cast<double>(capturesAtReturn) / n;
    state.counters["thumbnails_at_return"] = static_cast<double>(thumbnailsAtReturn) / n;
    state.counters["thumbnails_after"] = static_cast<double>(thumbnailsAfter) / n;
}
BENCHMARK_CAPTURE(BM_PreviewShow20Capturing, after_thumbnails, Before::thumbnails)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_PreviewShow20Capturing, after_icons, Before::icons)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

// --- thumbnail capture -----------------------------------------------------------

// One batch of Browser's 20 windows (1440 x 900 points) at the default tile
// width of 220 points, from the request to the hand-back on the main thread.
// `request_us` is how long captureBatch itself keeps the main thread.
void BM_CaptureBatch20(benchmark::State& state) {
    DockDesktop world(/*screenRecording=*/true);
    std::vector<platform::CGWindowID> ids;
    for (const auto& entry : durazizi::WindowList::windows(world.browser, false, false)) ids.push_back(entry.id);
    durazizi::ThumbnailCapture capture;
    std::uint64_t batches = 0;
    std::uint64_t images = 0;
    std::uint64_t pixels = 0;
    double requestSeconds = 0;
    const std::uint64_t capturesBefore = world.desktop.capture().captureCount();
    for (auto _ : state) {
        const auto start = Stopwatch::now();
        capture.captureBatch(ids, 220, [&](durazizi::ThumbnailCapture::Images result) {
            images += result.size();
            for (const auto& [id, image] : result)
                pixels += static_cast<std::uint64_t>(image->pixelWidth()) * static_cast<std::uint64_t>(image->pixelHeight());
        });
        requestSeconds += seconds(Stopwatch::now() - start);
        world.desktop.time().settle();
        ++batches;
    }
    const double n = static_cast<double>(batches);
    state.counters["captures"] = static_cast<double>(world.desktop.capture().captureCount() - capturesBefore) / n;
    state.counters["images"] = static_cast<double>(images) / n;
    state.counters["request_us"] = 1e6 * requestSeconds / n;
    state.counters["pixels_per_image"] = images ? static_cast<double>(pixels) / static_cast<double>(images) : 0;
}
BENCHMARK(BM_CaptureBatch20)->Unit(benchmark::kMillisecond);

}  // namespace
