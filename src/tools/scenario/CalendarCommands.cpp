#include "tools/scenario/CalendarCommands.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <limits>

#include "kit/Label.h"
#include "linux/IcsWriter.h"
#include "sim/SimCalendarStore.h"
#include "sim/SimLocale.h"
#include "tools/scenario/CalendarAccount.h"
#include "tools/scenario/Json.h"
#include "tools/scenario/Values.h"
#include "tools/scenario/World.h"

namespace scenario {

namespace {

using Result = std::optional<std::string>;

constexpr const char* kDefaultCalendar = "Calendar";
constexpr int kMaxAllDayDays = 366;

std::optional<linuxhost::CivilDate> parseDate(std::string_view text) {
    int year = 0, month = 0, day = 0;
    char tail = 0;
    const std::string owned(text);
    if (text.size() != 10 || std::sscanf(owned.c_str(), "%4d-%2d-%2d%c", &year, &month, &day, &tail) != 3) {
        return std::nullopt;
    }
    static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1 || month < 1 || month > 12 || day < 1 || day > kDays[month - 1]) return std::nullopt;
    if (month == 2 && day == 29 && !((year % 4 == 0 && year % 100 != 0) || year % 400 == 0)) return std::nullopt;
    return linuxhost::CivilDate{year, month, day};
}

bool isColor(const std::string& text) {
    return text.size() == 7 && text[0] == '#' &&
           std::all_of(text.begin() + 1, text.end(), [](unsigned char c) { return std::isxdigit(c); });
}

std::string isoUtc(double seconds) {
    const auto date = linuxhost::civilDate(seconds, "UTC");
    const auto secondsOfDay = static_cast<long long>(seconds - std::floor(seconds / 86400) * 86400);
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02lld:%02lld:%02lldZ", date.year, date.month, date.day,
                  secondsOfDay / 3600, secondsOfDay / 60 % 60, secondsOfDay % 60);
    return text;
}

std::string isoDate(const linuxhost::CivilDate& date) {
    char text[48];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
    return text;
}

}  // namespace

Action parseTimezone(Args& args) {
    const std::string name = args.text("an IANA time zone name");
    return [name](World& world, std::ostream&) -> Result {
        if (!world.desktop().locale().setTimeZoneName(name)) return "timezone: unknown time zone '" + name + "'";
        return std::nullopt;
    };
}

Action parseLocale(Args& args) {
    const std::string name = args.text("a locale identifier");
    return [name](World& world, std::ostream&) -> Result {
        if (!world.desktop().locale().setLocaleIdentifier(name)) return "locale: unknown locale '" + name + "'";
        return std::nullopt;
    };
}

Action parseCalendarAccess(Args& args) {
    const std::string value = args.word("a status from 0 to 4, or grant-on-request");
    if (args.error()) return {};
    if (value == "grant-on-request") {
        return [](World& world, std::ostream&) -> Result {
            world.desktop().calendarStore().grantOnRequest();
            return std::nullopt;
        };
    }
    const auto status = parseInteger(value);
    if (!status || *status < 0 || *status > 4) {
        args.fail("expected a status from 0 to 4 or grant-on-request, got '" + value + "'");
        return {};
    }
    return [status = static_cast<platform::EKAuthorizationStatus>(*status)](World& world, std::ostream&) -> Result {
        world.desktop().calendarStore().setStatus(status);
        return std::nullopt;
    };
}

Action parseEvent(Args& args) {
    linuxhost::IcsEventRecord event;
    const auto first = args.peek();
    const std::string title = args.text("a title, or - for none");
    if (first && !(first->text == "-" && !first->quoted)) event.title = title;
    const auto start = args.optionText("start");
    const auto end = args.optionText("end");
    const auto date = args.optionText("date");
    const auto days = args.optionInteger("days", 1, kMaxAllDayDays);
    event.allDay = args.flag("allday");
    const std::string calendar = args.optionText("calendar").value_or(kDefaultCalendar);
    const auto color = args.optionText("color");
    if (args.error()) return {};
    if (color && !isColor(*color)) args.fail("option 'color' needs #RRGGBB, got '" + *color + "'");
    if (calendar.empty()) args.fail("the calendar name cannot be empty");

    if (date) {
        const auto day = parseDate(*date);
        if (!day) args.fail("option 'date' needs YYYY-MM-DD, got '" + *date + "'");
        if (!event.allDay) args.fail("an event given by date is an all-day event: add allday");
        if (start || end) args.fail("give either date= or start= and end=");
        if (day) {
            event.year = day->year;
            event.month = day->month;
            event.day = day->day;
        }
        event.days = static_cast<int>(days.value_or(1));
        return [event, calendar, color](World& world, std::ostream&) -> Result {
            if (auto problem = world.calendars().addEvent(calendar, color, event)) return "event: " + *problem;
            return std::nullopt;
        };
    }
    if (days) args.fail("option 'days' goes with date=");
    if (!start || !end) {
        args.fail("an event needs start= and end=, or date= with allday");
        return {};
    }
    const auto from = parseIso8601(*start);
    const auto to = parseIso8601(*end);
    if (!from) args.fail("option 'start' needs YYYY-MM-DDTHH:MM:SS followed by Z or +HH:MM, got '" + *start + "'");
    if (!to) args.fail("option 'end' needs YYYY-MM-DDTHH:MM:SS followed by Z or +HH:MM, got '" + *end + "'");
    if (from && to && *to < *from) args.fail("the event ends before it starts");
    event.start = from.value_or(0);
    event.end = to.value_or(0);
    return [event, calendar, color](World& world, std::ostream&) -> Result {
        linuxhost::IcsEventRecord saved = event;
        if (saved.allDay) {
            // The dates the two moments fall on where the account lives; an
            // end at midnight is the end of the day before.
            const std::string zone = world.desktop().locale().currentTimeZoneName();
            const auto first = linuxhost::civilDate(event.start, zone);
            const auto last = linuxhost::civilDate(std::max(event.end - 1, event.start), zone);
            saved.year = first.year;
            saved.month = first.month;
            saved.day = first.day;
            const auto dayNumber = [](const linuxhost::CivilDate& d) {
                using namespace std::chrono;
                return sys_days(year(d.year) / month(static_cast<unsigned>(d.month)) / day(static_cast<unsigned>(d.day)))
                    .time_since_epoch()
                    .count();
            };
            saved.days = std::clamp(static_cast<int>(dayNumber(last) - dayNumber(first)) + 1, 1, kMaxAllDayDays);
        }
        if (auto problem = world.calendars().addEvent(calendar, color, saved)) return "event: " + *problem;
        return std::nullopt;
    };
}

Action parseCalendarFile(Args& args) {
    const std::string path = args.text("the path of an iCalendar file");
    if (!args.error() && path.empty()) args.fail("the path cannot be empty");
    return [path](World& world, std::ostream&) -> Result {
        if (auto problem = world.calendars().copyFile(path)) return "calendar-file: " + *problem;
        return std::nullopt;
    };
}

Action parseFailCalendarUnreadable(Args& args) {
    bool off = false;
    if (auto word = args.peek(); word && !word->quoted && word->text == "off") {
        args.word("off");
        off = true;
    }
    return [off](World& world, std::ostream&) -> Result {
        world.desktop().calendarStore().setUnreadable(!off);
        return std::nullopt;
    };
}

std::string calendarJson(World& world) {
    sim::Desktop& desktop = world.desktop();
    sim::SimCalendarStore& store = desktop.calendarStore();
    const double now = desktop.time().now();
    const double end = desktop.locale().addDays(now, 7).value_or(now + 7 * 86400.0);
    std::vector<platform::EKEvent> events = store.storedEvents(now, end);
    std::stable_sort(events.begin(), events.end(), [](const platform::EKEvent& a, const platform::EKEvent& b) {
        if (a.startDate != b.startDate) return a.startDate < b.startDate;
        return a.title.value_or("") < b.title.value_or("");
    });
    const std::string zone = desktop.locale().currentTimeZoneName();
    std::vector<std::string> rows;
    for (const platform::EKEvent& event : events) {
        rows.push_back(json::Object()
                           .add("title", json::string(event.title.value_or("")))
                           .add("start", json::string(event.isAllDay ? isoDate(linuxhost::civilDate(event.startDate, zone))
                                                                     : isoUtc(event.startDate)))
                           .add("allDay", json::boolean(event.isAllDay))
                           .add("calendar", json::string(event.calendar ? event.calendar->title : ""))
                           .str());
    }
    return json::Object()
        .add("status", json::integer(store.authorizationStatusForEntityType(platform::EKEntityTypeEvent)))
        .add("requests", json::integer(store.accessRequests()))
        .add("events", json::array(rows))
        .str();
}

namespace {

const kit::View* child(const kit::View& view, const std::string& identifier) {
    for (const auto& sub : view.subviews()) {
        if (sub->identifier() == identifier && !sub->isHidden()) return sub.get();
    }
    return nullptr;
}

std::string labelText(const kit::View* view) {
    auto label = dynamic_cast<const kit::Label*>(view);
    return label ? label->text() : std::string();
}

std::string hexColor(const kit::Color& color) {
    auto channel = [](double v) { return static_cast<int>(std::lround(std::clamp(v, 0.0, 1.0) * 255)); };
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", channel(color.red), channel(color.green), channel(color.blue));
    return text;
}

}  // namespace

// How an all-day row of a later day ends, after the day's name.
constexpr std::string_view kLaterAllDay = " \u00B7 All day";

CalendarPanelFields calendarPanelFields(const kit::View& list) {
    CalendarPanelFields fields{json::null(), json::array({}), json::null()};
    if (const kit::View* header = child(list, "header")) fields.header = json::string(labelText(header));
    if (const kit::View* notice = child(list, "notice")) fields.notice = json::string(labelText(notice));
    std::vector<const kit::View*> rows;
    for (const auto& sub : list.subviews()) {
        if (sub->identifier() == "row" && !sub->isHidden()) rows.push_back(sub.get());
    }
    // The list is not flipped: the topmost row has the largest y.
    std::stable_sort(rows.begin(), rows.end(), [](const kit::View* a, const kit::View* b) {
        return a->frame().minY() > b->frame().minY();
    });
    std::vector<std::string> items;
    for (const kit::View* row : rows) {
        const std::string time = labelText(child(*row, "time"));
        const kit::View* dot = child(*row, "dot");
        items.push_back(json::Object()
                            .add("title", json::string(labelText(child(*row, "title"))))
                            .add("time", json::string(time))
                            .add("allDay", json::boolean(time == "All day" || time.ends_with(kLaterAllDay)))
                            .add("color", dot ? json::string(hexColor(dot->layerStyle().backgroundColor)) : json::null())
                            .str());
    }
    fields.rows = json::array(items);
    return fields;
}

}  // namespace scenario
