#include "specials/CalendarProvider.h"

namespace durazizi {

std::shared_ptr<CalendarProvider> CalendarProvider::shared() {
    static const auto instance = std::make_shared<CalendarProvider>();
    return instance;
}

std::int64_t CalendarProvider::authorizationStatus() const { return 0; }

void CalendarProvider::requestAccess() { ++accessRequests_; }

std::vector<CalendarEvent> CalendarProvider::upcoming(int days, int limit) {
    (void)days;
    (void)limit;
    return {};
}

}  // namespace durazizi
