#include "linux/IcsCalendar.h"

#include <libical/ical.h>
#include <pango/pango.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <functional>
#include <limits>
#include <map>
#include <optional>
#include <set>

namespace linuxhost {

namespace {

// Rules are walked from just before the window; no real calendar needs
// more steps than this to cross a window of a few weeks.
constexpr int kMaxRuleSteps = 20000;
// An event longer than this is no calendar entry but a mistake; it would
// also make every window reach back that far.
constexpr double kMaxLengthSeconds = 366.0 * 86400;

std::string describe(icalcomponent* event, int index) {
    std::string name = "event " + std::to_string(index);
    if (const char* summary = icalcomponent_get_summary(event); summary && *summary) {
        std::string title = summary;
        if (title.size() > 60) title = title.substr(0, 60) + "…";
        name += " (\"" + title + "\")";
    }
    return name;
}

icaltimezone* utcZone() { return icaltimezone_get_utc_timezone(); }

// A zone libical knows by name: the IANA ones and its own prefixed IDs.
icaltimezone* namedZone(const char* tzid) {
    if (!tzid || !*tzid) return nullptr;
    if (icaltimezone* zone = icaltimezone_get_builtin_timezone_from_tzid(tzid)) return zone;
    return icaltimezone_get_builtin_timezone(tzid);
}

icaltimezone* localZone(const std::string& name) {
    if (name.empty() || name == "UTC" || name == "Etc/UTC" || name == "GMT") return utcZone();
    icaltimezone* zone = namedZone(name.c_str());
    return zone ? zone : utcZone();
}

// A DATE or DATE-TIME value with its zone attached: the file's own
// definition first (exports often carry zones under names of their own),
// then the IANA zones. A zone nobody defines leaves the time floating,
// which is what its author saw on their own clock.
std::optional<icaltimetype> timeOf(icalproperty* property, icalcomponent* calendar) {
    if (!property) return std::nullopt;
    icalvalue* value = icalproperty_get_value(property);
    if (!value) return std::nullopt;
    icaltimetype time;
    switch (icalvalue_isa(value)) {
    case ICAL_DATE_VALUE: time = icalvalue_get_date(value); break;
    case ICAL_DATETIME_VALUE: time = icalvalue_get_datetime(value); break;
    case ICAL_PERIOD_VALUE: time = icalvalue_get_period(value).start; break;
    case ICAL_DATETIMEPERIOD_VALUE: {
        // An RDATE holds either a time or a period; a period's start is the time.
        const icaldatetimeperiodtype both = icalvalue_get_datetimeperiod(value);
        time = icaltime_is_null_time(both.time) ? both.period.start : both.time;
        break;
    }
    default: return std::nullopt;
    }
    if (icaltime_is_null_time(time) || !icaltime_is_valid_time(time) || time.year < 1 || time.year > 9999) {
        return std::nullopt;
    }
    if (time.is_date || icaltime_is_utc(time)) {
        if (time.is_date) time.zone = nullptr;
        return time;
    }
    time.zone = nullptr;
    if (icalparameter* parameter = icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER)) {
        const char* tzid = icalparameter_get_tzid(parameter);
        icaltimezone* zone = tzid && calendar ? icalcomponent_get_timezone(calendar, tzid) : nullptr;
        if (!zone) zone = namedZone(tzid);
        time.zone = zone;
    }
    return time;
}

double seconds(icaltimetype time, icaltimezone* local) {
    icaltimezone* zone = time.is_date || !time.zone ? local : const_cast<icaltimezone*>(time.zone);
    if (icaltime_is_utc(time)) zone = utcZone();
    return static_cast<double>(icaltime_as_timet_with_zone(time, zone));
}

std::optional<kit::Color> parseColor(const char* text) {
    if (!text || !*text) return std::nullopt;
    std::string value = text;
    value.erase(0, value.find_first_not_of(" \t"));
    value.erase(value.find_last_not_of(" \t") + 1);
    // Some exports add an alpha pair (#RRGGBBAA); the dot is opaque anyway.
    if (value.size() == 9 && value[0] == '#') value.resize(7);
    PangoColor color;
    if (value.empty() || !pango_color_parse(&color, value.c_str())) return std::nullopt;
    return kit::Color::rgba(color.red / 65535.0, color.green / 65535.0, color.blue / 65535.0);
}

const char* propertyNamed(icalcomponent* component, std::string_view name) {
    for (icalproperty* p = icalcomponent_get_first_property(component, ICAL_ANY_PROPERTY); p;
         p = icalcomponent_get_next_property(component, ICAL_ANY_PROPERTY)) {
        const char* own = icalproperty_get_property_name(p);
        if (own && name == own) {
            if (icalvalue* value = icalproperty_get_value(p); value && icalvalue_isa(value) == ICAL_TEXT_VALUE) {
                return icalvalue_get_text(value);
            }
            return icalproperty_get_value_as_string(p);
        }
    }
    return nullptr;
}

bool hasEntries(const short* array) { return array[0] != ICAL_RECURRENCE_ARRAY_MAX; }

// No month has the day the rule asks for (the 30th of February): libical
// would search every month until the 26th century for one, on every query.
bool namesNoRealDay(const icalrecurrencetype& rule) {
    if (!hasEntries(rule.by_month_day)) return false;
    static constexpr int kLongest[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    std::vector<int> months;
    for (int i = 0; i < ICAL_BY_MONTH_SIZE && rule.by_month[i] != ICAL_RECURRENCE_ARRAY_MAX; ++i) {
        months.push_back(icalrecurrencetype_month_month(rule.by_month[i]));
    }
    if (months.empty()) months = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    for (int month : months) {
        if (month < 1 || month > 12) continue;
        for (int i = 0; i < ICAL_BY_MONTHDAY_SIZE && rule.by_month_day[i] != ICAL_RECURRENCE_ARRAY_MAX; ++i) {
            const int day = std::abs(rule.by_month_day[i]);
            if (day >= 1 && day <= kLongest[month - 1]) return false;
        }
    }
    return true;
}

int entries(const short* array, int size) {
    int count = 0;
    while (count < size && array[count] != ICAL_RECURRENCE_ARRAY_MAX) ++count;
    return count;
}

// libical expands a file's time zone from each observance's start (often
// 1601) up to the times asked about, one change per instance of its rules.
// Zones change their clocks once or twice a year, by rules such as "the last
// Sunday of March"; a rule that recurs more often (a damaged or hostile file)
// would have it walk for hours through billions of changes, holding each.
// Allowed: yearly, in one month, on one weekday (at most seven days of the
// month for it to fall on), or on one date: a handful of changes a year.
constexpr int kMaxZoneRules = 8;

bool isZoneLikeRule(const icalrecurrencetype& rule) {
    if (rule.freq != ICAL_YEARLY_RECURRENCE) return false;
    const int months = entries(rule.by_month, ICAL_BY_MONTH_SIZE);
    const int weekdays = entries(rule.by_day, ICAL_BY_DAY_SIZE);
    const int monthDays = entries(rule.by_month_day, ICAL_BY_MONTHDAY_SIZE);
    if (months > 1 || weekdays > 1 || monthDays > 7) return false;
    if ((weekdays > 0 || monthDays > 0) && months != 1) return false;
    if (weekdays == 0 && monthDays > 1) return false;
    if (namesNoRealDay(rule)) return false;
    return entries(rule.by_year_day, ICAL_BY_YEARDAY_SIZE) == 0 && entries(rule.by_week_no, ICAL_BY_WEEKNO_SIZE) == 0 &&
           entries(rule.by_set_pos, ICAL_BY_SETPOS_SIZE) <= 1 && entries(rule.by_hour, ICAL_BY_HOUR_SIZE) <= 1 &&
           entries(rule.by_minute, ICAL_BY_MINUTE_SIZE) <= 1 && entries(rule.by_second, ICAL_BY_SECOND_SIZE) <= 1;
}

bool zoneRulesAreWalkable(icalcomponent* zone) {
    int rules = 0;
    for (icalcomponent* part = icalcomponent_get_first_component(zone, ICAL_ANY_COMPONENT); part;
         part = icalcomponent_get_next_component(zone, ICAL_ANY_COMPONENT)) {
        for (icalproperty* p = icalcomponent_get_first_property(part, ICAL_RRULE_PROPERTY); p;
             p = icalcomponent_get_next_property(part, ICAL_RRULE_PROPERTY)) {
            if (++rules > kMaxZoneRules || !isZoneLikeRule(icalproperty_get_rrule(p))) return false;
        }
    }
    return true;
}

// Takes out the zones libical cannot expand in reasonable time, before
// anything looks a zone up; times that name one fall back to the IANA zone of
// that name, else stay floating, as for a zone nobody defines.
void dropUnwalkableZones(icalcomponent* calendar, const std::function<void(const std::string&)>& say) {
    std::vector<icalcomponent*> dropped;
    for (icalcomponent* zone = icalcomponent_get_first_component(calendar, ICAL_VTIMEZONE_COMPONENT); zone;
         zone = icalcomponent_get_next_component(calendar, ICAL_VTIMEZONE_COMPONENT)) {
        if (!zoneRulesAreWalkable(zone)) dropped.push_back(zone);
    }
    for (icalcomponent* zone : dropped) {
        icalproperty* id = icalcomponent_get_first_property(zone, ICAL_TZID_PROPERTY);
        const char* name = id ? icalproperty_get_tzid(id) : nullptr;
        say(std::string("time zone \"") + (name ? name : "?") + "\" has rules no time zone has; ignored");
        icalcomponent_remove_component(calendar, zone);
        icalcomponent_free(zone);
    }
}

// One step of a rule that takes longer than this marks the rule as one
// libical cannot walk; it is not walked again.
constexpr auto kStallLimit = std::chrono::milliseconds(500);

}  // namespace

// How long an occurrence lasts: whole days for an all-day event (so that
// the end is midnight in the reader's zone), exact seconds otherwise.
struct Length {
    int days = 0;
    double seconds = 0;
};

struct Occurrence {
    std::optional<std::string> title;
    icaltimetype start;
    Length length;
};

struct IcsCalendar::Series {
    Occurrence base;
    std::vector<icalrecurrencetype> rules;
    mutable std::vector<bool> stalled;        // per rule: libical could not walk it in time
    // Per rule: a walk ran out of instances, none starts after this moment.
    // Rules that never match again cost libical a long search; it is made once.
    mutable std::vector<double> noneAfter;
    std::vector<Occurrence> dates;            // RDATE, each with its own length
    std::vector<icaltimetype> exceptions;     // EXDATE
    std::vector<std::pair<icaltimetype, Occurrence>> moved;   // RECURRENCE-ID and what it became
};

namespace {

// DTEND, else DURATION, else the default: a day for a date, nothing for a time.
std::optional<Length> lengthOf(icalcomponent* event, icalcomponent* calendar, icaltimetype start) {
    Length length;
    if (auto end = timeOf(icalcomponent_get_first_property(event, ICAL_DTEND_PROPERTY), calendar)) {
        if (start.is_date) {
            length.days = static_cast<int>(std::lround((seconds(*end, utcZone()) - seconds(start, utcZone())) / 86400));
        } else {
            length.seconds = seconds(*end, utcZone()) - seconds(start, utcZone());
        }
    } else if (icalproperty* p = icalcomponent_get_first_property(event, ICAL_DURATION_PROPERTY)) {
        const icaldurationtype duration = icalproperty_get_duration(p);
        if (icaldurationtype_is_bad_duration(duration)) return std::nullopt;
        const double total = icaldurationtype_as_int(duration);
        if (start.is_date) length.days = static_cast<int>(total / 86400);
        else length.seconds = total;
    }
    if (length.days < 0 || length.seconds < 0 || length.seconds > kMaxLengthSeconds || length.days > 366) {
        return std::nullopt;
    }
    // Several exporters write an all-day event's end as its own date.
    if (start.is_date && length.days == 0) length.days = 1;
    return length;
}

std::optional<std::string> titleOf(icalcomponent* event) {
    const char* summary = icalcomponent_get_summary(event);
    if (!summary || !*summary) return std::nullopt;
    return std::string(summary);
}

}  // namespace

IcsCalendar::IcsCalendar() = default;

IcsCalendar::~IcsCalendar() {
    if (root_) icalcomponent_free(static_cast<icalcomponent*>(root_));
}

std::size_t IcsCalendar::eventCount() const { return series_.size(); }

std::unique_ptr<IcsCalendar> IcsCalendar::parse(std::string_view text, const std::string& fileName,
                                                const Diagnostic& diagnostic) {
    auto say = [&](const std::string& line) {
        if (diagnostic) diagnostic(fileName + ": " + line);
    };
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    const std::string owned(text);   // libical wants a terminated string
    icalcomponent* root = icalparser_parse_string(owned.c_str());
    std::vector<icalcomponent*> calendars;
    if (root && icalcomponent_isa(root) == ICAL_VCALENDAR_COMPONENT) {
        calendars.push_back(root);
    } else if (root && icalcomponent_isa(root) == ICAL_XROOT_COMPONENT) {
        for (icalcomponent* c = icalcomponent_get_first_component(root, ICAL_VCALENDAR_COMPONENT); c;
             c = icalcomponent_get_next_component(root, ICAL_VCALENDAR_COMPONENT)) {
            calendars.push_back(c);
        }
    }
    if (calendars.empty()) {
        if (root) icalcomponent_free(root);
        say("not an iCalendar file (no VCALENDAR); skipped");
        return nullptr;
    }

    for (icalcomponent* vcal : calendars) dropUnwalkableZones(vcal, say);

    std::unique_ptr<IcsCalendar> result(new IcsCalendar);
    result->root_ = root;
    result->fileName_ = fileName;
    result->diagnostic_ = diagnostic;

    auto calendar = std::make_shared<platform::EKCalendar>();
    std::string name = fileName;
    if (name.size() > 4 && name.ends_with(".ics")) name.resize(name.size() - 4);
    calendar->title = name;
    if (const char* own = propertyNamed(calendars.front(), "X-WR-CALNAME"); own && *own) calendar->title = own;
    calendar->color = parseColor(propertyNamed(calendars.front(), "COLOR"));
    if (!calendar->color) calendar->color = parseColor(propertyNamed(calendars.front(), "X-APPLE-CALENDAR-COLOR"));
    result->calendar_ = std::move(calendar);

    // Masters first, so that instances moved by RECURRENCE-ID find their
    // series whatever order the file lists them in.
    std::map<std::string, std::size_t> seriesByUid;
    std::vector<std::pair<icalcomponent*, int>> movedEvents;
    int index = 0;
    for (icalcomponent* vcal : calendars) {
        for (icalcomponent* event = icalcomponent_get_first_component(vcal, ICAL_VEVENT_COMPONENT); event;
             event = icalcomponent_get_next_component(vcal, ICAL_VEVENT_COMPONENT)) {
            ++index;
            auto start = timeOf(icalcomponent_get_first_property(event, ICAL_DTSTART_PROPERTY), vcal);
            if (!start) {
                say(describe(event, index) + " has no valid DTSTART; skipped");
                continue;
            }
            auto length = lengthOf(event, vcal, *start);
            if (!length) {
                say(describe(event, index) + " has an end before its start or an unreadable length; skipped");
                continue;
            }
            Occurrence occurrence{titleOf(event), *start, *length};
            const char* uid = icalcomponent_get_uid(event);
            if (icalcomponent_get_first_property(event, ICAL_RECURRENCEID_PROPERTY)) {
                movedEvents.emplace_back(event, index);
                continue;
            }
            Series series;
            series.base = occurrence;
            bool broken = false;
            for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY); p;
                 p = icalcomponent_get_next_property(event, ICAL_RRULE_PROPERTY)) {
                icalrecurrencetype rule = icalproperty_get_rrule(p);
                if (rule.freq == ICAL_NO_RECURRENCE) {
                    broken = true;
                    say(describe(event, index) + " has an unreadable RRULE; skipped");
                    break;
                }
                // libical walks such rules second by second (or minute by
                // minute) until far into the future when no instance
                // matches, which would stall the reader.
                const bool tooFine = rule.freq == ICAL_SECONDLY_RECURRENCE || rule.freq == ICAL_MINUTELY_RECURRENCE ||
                                     (rule.freq == ICAL_HOURLY_RECURRENCE &&
                                      (hasEntries(rule.by_month) || hasEntries(rule.by_month_day) ||
                                       hasEntries(rule.by_year_day) || hasEntries(rule.by_week_no)));
                if (tooFine) {
                    broken = true;
                    say(describe(event, index) + " recurs more often than a calendar can show; skipped");
                    break;
                }
                // Such a rule never happens again; DTSTART alone stands.
                if (!namesNoRealDay(rule)) series.rules.push_back(rule);
            }
            if (broken) continue;
            for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_RDATE_PROPERTY); p;
                 p = icalcomponent_get_next_property(event, ICAL_RDATE_PROPERTY)) {
                auto when = timeOf(p, vcal);
                if (!when) continue;
                Occurrence extra{occurrence.title, *when, occurrence.length};
                // A PERIOD carries its own end or duration.
                icalvalue* value = icalproperty_get_value(p);
                const auto kind = value ? icalvalue_isa(value) : ICAL_NO_VALUE;
                if (kind == ICAL_PERIOD_VALUE || kind == ICAL_DATETIMEPERIOD_VALUE) {
                    const icalperiodtype period = kind == ICAL_PERIOD_VALUE ? icalvalue_get_period(value)
                                                                            : icalvalue_get_datetimeperiod(value).period;
                    if (!icalperiodtype_is_null_period(period)) {
                        icaltimetype periodStart = period.start;
                        periodStart.zone = when->zone;
                        extra.start = periodStart;
                        if (!icaltime_is_null_time(period.end)) {
                            icaltimetype periodEnd = period.end;
                            if (!icaltime_is_utc(periodEnd)) periodEnd.zone = when->zone;
                            extra.length.seconds = seconds(periodEnd, utcZone()) - seconds(periodStart, utcZone());
                        } else {
                            extra.length.seconds = icaldurationtype_as_int(period.duration);
                        }
                        if (extra.length.seconds < 0 || extra.length.seconds > kMaxLengthSeconds) continue;
                    }
                }
                series.dates.push_back(extra);
            }
            for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_EXDATE_PROPERTY); p;
                 p = icalcomponent_get_next_property(event, ICAL_EXDATE_PROPERTY)) {
                if (auto when = timeOf(p, vcal)) series.exceptions.push_back(*when);
            }
            series.stalled.assign(series.rules.size(), false);
            series.noneAfter.assign(series.rules.size(), std::numeric_limits<double>::infinity());
            if (uid && *uid && !seriesByUid.contains(uid)) seriesByUid[uid] = result->series_.size();
            result->series_.push_back(std::move(series));
        }
        for (auto [event, eventIndex] : movedEvents) {
            auto start = timeOf(icalcomponent_get_first_property(event, ICAL_DTSTART_PROPERTY), vcal);
            auto length = lengthOf(event, vcal, *start);
            Occurrence occurrence{titleOf(event), *start, *length};
            auto original = timeOf(icalcomponent_get_first_property(event, ICAL_RECURRENCEID_PROPERTY), vcal);
            const char* uid = icalcomponent_get_uid(event);
            auto found = uid ? seriesByUid.find(uid) : seriesByUid.end();
            if (!original || found == seriesByUid.end()) {
                // An instance whose series is not in this file still happens.
                Series single;
                single.base = occurrence;
                result->series_.push_back(std::move(single));
                continue;
            }
            result->series_[found->second].moved.emplace_back(*original, occurrence);
        }
        movedEvents.clear();
    }
    return result;
}

namespace {

void emit(const Occurrence& occurrence, const std::shared_ptr<const platform::EKCalendar>& calendar,
          icaltimezone* local, double start, double end, std::vector<platform::EKEvent>& out) {
    const double from = seconds(occurrence.start, local);
    double to = from + occurrence.length.seconds;
    if (occurrence.start.is_date) {
        icaltimetype last = occurrence.start;
        icaltime_adjust(&last, occurrence.length.days, 0, 0, 0);
        to = seconds(last, local);
    }
    // A zero-length event at the window's start still counts as in it.
    const bool overlaps = from < end && (to > start || (to == from && from >= start));
    if (!overlaps) return;
    out.push_back(platform::EKEvent{occurrence.title, occurrence.start.is_date != 0, from, to, calendar});
}

}  // namespace

void IcsCalendar::eventsMatching(double start, double end, const std::string& localZoneName,
                                 std::vector<platform::EKEvent>& out) const {
    if (!(start < end)) return;
    std::lock_guard lock(expandedMutex_);
    const bool covered = expanded_ && expanded_->zone == localZoneName && start >= expanded_->start &&
                         end <= expanded_->end;
    if (!covered) {
        Expanded fresh{start, end + kExpandedAhead, localZoneName, {}};
        expand(fresh.start, fresh.end, localZoneName, fresh.events);
        expanded_ = std::move(fresh);
    }
    // The same test as the expansion's: a window inside the expanded one
    // overlaps a subset of what it overlapped.
    for (const platform::EKEvent& event : expanded_->events) {
        const double from = event.startDate, to = event.endDate;
        if (from < end && (to > start || (to == from && from >= start))) out.push_back(event);
    }
}

void IcsCalendar::expand(double start, double end, const std::string& localZoneName,
                         std::vector<platform::EKEvent>& out) const {
    icaltimezone* local = localZone(localZoneName);
    std::vector<platform::EKEvent> instances;
    for (const Series& series : series_) {
        if (series.rules.empty() && series.dates.empty() && series.moved.empty()) {
            emit(series.base, calendar_, local, start, end, out);
            continue;
        }
        std::set<double> skipped;
        // A date among the exceptions of a timed series takes out that whole day.
        std::set<int> skippedDays;
        for (const icaltimetype& exception : series.exceptions) {
            if (exception.is_date && !series.base.start.is_date) {
                skippedDays.insert(exception.year * 10000 + exception.month * 100 + exception.day);
            } else {
                skipped.insert(seconds(exception, local));
            }
        }
        for (const auto& [original, occurrence] : series.moved) skipped.insert(seconds(original, local));
        std::set<double> seen;
        instances.clear();
        auto consider = [&](const Occurrence& occurrence) {
            const double key = seconds(occurrence.start, local);
            const icaltimetype& at = occurrence.start;
            if (skippedDays.contains(at.year * 10000 + at.month * 100 + at.day)) return;
            if (skipped.contains(key) || !seen.insert(key).second) return;
            emit(occurrence, calendar_, local, start, end, instances);
        };
        // DTSTART is the first instance even when the rule would not pick it.
        consider(series.base);
        for (const Occurrence& date : series.dates) consider(date);

        const double reach = series.base.start.is_date ? series.base.length.days * 86400.0 + 86400
                                                       : series.base.length.seconds;
        icaltimezone* zone = series.base.start.is_date || !series.base.start.zone
                                 ? local
                                 : const_cast<icaltimezone*>(series.base.start.zone);
        if (icaltime_is_utc(series.base.start)) zone = utcZone();
        for (std::size_t r = 0; r < series.rules.size(); ++r) {
            if (series.stalled[r]) continue;
            icalrecurrencetype rule = series.rules[r];
            // libical compares UNTIL with the instances' wall-clock fields:
            // give it UNTIL on the same clock as DTSTART.
            if (!icaltime_is_null_time(rule.until) && icaltime_is_utc(rule.until) &&
                !icaltime_is_utc(series.base.start)) {
                rule.until = icaltime_convert_to_zone(rule.until, zone);
                rule.until.zone = series.base.start.zone;
                if (series.base.start.is_date) rule.until.is_date = 1;
            }
            const double from = start - reach - 86400;
            if (from > series.noneAfter[r]) continue;
            icalrecur_iterator* walk = icalrecur_iterator_new(rule, series.base.start);
            if (!walk) continue;
            double walkedFrom = seconds(series.base.start, local);
            if (rule.count == 0 && from > walkedFrom) {
                walkedFrom = from;
                icaltimetype skipTo = icaltime_from_timet_with_zone(static_cast<time_t>(from),
                                                                    series.base.start.is_date, zone);
                skipTo.zone = series.base.start.zone;
                icalrecur_iterator_set_start(walk, skipTo);
            }
            for (int step = 0; step < kMaxRuleSteps; ++step) {
                const auto before = std::chrono::steady_clock::now();
                icaltimetype next = icalrecur_iterator_next(walk);
                if (std::chrono::steady_clock::now() - before > kStallLimit) {
                    series.stalled[r] = true;
                    if (diagnostic_) {
                        diagnostic_(fileName_ + ": a recurrence rule of \"" + series.base.title.value_or("(no title)") +
                                    "\" cannot be expanded in time; only its other dates are shown");
                    }
                    break;
                }
                if (icaltime_is_null_time(next)) {
                    series.noneAfter[r] = walkedFrom;
                    break;
                }
                next.zone = series.base.start.zone;
                next.is_date = series.base.start.is_date;
                Occurrence occurrence = series.base;
                occurrence.start = next;
                const double at = seconds(next, local);
                walkedFrom = std::max(walkedFrom, at);
                if (at >= end) break;
                consider(occurrence);
            }
            icalrecur_iterator_free(walk);
        }
        for (const auto& [original, occurrence] : series.moved) {
            emit(occurrence, calendar_, local, start, end, instances);
        }
        std::stable_sort(instances.begin(), instances.end(),
                         [](const platform::EKEvent& a, const platform::EKEvent& b) { return a.startDate < b.startDate; });
        out.insert(out.end(), instances.begin(), instances.end());
    }
}

}  // namespace linuxhost
