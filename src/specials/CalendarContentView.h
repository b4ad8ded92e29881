#pragma once

#include <vector>

#include "specials/CalendarProvider.h"
#include "specials/SpecialContent.h"

namespace durazizi {

// The list of upcoming events shown above the Calendar icon. Its frame's
// size is the size the panel takes.
class CalendarContentView : public SpecialContent {
public:
    explicit CalendarContentView(std::vector<CalendarEvent> events);

    const std::vector<CalendarEvent>& events() const { return events_; }

    // The list does not change while it is shown.
    void viewDidShow() override {}
    void viewWillHide() override {}

private:
    std::vector<CalendarEvent> events_;
};

}  // namespace durazizi
