// What the now-playing panel costs: one poll of the player's state as the
// main thread sees it (the script itself runs on the global queue), and the
// decoding of a 640 x 640 JPEG cover off the main thread.
//
// The poll is timed in its two main-thread halves: the timer firing, which
// builds the script and hands it to the global queue, and the answer's
// hand-back, which reads it and updates the view. A run loop that keeps the
// global-queue work aside (run untimed in between) stands in for the system's
// dispatch, so the simulated player's own work is not counted.
#include <benchmark/benchmark.h>

#include <chrono>
#include <functional>
#include <memory>
#include <vector>

#include "app/Settings.h"
#include "linux/ImageDecoder.h"
#include "platform/Platform.h"
#include "sim/CoverArt.h"
#include "sim/Desktop.h"
#include "sim/SimScripting.h"
#include "specials/MediaContentView.h"

namespace {

using Stopwatch = std::chrono::steady_clock;

// The desktop's run loop, except that global-queue work waits to be run by hand.
class HeldGlobalQueue final : public platform::RunLoop {
public:
    explicit HeldGlobalQueue(platform::RunLoop& main) : main_(main) {}
    std::shared_ptr<platform::Timer> scheduledTimer(double interval, bool repeats,
                                                    std::function<void(platform::Timer&)> block) override {
        return main_.scheduledTimer(interval, repeats, std::move(block));
    }
    void asyncMain(std::function<void()> work) override { main_.asyncMain(std::move(work)); }
    void asyncAfterMain(double delay, std::function<void()> work) override {
        main_.asyncAfterMain(delay, std::move(work));
    }
    void asyncGlobal(platform::QualityOfService, std::function<void()> work) override {
        held_.push_back(std::move(work));
    }
    bool isMainThread() const override { return main_.isMainThread(); }

    void runHeld() {
        auto work = std::move(held_);
        held_.clear();
        for (auto& w : work) w();
    }

private:
    platform::RunLoop& main_;
    std::vector<std::function<void()>> held_;
};

// The simulated desktop with that run loop in place of its own.
class HeldPlatform final : public platform::Platform {
public:
    HeldPlatform() : loop_(d_.runLoop()) {}
    sim::Desktop& desktop() { return d_; }
    HeldGlobalQueue& loop() { return loop_; }

    platform::Defaults& defaults() override { return d_.defaults(); }
    platform::Clock& clock() override { return d_.clock(); }
    platform::RunLoop& runLoop() override { return loop_; }
    platform::Accessibility& accessibility() override { return d_.accessibility(); }
    platform::Screens& screens() override { return d_.screens(); }
    platform::Workspace& workspace() override { return d_.workspace(); }
    platform::Files& files() override { return d_.files(); }
    platform::LoginService& loginService() override { return d_.loginService(); }
    platform::Application& application() override { return d_.application(); }
    platform::Capture& capture() override { return d_.capture(); }
    platform::EventTaps& eventTaps() override { return d_.eventTaps(); }
    platform::EventMonitors& eventMonitors() override { return d_.eventMonitors(); }
    platform::Scripting& scripting() override { return d_.scripting(); }
    platform::URLSession& urlSession() override { return d_.urlSession(); }
    platform::Images& images() override { return d_.images(); }
    platform::WindowServer& windowServer() override { return d_.windowServer(); }
    platform::Symbols& symbols() override { return d_.symbols(); }
    platform::CalendarStore& calendarStore() override { return d_.calendarStore(); }
    platform::Locale& locale() override { return d_.locale(); }

private:
    sim::Desktop d_;
    HeldGlobalQueue loop_;
};

double seconds(Stopwatch::duration d) { return std::chrono::duration<double>(d).count(); }

// A Music panel shown and polling a playing track whose cover it already has.
void BM_NowPlayingPoll(benchmark::State& state) {
    HeldPlatform held;
    platform::install(&held);
    sim::Desktop& desktop = held.desktop();
    durazizi::Settings::registerDefaults();
    sim::AppSpec music;
    music.bundleId = "com.apple.Music";
    music.name = "Music";
    desktop.processes().add(music);
    desktop.players().withPlayer("Music", [](sim::SimPlayer& player) { player.setState("playing"); });
    auto view = std::make_shared<durazizi::MediaContentView>(durazizi::MediaApp::music, nullptr);
    view->viewDidShow();
    for (int i = 0; i < 3; ++i) {   // the first answer and the cover
        held.loop().runHeld();
        desktop.time().advance(0);
    }
    const double poll = durazizi::MediaContentView::kPollInterval;
    desktop.time().advance(poll / 2);
    for (auto _ : state) {
        const auto start = Stopwatch::now();
        desktop.time().advance(poll);   // the timer fires: the script goes to the global queue
        const auto fired = Stopwatch::now();
        held.loop().runHeld();   // the player answers, untimed
        const auto answered = Stopwatch::now();
        desktop.time().advance(0);      // the hand-back: the view reads the answer
        state.SetIterationTime(seconds(fired - start) + seconds(Stopwatch::now() - answered));
    }
    view->viewWillHide();
    view.reset();
    platform::install(nullptr);
}
BENCHMARK(BM_NowPlayingPoll)->UseManualTime()->Unit(benchmark::kMicrosecond);

// A Spotify cover as its artwork server sends it, decoded as the download's
// completion does on the session's thread.
void BM_ArtworkDecodeJpeg640(benchmark::State& state) {
    const auto bytes = sim::coverJpeg("Night Drive", "Lumen Avenue", 640);
    linuxhost::ImageDecoder decoder;
    for (auto _ : state) benchmark::DoNotOptimize(decoder.imageWithData(bytes));
    state.counters["bytes"] = static_cast<double>(bytes.size());
}
BENCHMARK(BM_ArtworkDecodeJpeg640)->Unit(benchmark::kMillisecond);

}  // namespace
