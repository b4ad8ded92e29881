// Calendar files come from wherever the user got them. Each input is read
// as one, and its events are expanded over five weeks in two zones, since
// recurrence rules and time zones are where the reading does most work.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <libical/ical.h>

#include "linux/IcsCalendar.h"

namespace {
// 2026-12-07T00:00:00Z, a Monday.
constexpr double kMonday = 1796601600.0;
constexpr double kDay = 86400;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    // libical keeps its temporary strings in a ring it frees only when the
    // ring wraps; handing them back each run keeps the leak check quiet, which
    // would otherwise scan the heap after every input.
    struct FreeRing {
        ~FreeRing() { icalmemory_free_ring(); }
    } freeRing;
    auto calendar = linuxhost::IcsCalendar::parse(text, "fuzz.ics", [](const std::string&) {});
    if (!calendar) return 0;
    (void)calendar->eventCount();
    // Each look at the calendar with the budget of one query, as the
    // folder gives it: a valid but huge input is cut short, not walked.
    std::vector<platform::EKEvent> events;
    linuxhost::IcsBudget first, second;
    calendar->eventsMatching(kMonday, kMonday + 35 * kDay, "Europe/Berlin", events, first);
    calendar->eventsMatching(kMonday - 3 * kDay, kMonday + 2 * kDay, "Pacific/Auckland", events, second);
    for (const auto& event : events) {
        if (event.endDate < event.startDate) __builtin_trap();
    }
    return 0;
}
