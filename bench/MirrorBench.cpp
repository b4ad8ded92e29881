// What keeping AppKit in step with a panel costs on the main thread: the
// preview panel's tiles are new kit views on every show, so every show is a
// rebuild the mirror must match to the AppKit views it already has. The
// native side here does nothing, so what is measured is the mirror's own
// work: walking the tree, matching, comparing; "fresh" makes every view anew.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "kit/Button.h"
#include "kit/FlippedView.h"
#include "kit/ImageView.h"
#include "kit/Label.h"
#include "macos/ViewMirror.h"

namespace {

using namespace macos::mirror;

class NoNatives final : public NativeViews {
public:
    NativeHandle create(NativeClass) override { return next_++; }
    void update(NativeHandle, const NativeState&, std::uint32_t) override {}
    void setSubviews(NativeHandle, const std::vector<NativeHandle>&) override {}
    void destroy(NativeHandle) override {}

private:
    NativeHandle next_ = 1;
};

// A grid of tiles as the preview panel shows them: image, title, close box, badge.
kit::ViewRef tiles(int count) {
    auto grid = std::make_shared<kit::FlippedView>(kit::Rect{0, 0, 2000, 2000});
    for (int i = 0; i < count; ++i) {
        auto tile = std::make_shared<kit::View>(kit::Rect{(i % 10) * 200.0, (i / 10) * 150.0, 190, 140});
        tile->setWantsLayer(true);
        tile->setCornerRadius(6);
        tile->addSubview(std::make_shared<kit::ImageView>(kit::Image::symbol("macwindow", 64), kit::Rect{4, 20, 182, 116}));
        tile->addSubview(std::make_shared<kit::Label>("Window " + std::to_string(i), kit::Rect{4, 2, 182, 16}));
        auto close = std::make_shared<kit::Button>(kit::Rect{2, 120, 18, 18});
        close->setImage(kit::Image::symbol("xmark.circle.fill", 18));
        close->setHidden(true);
        tile->addSubview(close);
        tile->addSubview(std::make_shared<kit::ImageView>(kit::Image::symbol("minus.circle.fill", 16), kit::Rect{170, 120, 16, 16}));
        grid->addSubview(tile);
    }
    return grid;
}

void BM_MirrorRebuiltTiles(benchmark::State& state) {
    NoNatives natives;
    ViewMirror mirror(natives);
    mirror.sync(tiles(static_cast<int>(state.range(0))));
    for (auto _ : state) {
        state.PauseTiming();
        kit::ViewRef next = tiles(static_cast<int>(state.range(0)));
        state.ResumeTiming();
        mirror.sync(next);
    }
    state.counters["made"] = static_cast<double>(mirror.counts().created);
}
BENCHMARK(BM_MirrorRebuiltTiles)->Arg(12)->Arg(200)->Unit(benchmark::kMicrosecond);

void BM_MirrorFreshTiles(benchmark::State& state) {
    NoNatives natives;
    for (auto _ : state) {
        state.PauseTiming();
        kit::ViewRef next = tiles(static_cast<int>(state.range(0)));
        ViewMirror mirror(natives);
        state.ResumeTiming();
        mirror.sync(next);
        state.PauseTiming();
        mirror.sync(nullptr);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_MirrorFreshTiles)->Arg(12)->Arg(200)->Unit(benchmark::kMicrosecond);

}  // namespace
