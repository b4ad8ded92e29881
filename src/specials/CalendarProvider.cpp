#include "specials/CalendarProvider.h"

#include <algorithm>

#include "app/Diag.h"
#include "platform/PerProcess.h"
#include "platform/Platform.h"

namespace durazizi {

namespace {
// requestFullAccessToEventsWithCompletion: arrived with macOS 14.
constexpr int kFullAccessMajorVersion = 14;
}  // namespace

std::shared_ptr<CalendarProvider> CalendarProvider::shared() {
    // A new platform is a new process: the store of the old one is gone.
    static platform::PerProcess instance{[] { return std::make_shared<CalendarProvider>(); }};
    return instance.get();
}

CalendarProvider::CalendarProvider() : store_(platform::current().calendarStore()) {}

void CalendarProvider::requestAccess() {
    if (platform::current().capture().operatingSystemMajorVersion() >= kFullAccessMajorVersion) {
        store_.requestFullAccessToEvents([](bool granted, std::optional<std::string> error) {
            Diag::log(std::string("Calendar access: ") + (granted ? "true" : "false") + " " + error.value_or(""));
        });
    } else {
        store_.requestAccessToEntityType(platform::EKEntityTypeEvent, [](bool granted, std::optional<std::string>) {
            Diag::log(std::string("Calendar access: ") + (granted ? "true" : "false"));
        });
    }
}

std::vector<platform::EKEvent> CalendarProvider::upcoming(int days, int limit) {
    if (store_.authorizationStatusForEntityType(platform::EKEntityTypeEvent) != platform::EKAuthorizationStatusFullAccess) {
        return {};
    }
    auto& host = platform::current();
    // One instant is the window's start and the reference of the filter.
    const double now = host.clock().now();
    const auto end = host.locale().addDays(now, std::max(days, 1));
    if (!end) return {};
    std::vector<platform::EKEvent> events = store_.eventsMatching(now, *end);
    // The store answers everything that overlaps the window; a timed event
    // that is over by now does not belong in an upcoming list.
    std::erase_if(events, [now](const platform::EKEvent& e) { return !e.isAllDay && !(e.endDate > now); });
    std::stable_sort(events.begin(), events.end(),
                     [](const platform::EKEvent& a, const platform::EKEvent& b) { return a.startDate < b.startDate; });
    events.resize(std::min<std::size_t>(events.size(), static_cast<std::size_t>(std::max(limit, 0))));
    return events;
}

}  // namespace durazizi
