#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace durazizi {

// One upcoming event as the calendar panel lists it.
struct CalendarEvent {
    std::string title;
    double start = 0;   // seconds since 1970
    double end = 0;
    bool isAllDay = false;
};

// The calendar store as the Dock panels use it: one shared instance, made on
// first use and kept. Until the calendar store joins the platform seam the
// store is empty and access is never determined.
class CalendarProvider {
public:
    static std::shared_ptr<CalendarProvider> shared();

    // EKAuthorizationStatus for events: 0 not determined, 3 full access.
    std::int64_t authorizationStatus() const;
    void requestAccess();
    // Events starting within `days` days from now, at most `limit` of them.
    std::vector<CalendarEvent> upcoming(int days, int limit);

    int accessRequests() const { return accessRequests_; }

private:
    int accessRequests_ = 0;
};

}  // namespace durazizi
