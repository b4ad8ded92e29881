#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "platform/EventTaps.h"
#include "sim/Graveyard.h"
#include "sim/Service.h"
#include "sim/SimRunLoop.h"
#include "sim/World.h"

namespace sim {

// The session's event taps. An event posted by the hardware runs through the
// enabled taps in order: an active tap may swallow it or pass it on, a
// listen-only one only watches. The system turns a tap off when its callback
// takes too long (or on the user's secure input), tells the callback on the
// main run loop, and lets events go past it until it is enabled again.
class SimEventTaps final : public platform::EventTaps, public Service {
public:
    // Far beyond what any callback should take, so that only a callback that
    // truly hangs trips it, even in a sanitizer build on a busy machine.
    static constexpr double kDefaultCallbackLimit = 2.0;

    SimEventTaps(World& world, SimRunLoop& runLoop, Graveyard& graveyard);
    ~SimEventTaps() override;

    platform::CFMachPortRef tapCreate(platform::CGEventTapLocation location, platform::CGEventTapPlacement placement,
                                      platform::CGEventTapOptions options, platform::CGEventMask eventsOfInterest,
                                      platform::CGEventTapCallBack callback) override;
    platform::CFRunLoopSourceRef machPortCreateRunLoopSource(const platform::CFMachPortRef& tap,
                                                             std::int64_t order) override;
    void runLoopAddSource(const platform::CFRunLoopSourceRef& source) override;
    void runLoopRemoveSource(const platform::CFRunLoopSourceRef& source) override;
    void tapEnable(const platform::CFMachPortRef& tap, bool enable) override;
    bool tapIsEnabled(const platform::CFMachPortRef& tap) override;

    // --- the desktop's side ------------------------------------------------------
    // Runs the event through the taps; null when an active tap swallowed it.
    platform::CGEventRef filter(platform::CGEventRef event);
    // The system disables every tap of the process at once, for `reason`
    // (kCGEventTapDisabledByTimeout or kCGEventTapDisabledByUserInput). The
    // callbacks hear of it before the next event, or, with `whenRunLoopRuns`,
    // only once the main run loop gets to it: events posted meanwhile pass.
    void disableAll(platform::CGEventType reason, bool whenRunLoopRuns = false);
    // Hands pending disabled notifications to their callbacks.
    void deliverNotifications(bool runLoopRunning);
    // The next tapCreate fails.
    void failCreate(bool fail = true) { failCreate_ = fail; }
    void setCallbackLimit(double seconds) { callbackLimit_ = seconds; }

    struct TapState {
        bool installed = false;   // created, with its source on the run loop
        bool enabled = false;
    };
    // The process's first tap, as the system lists it.
    TapState firstTap() const;

    // The process ended: its taps go with it.
    void endProcess() override;

private:
    struct Tap;
    struct Source;

    void notify(const std::shared_ptr<Tap>& tap);

    World& world_;
    SimRunLoop& runLoop_;
    Graveyard& graveyard_;
    std::vector<std::shared_ptr<Tap>> taps_;   // in the order events meet them
    bool failCreate_ = false;
    double callbackLimit_ = kDefaultCallbackLimit;
};

}  // namespace sim
