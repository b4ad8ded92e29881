#include "specials/CalendarContentView.h"

#include <utility>

namespace durazizi {

namespace {

constexpr double kCalendarWidth = 280;
constexpr double kCalendarRowHeight = 36;
constexpr double kCalendarChrome = 44;   // header line and margins

}  // namespace

CalendarContentView::CalendarContentView(std::vector<CalendarEvent> events) : events_(std::move(events)) {
    const auto rows = static_cast<double>(events_.empty() ? 1 : events_.size());
    setFrameSize({kCalendarWidth, kCalendarChrome + rows * kCalendarRowHeight});
}

}  // namespace durazizi
