#include "linux/IcsWriter.h"

#include <libical/ical.h>

#include "linux/IcsZones.h"

namespace linuxhost {

CivilDate civilDate(double moment, const std::string& zone) {
    icaltimezone* where = IcsZones::systemZone(zone);
    if (!where) where = icaltimezone_get_utc_timezone();
    const icaltimetype time = icaltime_from_timet_with_zone(static_cast<time_t>(moment), 1, where);
    return {time.year, time.month, time.day};
}

std::string icsText(const std::string& calendarName, const std::optional<std::string>& color,
                    const std::vector<IcsEventRecord>& events) {
    icalcomponent* calendar = icalcomponent_vanew(ICAL_VCALENDAR_COMPONENT, icalproperty_new_version("2.0"),
                                                  icalproperty_new_prodid("-//Durazizi//Simulated account//EN"),
                                                  nullptr);
    icalproperty* name = icalproperty_new_x(calendarName.c_str());
    icalproperty_set_x_name(name, "X-WR-CALNAME");
    icalcomponent_add_property(calendar, name);
    if (color) {
        icalproperty* apple = icalproperty_new_x(color->c_str());
        icalproperty_set_x_name(apple, "X-APPLE-CALENDAR-COLOR");
        icalcomponent_add_property(calendar, apple);
    }
    int serial = 0;
    for (const IcsEventRecord& record : events) {
        icalcomponent* event = icalcomponent_new(ICAL_VEVENT_COMPONENT);
        const std::string uid = "event-" + std::to_string(++serial) + "@durazizi.sim";
        icalcomponent_add_property(event, icalproperty_new_uid(uid.c_str()));
        icalcomponent_add_property(event, icalproperty_new_dtstamp(icaltime_from_timet_with_zone(0, 0, icaltimezone_get_utc_timezone())));
        if (record.title) icalcomponent_add_property(event, icalproperty_new_summary(record.title->c_str()));
        if (record.allDay) {
            icaltimetype first = icaltime_null_date();
            first.year = record.year;
            first.month = record.month;
            first.day = record.day;
            icaltimetype after = first;
            icaltime_adjust(&after, record.days, 0, 0, 0);
            icalcomponent_add_property(event, icalproperty_new_dtstart(first));
            icalcomponent_add_property(event, icalproperty_new_dtend(after));
        } else {
            icaltimezone* utc = icaltimezone_get_utc_timezone();
            icalcomponent_add_property(
                event, icalproperty_new_dtstart(icaltime_from_timet_with_zone(static_cast<time_t>(record.start), 0, utc)));
            icalcomponent_add_property(
                event, icalproperty_new_dtend(icaltime_from_timet_with_zone(static_cast<time_t>(record.end), 0, utc)));
        }
        icalcomponent_add_component(calendar, event);
    }
    char* text = icalcomponent_as_ical_string_r(calendar);
    std::string result = text ? text : "";
    free(text);
    icalcomponent_free(calendar);
    return result;
}

}  // namespace linuxhost
