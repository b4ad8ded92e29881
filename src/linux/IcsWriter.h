#pragma once

#include <optional>
#include <string>
#include <vector>

namespace linuxhost {

// An event as a calendar application would save it.
struct IcsEventRecord {
    std::optional<std::string> title;   // none: no SUMMARY at all
    bool allDay = false;
    double start = 0, end = 0;          // timed: seconds since 1970, written in UTC
    int year = 0, month = 0, day = 0;   // all-day: the first date
    int days = 1;                       // all-day: how many dates
};

struct CivilDate {
    int year = 0, month = 0, day = 0;
};
// The date a moment falls on in an IANA zone (UTC for a zone libical does not know).
CivilDate civilDate(double moment, const std::string& zone);

// The text of one calendar file (one VCALENDAR), written with libical.
// `color` is "#RRGGBB" or none.
std::string icsText(const std::string& calendarName, const std::optional<std::string>& color,
                    const std::vector<IcsEventRecord>& events);

}  // namespace linuxhost
