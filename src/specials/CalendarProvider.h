#pragma once

#include <memory>
#include <vector>

#include "platform/CalendarStore.h"

namespace durazizi {

// The one owner of the calendar store: asks for access and fetches the
// upcoming events, filtered, ordered and capped for the Dock list. Used on
// the main thread, synchronously, from a hover tick.
class CalendarProvider {
public:
    // One per process, made on first use.
    static std::shared_ptr<CalendarProvider> shared();

    CalendarProvider();

    // Starts the system's permission request and returns at once; the
    // outcome is only logged.
    void requestAccess();
    // Events overlapping now … now + `days` calendar days (at least one day),
    // all-day ones and timed ones not yet over, earliest start first (the
    // store's order among equal starts), at most `limit` of them. Empty for
    // every failure, including missing full access.
    std::vector<platform::EKEvent> upcoming(int days, int limit);

private:
    platform::CalendarStore& store_;
};

}  // namespace durazizi
