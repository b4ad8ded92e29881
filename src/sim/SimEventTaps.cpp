#include "sim/SimEventTaps.h"

#include <algorithm>
#include <chrono>

namespace sim {

using platform::CGEventRef;
using platform::CGEventType;

struct SimEventTaps::Tap final : platform::CFMachPort {
    platform::CGEventTapLocation location{};
    platform::CGEventTapOptions options{};
    platform::CGEventMask mask = 0;
    platform::CGEventTapCallBack callback;
    bool enabled = false;
    bool onRunLoop = false;
    bool valid = true;
    std::optional<CGEventType> pendingNotice;
    bool noticeWaitsForRunLoop = false;
};

struct SimEventTaps::Source final : platform::CFRunLoopSource {
    std::weak_ptr<Tap> tap;
};

SimEventTaps::SimEventTaps(World& world, SimRunLoop& runLoop, Graveyard& graveyard)
    : world_(world), runLoop_(runLoop), graveyard_(graveyard) {}

SimEventTaps::~SimEventTaps() = default;

platform::CFMachPortRef SimEventTaps::tapCreate(platform::CGEventTapLocation location,
                                                platform::CGEventTapPlacement placement,
                                                platform::CGEventTapOptions options,
                                                platform::CGEventMask eventsOfInterest,
                                                platform::CGEventTapCallBack callback) {
    {
        std::lock_guard lock(world_.mutex);
        // An active tap, or any tap on key events, needs the process to be trusted.
        if (!world_.accessibilityTrusted) return nullptr;
    }
    if (failCreate_ || !callback) return nullptr;
    auto tap = std::make_shared<Tap>();
    tap->location = location;
    tap->options = options;
    tap->mask = eventsOfInterest;
    tap->callback = std::move(callback);
    // A new tap starts enabled; its callback runs once its source is on a run loop.
    tap->enabled = true;
    // Taps nearer the hardware see events first.
    auto at = std::find_if(taps_.begin(), taps_.end(), [&](const auto& t) {
        if (placement == platform::kCGHeadInsertEventTap) return t->location >= location;
        return t->location > location;
    });
    taps_.insert(at, tap);
    return tap;
}

platform::CFRunLoopSourceRef SimEventTaps::machPortCreateRunLoopSource(const platform::CFMachPortRef& tap,
                                                                       std::int64_t) {
    auto ours = std::dynamic_pointer_cast<Tap>(tap);
    if (!ours || !ours->valid) return nullptr;
    auto source = std::make_shared<Source>();
    source->tap = ours;
    return source;
}

void SimEventTaps::runLoopAddSource(const platform::CFRunLoopSourceRef& source) {
    auto ours = std::dynamic_pointer_cast<Source>(source);
    if (auto tap = ours ? ours->tap.lock() : nullptr) tap->onRunLoop = true;
}

void SimEventTaps::runLoopRemoveSource(const platform::CFRunLoopSourceRef& source) {
    auto ours = std::dynamic_pointer_cast<Source>(source);
    if (auto tap = ours ? ours->tap.lock() : nullptr) tap->onRunLoop = false;
}

void SimEventTaps::tapEnable(const platform::CFMachPortRef& tap, bool enable) {
    auto ours = std::dynamic_pointer_cast<Tap>(tap);
    if (ours && ours->valid) ours->enabled = enable;
}

bool SimEventTaps::tapIsEnabled(const platform::CFMachPortRef& tap) {
    auto ours = std::dynamic_pointer_cast<Tap>(tap);
    return ours && ours->valid && ours->enabled;
}

CGEventRef SimEventTaps::filter(CGEventRef event) {
    deliverNotifications(false);
    // A callback may create or drop taps: walk a copy.
    std::vector<std::shared_ptr<Tap>> taps = taps_;
    for (const auto& tap : taps) {
        if (!event) break;
        if (!tap->valid || !tap->enabled || !tap->onRunLoop) continue;
        if (!(tap->mask & platform::CGEventMaskBit(event->type))) continue;
        // Each tap gets its own copy, so that what one tap does to its event
        // cannot leak into what the next tap or the application is given.
        auto copy = std::make_shared<platform::CGEvent>(*event);
        auto started = std::chrono::steady_clock::now();
        CGEventRef answer;
        {
            CallbackScope scope(graveyard_);
            answer = tap->callback(event->type, copy);
        }
        std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;
        if (took.count() > callbackLimit_) {
            // The system stopped waiting long ago: the event went on unchanged.
            tap->enabled = false;
            tap->pendingNotice = platform::kCGEventTapDisabledByTimeout;
            tap->noticeWaitsForRunLoop = false;
            notify(tap);
            continue;
        }
        if (tap->options == platform::kCGEventTapOptionListenOnly) continue;
        if (!answer) return nullptr;
        event = answer;
    }
    return event;
}

void SimEventTaps::disableAll(CGEventType reason, bool whenRunLoopRuns) {
    for (const auto& tap : taps_) {
        if (!tap->valid || !tap->enabled) continue;
        tap->enabled = false;
        tap->pendingNotice = reason;
        tap->noticeWaitsForRunLoop = whenRunLoopRuns;
        notify(tap);
    }
}

void SimEventTaps::notify(const std::shared_ptr<Tap>& tap) {
    std::weak_ptr<Tap> weak = tap;
    runLoop_.asyncMain([this, weak] {
        if (weak.lock()) deliverNotifications(true);
    });
}

void SimEventTaps::deliverNotifications(bool runLoopRunning) {
    std::vector<std::shared_ptr<Tap>> taps = taps_;
    for (const auto& tap : taps) {
        if (!tap->pendingNotice || !tap->valid) continue;
        if (tap->noticeWaitsForRunLoop && !runLoopRunning) continue;
        CGEventType notice = *tap->pendingNotice;
        tap->pendingNotice.reset();
        if (!tap->onRunLoop) continue;
        auto event = std::make_shared<platform::CGEvent>();
        event->type = notice;
        {
            std::lock_guard lock(world_.mutex);
            event->location = world_.pointer;
        }
        CallbackScope scope(graveyard_);
        tap->callback(notice, event);
    }
}

SimEventTaps::TapState SimEventTaps::firstTap() const {
    for (const auto& tap : taps_) {
        if (!tap->valid) continue;
        return {tap->onRunLoop, tap->enabled};
    }
    return {};
}

void SimEventTaps::endProcess() {
    for (auto& tap : taps_) {
        tap->valid = false;
        tap->enabled = false;
        // The callback may be the one running now.
        graveyard_.bury(std::shared_ptr<void>(tap));
    }
    taps_.clear();
}

}  // namespace sim
