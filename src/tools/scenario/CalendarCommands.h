#pragma once

#include <string>

#include "kit/View.h"
#include "tools/scenario/Args.h"
#include "tools/scenario/Parser.h"

namespace scenario {

class World;

// The account's calendars, locale and time zone.
Action parseTimezone(Args& args);
Action parseLocale(Args& args);
Action parseCalendarAccess(Args& args);
Action parseEvent(Args& args);
Action parseCalendarFile(Args& args);
// `fail calendar-unreadable [off]`, after the fault's name.
Action parseFailCalendarUnreadable(Args& args);

// `query calendar`: the store's files as the simulated store reads them.
std::string calendarJson(World& world);

// The calendar list of `query special` as a user reads it off the panel:
// the header, the rows top to bottom, the notice; JSON texts.
struct CalendarPanelFields {
    std::string header;
    std::string rows;
    std::string notice;
};
CalendarPanelFields calendarPanelFields(const kit::View& list);

}  // namespace scenario
