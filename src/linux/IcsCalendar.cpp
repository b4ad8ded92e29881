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
#include <tuple>

#include "linux/IcsLines.h"
#include "linux/IcsZones.h"

namespace linuxhost {

namespace {

// An event longer than this is no calendar entry but a mistake; it would
// also make every window reach back that far.
constexpr double kMaxLengthSeconds = 366.0 * 86400;

std::string describe(icalcomponent* event, int index) {
    std::string name = "event " + std::to_string(index);
    if (const char* summary = icalcomponent_get_summary(event); summary && *summary) {
        name += " (\"" + IcsLines::capped(summary, 60) + "\")";
    }
    return name;
}

icaltimezone* utcZone() { return icaltimezone_get_utc_timezone(); }

icaltimezone* localZone(const std::string& name) {
    if (name.empty() || name == "UTC" || name == "Etc/UTC" || name == "GMT") return utcZone();
    icaltimezone* zone = IcsZones::systemZone(name);
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
        if (!zone && tzid) zone = IcsZones::systemZone(tzid);
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
    // Zones end a rule with UNTIL; a count would have to be walked from the
    // rule's start, often centuries ago.
    if (rule.freq != ICAL_YEARLY_RECURRENCE || rule.count > 0) return false;
    const int months = entries(rule.by_month, ICAL_BY_MONTH_SIZE);
    const int weekdays = entries(rule.by_day, ICAL_BY_DAY_SIZE);
    const int monthDays = entries(rule.by_month_day, ICAL_BY_MONTHDAY_SIZE);
    if (months > 1 || weekdays > 1 || monthDays > 7) return false;
    if ((weekdays > 0 || monthDays > 0) && months != 1) return false;
    if (weekdays == 0 && monthDays > 1) return false;
    // A weekday with neither an ordinal, a span of dates nor a position
    // falls four or five times a month.
    if (weekdays == 1 && icalrecurrencetype_day_position(rule.by_day[0]) == 0 && monthDays == 0 &&
        entries(rule.by_set_pos, ICAL_BY_SETPOS_SIZE) == 0) {
        return false;
    }
    if (namesNoRealDay(rule)) return false;
    return entries(rule.by_year_day, ICAL_BY_YEARDAY_SIZE) == 0 && entries(rule.by_week_no, ICAL_BY_WEEKNO_SIZE) == 0 &&
           entries(rule.by_set_pos, ICAL_BY_SETPOS_SIZE) <= 1 && entries(rule.by_hour, ICAL_BY_HOUR_SIZE) <= 1 &&
           entries(rule.by_minute, ICAL_BY_MINUTE_SIZE) <= 1 && entries(rule.by_second, ICAL_BY_SECOND_SIZE) <= 1;
}

// Single changes listed by date; a zone has one or two a year at most.
constexpr int kMaxZoneDates = 1000;

bool zoneRulesAreWalkable(icalcomponent* zone) {
    int rules = 0, dates = 0;
    for (icalcomponent* part = icalcomponent_get_first_component(zone, ICAL_ANY_COMPONENT); part;
         part = icalcomponent_get_next_component(zone, ICAL_ANY_COMPONENT)) {
        // One rule per observance, as every zone writes them: its start is
        // then moved forward to an instance of that rule.
        if (icalcomponent_count_properties(part, ICAL_RRULE_PROPERTY) > 1) return false;
        for (icalproperty* p = icalcomponent_get_first_property(part, ICAL_RRULE_PROPERTY); p;
             p = icalcomponent_get_next_property(part, ICAL_RRULE_PROPERTY)) {
            if (++rules > kMaxZoneRules || !isZoneLikeRule(icalproperty_get_rrule(p))) return false;
        }
        dates += icalcomponent_count_properties(part, ICAL_RDATE_PROPERTY);
        if (dates > kMaxZoneDates) return false;
    }
    return true;
}

// The year an observance's rule is walked from at most: exports start
// them in 1601 or even in year 1, and libical walks every year from there
// each time it expands the zone. Times before it read with the offsets of
// the observances as they stand then, which only matters for events long
// past.
constexpr int kZoneRulesFrom = 2001;

// Moves the start of each observance with one rule to that rule's first
// instance in `kZoneRulesFrom` or later: the same rule from one of its own
// instances yields the same changes from there on, at a fraction of the
// walk (libical jumps to a start without walking). Returns the changes
// libical will compute for the zone up to a few decades after that year:
// what its first use costs.
std::size_t bringZoneStartForward(icalcomponent* zone) {
    std::size_t changes = 0;
    for (icalcomponent* part = icalcomponent_get_first_component(zone, ICAL_ANY_COMPONENT); part;
         part = icalcomponent_get_next_component(zone, ICAL_ANY_COMPONENT)) {
        changes += 1 + static_cast<std::size_t>(icalcomponent_count_properties(part, ICAL_RDATE_PROPERTY));
        icalproperty* start = icalcomponent_get_first_property(part, ICAL_DTSTART_PROPERTY);
        const int rules = icalcomponent_count_properties(part, ICAL_RRULE_PROPERTY);
        if (!start || rules == 0) continue;
        icaltimetype from = icalproperty_get_dtstart(start);
        if (icaltime_is_null_time(from)) continue;
        icalproperty* only = icalcomponent_get_first_property(part, ICAL_RRULE_PROPERTY);
        if (rules == 1 && from.year < kZoneRulesFrom) {
            if (icalrecur_iterator* walk = icalrecur_iterator_new(icalproperty_get_rrule(only), from)) {
                icaltimetype jump = icaltime_null_time();
                jump.year = kZoneRulesFrom;
                jump.month = jump.day = 1;
                icaltimetype first = icaltime_null_time();
                const bool jumped = icalrecur_iterator_set_start(walk, jump) != 0;
                if (jumped) first = icalrecur_iterator_next(walk);
                icalrecur_iterator_free(walk);
                if (jumped && icaltime_is_null_time(first)) {
                    // The rule ended before: its changes are all history.
                    icalcomponent_remove_property(part, only);
                    icalproperty_free(only);
                    continue;
                }
                if (!icaltime_is_null_time(first) && first.year >= kZoneRulesFrom) {
                    first.zone = nullptr;
                    first.is_date = 0;
                    icalproperty_set_dtstart(start, first);
                    from = first;
                }
            }
        }
        const int until = std::max(kZoneRulesFrom, from.year) + 40;
        changes += static_cast<std::size_t>(rules) * static_cast<std::size_t>(std::max(0, until - from.year));
    }
    return changes;
}

// Takes out the zones libical cannot expand in reasonable time, before
// anything looks a zone up; times that name one fall back to the IANA zone of
// that name, else stay floating, as for a zone nobody defines. Returns the
// cost of the first use of each zone kept.
std::map<std::string, std::size_t> dropUnwalkableZones(icalcomponent* calendar,
                                                       const std::function<void(const std::string&)>& say) {
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
    std::map<std::string, std::size_t> costs;
    for (icalcomponent* zone = icalcomponent_get_first_component(calendar, ICAL_VTIMEZONE_COMPONENT); zone;
         zone = icalcomponent_get_next_component(calendar, ICAL_VTIMEZONE_COMPONENT)) {
        icalproperty* id = icalcomponent_get_first_property(zone, ICAL_TZID_PROPERTY);
        const char* name = id ? icalproperty_get_tzid(id) : nullptr;
        const std::size_t changes = bringZoneStartForward(zone);
        if (name) costs[name] = std::max(costs[name], changes);
    }
    return costs;
}

// A time read from the text before libical places it is a wall-clock
// time; the moment it names lies within a day of it in any real zone. A
// zone of the file may claim offsets of up to four days (the syntax allows
// 99 hours): the margin then grows to cover them.
double scanMargin(icalcomponent* calendar) {
    int widest = 0;
    for (icalcomponent* zone = icalcomponent_get_first_component(calendar, ICAL_VTIMEZONE_COMPONENT); zone;
         zone = icalcomponent_get_next_component(calendar, ICAL_VTIMEZONE_COMPONENT)) {
        for (icalcomponent* part = icalcomponent_get_first_component(zone, ICAL_ANY_COMPONENT); part;
             part = icalcomponent_get_next_component(zone, ICAL_ANY_COMPONENT)) {
            for (icalproperty* p = icalcomponent_get_first_property(part, ICAL_ANY_PROPERTY); p;
                 p = icalcomponent_get_next_property(part, ICAL_ANY_PROPERTY)) {
                const icalproperty_kind kind = icalproperty_isa(p);
                if (kind == ICAL_TZOFFSETTO_PROPERTY) widest = std::max(widest, std::abs(icalproperty_get_tzoffsetto(p)));
                if (kind == ICAL_TZOFFSETFROM_PROPERTY) widest = std::max(widest, std::abs(icalproperty_get_tzoffsetfrom(p)));
            }
        }
    }
    return 2 * 86400.0 + std::max(0, widest - 86400);
}

std::set<std::string> declaredZones(icalcomponent* calendar) {
    std::set<std::string> names;
    for (icalcomponent* zone = icalcomponent_get_first_component(calendar, ICAL_VTIMEZONE_COMPONENT); zone;
         zone = icalcomponent_get_next_component(calendar, ICAL_VTIMEZONE_COMPONENT)) {
        icalproperty* id = icalcomponent_get_first_property(zone, ICAL_TZID_PROPERTY);
        if (const char* name = id ? icalproperty_get_tzid(id) : nullptr) names.insert(name);
    }
    return names;
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
    // Shared by every occurrence of the event: a series can yield thousands.
    std::shared_ptr<const std::string> title;
    icaltimetype start;
    Length length;
};

struct IcsCalendar::Series {
    Occurrence base;
    std::vector<icalrecurrencetype> rules;
    std::vector<Occurrence> dates;            // RDATE, each with its own length
    std::vector<icaltimetype> exceptions;     // EXDATE
    std::vector<std::pair<icaltimetype, Occurrence>> moved;   // RECURRENCE-ID and what it became
};

// An event of the file and the instances of it that other events moved
// (RECURRENCE-ID), with the moments, read roughly from the text, outside
// which none of them can matter.
struct IcsCalendar::Unit {
    std::uint32_t block = 0;
    bool master = true;   // false: an instance whose series is not in the file
    std::vector<std::uint32_t> moved;
    double from = -std::numeric_limits<double>::infinity();
    double to = std::numeric_limits<double>::infinity();
    // What walking its rules taught, kept between reads of the event.
    mutable std::vector<bool> stalled;        // per rule: libical could not walk it in time
    // Per rule: a walk ran out of instances, none starts after this moment.
    // Rules that never match again cost libical a long search; it is made once.
    mutable std::vector<double> noneAfter;
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

std::shared_ptr<const std::string> titleOf(icalcomponent* event) {
    const char* summary = icalcomponent_get_summary(event);
    if (!summary || !*summary) return nullptr;
    return std::make_shared<const std::string>(IcsLines::capped(summary));
}

// The cheap reading of an event's text, before libical sees it: names are
// compared without regard to case, and only what places the event in time
// is read.
bool named(std::string_view line, std::string_view name) {
    if (line.size() <= name.size() || (line[name.size()] != ':' && line[name.size()] != ';' && line[name.size()] != '=')) {
        return false;
    }
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char c = line[i];
        if ((c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c) != name[i]) return false;
    }
    return true;
}

// Where a property's value starts: after the first colon outside quotes.
std::size_t valueStart(std::string_view line) {
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"') quoted = !quoted;
        if (line[i] == ':' && !quoted) return i + 1;
    }
    return std::string_view::npos;
}

constexpr double kUnknown = std::numeric_limits<double>::quiet_NaN();

// A DATE or DATE-TIME as seconds since 1970 on its own wall clock (read as
// if it were UTC); not a number for anything else.
double wallClock(std::string_view value) {
    auto digits = [&](std::size_t at, std::size_t count) {
        int n = 0;
        for (std::size_t i = at; i < at + count; ++i) {
            if (i >= value.size() || value[i] < '0' || value[i] > '9') return -1;
            n = n * 10 + (value[i] - '0');
        }
        return n;
    };
    const int year = digits(0, 4), month = digits(4, 2), day = digits(6, 2);
    if (year < 0 || month < 1 || month > 12 || day < 1 || day > 31) return kUnknown;
    int hour = 0, minute = 0, second = 0;
    if (value.size() > 8) {
        if (value[8] != 'T' && value[8] != 't') return kUnknown;
        hour = digits(9, 2), minute = digits(11, 2), second = digits(13, 2);
        if (hour < 0 || minute < 0 || second < 0) return kUnknown;
    }
    // Days from 1970-01-01 to the date, on the proleptic Gregorian calendar.
    const int y = year - (month <= 2), era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = y - era * 400, doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const long days = era * 146097L + yoe * 365L + yoe / 4 - yoe / 100 + doy - 719468L;
    return static_cast<double>(days) * 86400 + hour * 3600 + minute * 60 + second;
}

// The TZID a property's parameters name, unquoted; empty for none.
std::string_view tzidOf(std::string_view line, std::size_t valueAt) {
    const std::string_view parameters = line.substr(0, valueAt - 1);
    bool quoted = false;
    for (std::size_t i = 0; i < parameters.size(); ++i) {
        if (parameters[i] == '"') quoted = !quoted;
        if (parameters[i] != ';' || quoted || !named(parameters.substr(i + 1), "TZID")) continue;
        if (parameters.size() <= i + 6 || parameters[i + 5] != '=') return {};
        std::string_view value = parameters.substr(i + 6);
        if (value.starts_with('"')) return value.substr(1, value.find('"', 1) - 1);
        return value.substr(0, value.find(';'));
    }
    return {};
}

// What the cheap reading found in one event.
struct Scanned {
    std::string_view uid;
    bool moved = false;    // RECURRENCE-ID
    double from = 0, to = 0;   // -inf and inf: anywhere
};

// An event cannot matter outside [from, to]: it starts at DTSTART, ends by
// DTEND (a DURATION lasts at most a year), recurs until its rules' UNTIL, and its
// RECURRENCE-ID takes an instance away. Anything the scan cannot place (a
// value libical alone reads, extra dates, a count, a NUL byte) places it
// anywhere, and libical decides.
Scanned scan(std::string_view text, std::vector<std::string_view>& zones) {
    constexpr double kAnywhere = std::numeric_limits<double>::infinity();
    Scanned found;
    double start = kUnknown, end = kUnknown, until = kUnknown, instance = kUnknown;
    bool recurs = false, anywhere = false, lasts = false;
    int depth = 0;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t next = text.find('\n', at);
        if (next == std::string_view::npos) next = text.size();
        std::string_view line = text.substr(at, next - at);
        at = next + 1;
        if (line.ends_with('\r')) line.remove_suffix(1);
        if (named(line, "BEGIN")) {
            ++depth;
            continue;
        }
        if (named(line, "END")) {
            --depth;
            continue;
        }
        const std::size_t valueAt = valueStart(line);
        if (valueAt == std::string_view::npos) continue;
        if (const std::string_view zone = tzidOf(line, valueAt); !zone.empty()) zones.push_back(zone);
        // Only the event's own lines, not those of one nested in it.
        if (depth != 1) continue;
        const std::string_view value = line.substr(valueAt);
        if (named(line, "DTSTART")) {
            start = wallClock(value);
        } else if (named(line, "DTEND")) {
            end = wallClock(value);
        } else if (named(line, "DURATION")) {
            lasts = true;
        } else if (named(line, "RECURRENCE-ID")) {
            found.moved = true;
            instance = wallClock(value);
            anywhere = anywhere || std::isnan(instance);
        } else if (named(line, "UID")) {
            found.uid = value;
        } else if (named(line, "RRULE")) {
            recurs = true;
            std::size_t key = std::string_view::npos;
            for (std::size_t i = 0; i + 6 <= value.size() && key == std::string_view::npos; ++i) {
                if ((i == 0 || value[i - 1] == ';') && named(value.substr(i, 6), "UNTIL")) key = i + 6;
            }
            const double last = key == std::string_view::npos ? kAnywhere : wallClock(value.substr(key, value.find(';', key) - key));
            until = std::isnan(until) ? last : std::max(until, last);
        } else if (named(line, "RDATE") || named(line, IcsLines::kBrokenMark)) {
            anywhere = true;
        }
    }
    if (anywhere || std::isnan(start) || (recurs && std::isnan(until))) {
        found.from = -kAnywhere;
        found.to = kAnywhere;
        return found;
    }
    // Without DTEND or DURATION an event lasts a day at most (a date).
    const double length = !std::isnan(end) ? std::max(0.0, end - start) : lasts ? kMaxLengthSeconds : 86400;
    found.from = std::min(start, std::isnan(end) ? start : end);
    found.to = std::max(start, std::isnan(end) ? start : end) + length;
    if (recurs) found.to = std::max(found.to, until + length);
    if (!std::isnan(instance)) {
        found.from = std::min(found.from, instance);
        found.to = std::max(found.to, instance);
    }
    return found;
}

}  // namespace

IcsCalendar::IcsCalendar() = default;

IcsCalendar::~IcsCalendar() {
    if (root_) icalcomponent_free(static_cast<icalcomponent*>(root_));
}

std::size_t IcsCalendar::eventCount() const { return units_.size(); }

std::unique_ptr<IcsCalendar> IcsCalendar::parse(std::string_view text, const std::string& fileName,
                                                const Diagnostic& diagnostic) {
    auto say = [&](const std::string& line) {
        if (diagnostic) diagnostic(fileName + ": " + line);
    };
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    IcsLines::Split split = IcsLines::split(text);
    icalcomponent* root = icalparser_parse_string(split.frame.c_str());
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

    std::unique_ptr<IcsCalendar> result(new IcsCalendar);
    if (split.zonesLeftOut) {
        say("time zones past the first " + std::to_string(IcsLines::kMaxZoneBytes >> 10) +
            " KiB are left out; times that name them are read as if the file did not define them");
    }
    // Zones first: everything after this may look a zone up, and only a
    // zone of the file or a name of the system's database may be looked up.
    std::set<std::string> declared;
    for (icalcomponent* vcal : calendars) {
        declared.merge(declaredZones(vcal));
        for (const auto& [name, changes] : dropUnwalkableZones(vcal, say)) {
            if (icaltimezone* zone = icalcomponent_get_timezone(vcal, name.c_str())) result->zoneChanges_[zone] = changes;
        }
        IcsZones::confine(vcal, vcal, result->zoneAnswers_);
        result->scanMargin_ = std::max(result->scanMargin_, scanMargin(vcal));
    }

    result->root_ = root;
    result->calendars_.assign(calendars.begin(), calendars.end());
    result->fileName_ = fileName;
    result->diagnostic_ = diagnostic;

    auto calendar = std::make_shared<platform::EKCalendar>();
    std::string name = fileName;
    if (name.size() > 4 && name.ends_with(".ics")) name.resize(name.size() - 4);
    calendar->title = name;
    if (const char* own = propertyNamed(calendars.front(), "X-WR-CALNAME"); own && *own) {
        calendar->title = IcsLines::capped(own);
    }
    calendar->color = parseColor(propertyNamed(calendars.front(), "COLOR"));
    if (!calendar->color) calendar->color = parseColor(propertyNamed(calendars.front(), "X-APPLE-CALENDAR-COLOR"));
    result->calendar_ = std::move(calendar);

    // Each event placed in time by the cheap scan; instances moved by
    // RECURRENCE-ID go with their series, whatever order the file lists
    // them in. The zones the events name are answered now, for one line.
    result->events_ = std::move(split.events);
    result->blocks_ = std::move(split.list);
    // Kept until the file changes: only what the events hold, not the
    // room the split made for a file of all events.
    result->events_.shrink_to_fit();
    result->blocks_.shrink_to_fit();
    result->told_.assign(result->blocks_.size(), false);
    result->units_.reserve(result->blocks_.size());
    std::map<std::string_view, std::size_t> unitByUid;
    std::vector<std::pair<std::uint32_t, Scanned>> moved;
    std::vector<std::string_view> zones;
    std::vector<std::string> unknown;
    for (std::uint32_t b = 0; b < result->blocks_.size(); ++b) {
        IcsLines::Event& block = result->blocks_[b];
        block.calendar = std::min<std::uint32_t>(block.calendar, static_cast<std::uint32_t>(calendars.size() - 1));
        zones.clear();
        const Scanned found = scan(std::string_view(result->events_).substr(block.offset, block.size), zones);
        for (std::string_view zone : zones) {
            const bool known = result->zoneAnswers_.usable.contains(zone);
            if (!IcsZones::admits(calendars[block.calendar], zone, result->zoneAnswers_) && !known &&
                !declared.contains(std::string(zone))) {
                unknown.emplace_back(zone);
            }
        }
        if (found.moved) {
            moved.emplace_back(b, found);
            continue;
        }
        if (!found.uid.empty()) unitByUid.emplace(found.uid, result->units_.size());
        result->units_.push_back(Unit{b, true, {}, found.from, found.to, {}, {}});
    }
    for (const auto& [b, found] : moved) {
        auto master = unitByUid.find(found.uid);
        if (found.uid.empty() || master == unitByUid.end()) {
            // An instance whose series is not in this file still happens.
            result->units_.push_back(Unit{b, false, {}, found.from, found.to, {}, {}});
            continue;
        }
        Unit& unit = result->units_[master->second];
        unit.moved.push_back(b);
        unit.from = std::min(unit.from, found.from);
        unit.to = std::max(unit.to, found.to);
    }
    if (!unknown.empty()) say(IcsZones::unknownLine(unknown));
    return result;
}

bool IcsCalendar::read(const Unit& unit, std::vector<Series>& into) const {
    std::vector<std::uint32_t> blocks{unit.block};
    blocks.insert(blocks.end(), unit.moved.begin(), unit.moved.end());
    std::string text;
    bool master = false;   // into[0] is the unit's series, which takes moved instances
    for (std::uint32_t b : blocks) {
        const IcsLines::Event& block = blocks_[b];
        auto* vcal = static_cast<icalcomponent*>(calendars_[block.calendar]);
        // A fault of the event is said the first time it is read.
        const bool tell = !told_[b] && diagnostic_;
        told_[b] = true;
        auto say = [&](const std::string& line) {
            if (tell) diagnostic_(fileName_ + ": " + line);
        };
        text.assign(events_, block.offset, block.size);
        icalcomponent* event = icalparser_parse_string(text.c_str());
        if (!event) continue;
        std::unique_ptr<icalcomponent, decltype(&icalcomponent_free)> owned(event, &icalcomponent_free);
        if (icalcomponent_isa(event) != ICAL_VEVENT_COMPONENT) continue;
        IcsZones::confine(event, vcal, zoneAnswers_);
        const int index = static_cast<int>(b) + 1;
        if (propertyNamed(event, IcsLines::kBrokenMark)) {
            say(describe(event, index) + " holds a NUL byte; skipped");
            continue;
        }
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
        if (b != unit.block || !unit.master) {
            auto original = timeOf(icalcomponent_get_first_property(event, ICAL_RECURRENCEID_PROPERTY), vcal);
            if (master && original && b != unit.block) {
                into.front().moved.emplace_back(*original, occurrence);
            } else {
                // An instance whose series is not in this file still happens.
                into.emplace_back().base = occurrence;
            }
            continue;
        }
        Series& series = into.emplace_back();
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
        if (broken) {
            // Its moved instances happen on their own.
            into.pop_back();
            continue;
        }
        master = true;
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
        if (unit.stalled.size() != series.rules.size()) {
            unit.stalled.assign(series.rules.size(), false);
            unit.noneAfter.assign(series.rules.size(), std::numeric_limits<double>::infinity());
        }
    }
    return !into.empty();
}

namespace {

int yearOf(double moment) {
    const auto t = static_cast<time_t>(moment);
    struct tm parts{};
    if (!gmtime_r(&t, &parts)) return 0;
    return parts.tm_year + 1900;
}

// An event lasts at most a year and a zone moves the clock by less than a
// day, so a time whose wall-clock year lies further from the window than
// this cannot overlap it. Such a time is never converted: converting one
// makes libical expand its zone's changes up to that year.
constexpr int kYearsAround = 2;

// What a zone that libical reads from the system's database costs on first
// use (its changes since 1970, a handful a year).
constexpr std::size_t kSystemZoneChanges = 400;

int distinctEntries(const short* array, int size) {
    const int count = entries(array, size);
    return static_cast<int>(std::set<short>(array, array + count).size()) == count ? count : -1;
}

// How many of a rule's instances fall in each of its periods, when that
// number is the same for every period and DTSTART is itself an instance;
// zero otherwise. `days` is the period's length.
long instancesPerPeriod(const icalrecurrencetype& rule, icaltimetype start, int& days) {
    if (hasEntries(rule.by_month) || hasEntries(rule.by_month_day) || hasEntries(rule.by_year_day) ||
        hasEntries(rule.by_week_no) || hasEntries(rule.by_set_pos)) {
        return 0;
    }
    const int interval = std::max<int>(rule.interval, 1);
    const int weekdays = distinctEntries(rule.by_day, ICAL_BY_DAY_SIZE);
    if (weekdays < 0) return 0;
    if (rule.freq == ICAL_WEEKLY_RECURRENCE) {
        days = 7 * interval;
    } else if (rule.freq == ICAL_DAILY_RECURRENCE && (weekdays == 0 || interval == 1)) {
        // Daily on some weekdays is weekly on them.
        days = weekdays == 0 ? interval : 7;
    } else {
        return 0;
    }
    long count = 1;
    if (weekdays > 0) {
        bool startsOnOne = false;
        for (int i = 0; i < weekdays; ++i) {
            if (icalrecurrencetype_day_position(rule.by_day[i]) != 0) return 0;
            if (static_cast<int>(icalrecurrencetype_day_day_of_week(rule.by_day[i])) == icaltime_day_of_week(start)) {
                startsOnOne = true;
            }
        }
        if (!startsOnOne) return 0;
        count = weekdays;
    }
    const std::tuple<const short*, int, int> clock[] = {{rule.by_hour, ICAL_BY_HOUR_SIZE, start.hour},
                                                        {rule.by_minute, ICAL_BY_MINUTE_SIZE, start.minute},
                                                        {rule.by_second, ICAL_BY_SECOND_SIZE, start.second}};
    for (const auto& [array, size, own] : clock) {
        const int n = distinctEntries(array, size);
        if (n < 0) return 0;
        if (n == 0) continue;
        if (std::find(array, array + n, static_cast<short>(own)) == array + n) return 0;
        count *= n;
    }
    return count;
}

// libical cannot start a rule with COUNT anywhere but at DTSTART (the count
// runs from there), and a daily rule from 1970 takes tens of thousands of
// steps to reach today. Where every period holds the same number of
// instances, whole periods before the window are skipped by arithmetic:
// m periods hold m × k instances, and the rule starting m periods later
// with k × m fewer is the same series from there on. Returns false when
// the series ended before the window.
bool skipWholePeriods(icalrecurrencetype& rule, icaltimetype& start, double from) {
    int days = 0;
    const long perPeriod = rule.count > 0 ? instancesPerPeriod(rule, start, days) : 0;
    if (perPeriod == 0) return true;
    // The wall clock read as UTC is within a day of the moment: one period
    // of margin covers it.
    const double periods = std::floor((from - static_cast<double>(icaltime_as_timet(start))) / (days * 86400.0)) - 1;
    if (!(periods >= 1)) return true;
    if (periods * static_cast<double>(perPeriod) >= rule.count) return false;
    const long skipped = static_cast<long>(periods);
    rule.count -= static_cast<int>(skipped * perPeriod);
    icaltime_adjust(&start, static_cast<int>(skipped * days), 0, 0, 0);
    return true;
}

}  // namespace

struct IcsCalendar::Spending {
    IcsBudget& budget;
    bool shortOfZones = false;   // a later query, with zones expanded, gets further
    bool exhausted = false;
};

bool IcsCalendar::afford(const icaltimezone* zone, Spending& spending) const {
    if (!zone || zone == utcZone() || zonesExpanded_.contains(zone)) return true;
    const auto found = zoneChanges_.find(zone);
    // Capped so that a whole budget always pays for one zone.
    const std::size_t cost =
        std::min(found != zoneChanges_.end() ? found->second : kSystemZoneChanges, IcsBudget::kZoneChanges);
    if (cost > spending.budget.zoneChanges) {
        spending.shortOfZones = spending.exhausted = true;
        return false;
    }
    spending.budget.zoneChanges -= cost;
    zonesExpanded_.insert(zone);
    return true;
}

void IcsCalendar::eventsMatching(double start, double end, const std::string& localZoneName,
                                 std::vector<platform::EKEvent>& out, IcsBudget& budget) const {
    if (!(start < end)) return;
    std::lock_guard lock(expandedMutex_);
    const bool covered = expanded_ && expanded_->zone == localZoneName && start >= expanded_->start &&
                         end <= expanded_->end;
    // Once the query's budget is spent, only what costs nothing is added.
    if (!covered && budget.spent) return;
    std::optional<Expanded> partial;
    if (!covered) {
        Expanded fresh{start, end + kExpandedAhead, localZoneName, {}};
        Spending spending{budget};
        expand(fresh.start, fresh.end, localZoneName, fresh.events, spending);
        if (spending.exhausted && !toldShort_ && diagnostic_) {
            toldShort_ = true;
            diagnostic_(fileName_ + ": more to read than one look at the calendars may take; the rest of its events "
                                    "are left out");
        }
        // What the budget cut short is read again next time, when the parts
        // of the folder that were read in full cost nothing.
        if (spending.exhausted) {
            partial = std::move(fresh);
        } else {
            expanded_ = std::move(fresh);
        }
    }
    // The same test as the expansion's: a window inside the expanded one
    // overlaps a subset of what it overlapped.
    for (const platform::EKEvent& event : partial ? partial->events : expanded_->events) {
        const double from = event.startDate, to = event.endDate;
        if (from < end && (to > start || (to == from && from >= start))) out.push_back(event);
    }
}

void IcsCalendar::expand(double start, double end, const std::string& localZoneName,
                         std::vector<platform::EKEvent>& out, Spending& spending) const {
    IcsBudget& budget = spending.budget;
    icaltimezone* local = localZone(localZoneName);
    if (!afford(local, spending)) return;
    const int firstYear = yearOf(start) - kYearsAround, lastYear = yearOf(end) + kYearsAround;
    auto near = [&](const icaltimetype& time) { return time.year >= firstYear && time.year <= lastYear; };
    auto step = [&] {
        if (budget.steps == 0) {
            spending.exhausted = budget.spent = true;
            return false;
        }
        --budget.steps;
        return true;
    };
    auto zoneOf = [&](const icaltimetype& time) -> const icaltimezone* {
        return time.is_date || !time.zone || icaltime_is_utc(time) ? nullptr : time.zone;
    };
    // Appends the occurrence if it overlaps the window; false once the
    // budget is spent.
    auto emit = [&](const Occurrence& occurrence, std::vector<platform::EKEvent>& into) {
        if (!step()) return false;
        if (!near(occurrence.start)) return true;
        const double from = seconds(occurrence.start, local);
        double to = from + occurrence.length.seconds;
        if (occurrence.start.is_date) {
            icaltimetype last = occurrence.start;
            icaltime_adjust(&last, occurrence.length.days, 0, 0, 0);
            to = seconds(last, local);
        }
        // A zero-length event at the window's start still counts as in it.
        const bool overlaps = from < end && (to > start || (to == from && from >= start));
        if (!overlaps) return true;
        const std::size_t text = occurrence.title ? occurrence.title->size() : 0;
        if (text > budget.textBytes) {
            spending.exhausted = budget.spent = true;
            return false;
        }
        budget.textBytes -= text;
        into.push_back(platform::EKEvent{occurrence.title ? std::optional<std::string>(*occurrence.title) : std::nullopt,
                                         occurrence.start.is_date != 0, from, to, calendar_});
        return true;
    };

    std::vector<platform::EKEvent> instances;
    std::vector<Series> parsed;
    for (const Unit& unit : units_) {
        if (spending.exhausted && !spending.shortOfZones) return;
        // Placed outside the window by the scan: libical need not read it.
        if (unit.to < start - scanMargin_ || unit.from > end + scanMargin_) continue;
        std::size_t bytes = blocks_[unit.block].size;
        for (std::uint32_t b : unit.moved) bytes += blocks_[b].size;
        if (bytes > IcsBudget::kEventBytes) {
            // No look could read it (thousands of long lines of dates): it
            // is left out on its own rather than cutting the file there.
            if (!told_[unit.block] && diagnostic_) {
                diagnostic_(fileName_ + ": event " + std::to_string(unit.block + 1) +
                            " is larger than one look at the calendars may read; skipped");
            }
            told_[unit.block] = true;
            continue;
        }
        if (bytes > budget.eventBytes) {
            spending.exhausted = budget.spent = true;
            return;
        }
        budget.eventBytes -= bytes;
        parsed.clear();
        if (!read(unit, parsed)) continue;
        for (const Series& series : parsed) {
            if (spending.exhausted && !spending.shortOfZones) return;
            // Every zone the series' times are in, before any of them is converted.
            bool affordable = afford(zoneOf(series.base.start), spending);
            for (const Occurrence& date : series.dates) affordable = affordable && afford(zoneOf(date.start), spending);
            for (const icaltimetype& exception : series.exceptions) {
                affordable = affordable && (!near(exception) || afford(zoneOf(exception), spending));
            }
            for (const auto& [original, occurrence] : series.moved) {
                affordable = affordable && afford(zoneOf(original), spending) && afford(zoneOf(occurrence.start), spending);
            }
            if (!affordable) continue;

            if (series.rules.empty() && series.dates.empty() && series.moved.empty()) {
                if (!emit(series.base, out)) return;
                continue;
            }
            std::set<double> skipped;
            // A date among the exceptions of a timed series takes out that whole day.
            std::set<int> skippedDays;
            for (const icaltimetype& exception : series.exceptions) {
                if (exception.is_date && !series.base.start.is_date) {
                    skippedDays.insert(exception.year * 10000 + exception.month * 100 + exception.day);
                } else if (near(exception)) {
                    skipped.insert(seconds(exception, local));
                }
            }
            for (const auto& [original, occurrence] : series.moved) {
                if (near(original)) skipped.insert(seconds(original, local));
            }
            std::set<double> seen;
            instances.clear();
            bool stop = false;
            auto consider = [&](const Occurrence& occurrence) {
                if (!near(occurrence.start)) return step();
                const double key = seconds(occurrence.start, local);
                const icaltimetype& at = occurrence.start;
                if (skippedDays.contains(at.year * 10000 + at.month * 100 + at.day)) return step();
                if (skipped.contains(key) || !seen.insert(key).second) return step();
                return emit(occurrence, instances);
            };
            // DTSTART is the first instance even when the rule would not pick it.
            stop = !consider(series.base);
            for (const Occurrence& date : series.dates) stop = stop || !consider(date);

            const double reach = series.base.start.is_date ? series.base.length.days * 86400.0 + 86400
                                                           : series.base.length.seconds;
            icaltimezone* zone = series.base.start.is_date || !series.base.start.zone
                                     ? local
                                     : const_cast<icaltimezone*>(series.base.start.zone);
            if (icaltime_is_utc(series.base.start)) zone = utcZone();
            for (std::size_t r = 0; r < series.rules.size() && !stop; ++r) {
                if (unit.stalled[r]) continue;
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
                if (from > unit.noneAfter[r]) continue;
                icaltimetype walkStart = series.base.start;
                if (!skipWholePeriods(rule, walkStart, from)) continue;
                if (budget.walks == 0) {
                    spending.exhausted = budget.spent = stop = true;
                    break;
                }
                --budget.walks;
                icalrecur_iterator* walk = icalrecur_iterator_new(rule, walkStart);
                if (!walk) continue;
                double walkedFrom = near(walkStart) ? seconds(walkStart, local) : -std::numeric_limits<double>::infinity();
                if (rule.count == 0 && from > walkedFrom) {
                    walkedFrom = from;
                    icaltimetype skipTo = icaltime_from_timet_with_zone(static_cast<time_t>(from),
                                                                        series.base.start.is_date, zone);
                    skipTo.zone = series.base.start.zone;
                    icalrecur_iterator_set_start(walk, skipTo);
                }
                while (true) {
                    if (!step()) {
                        stop = true;
                        break;
                    }
                    const auto before = std::chrono::steady_clock::now();
                    icaltimetype next = icalrecur_iterator_next(walk);
                    if (std::chrono::steady_clock::now() - before > kStallLimit) {
                        unit.stalled[r] = true;
                        if (diagnostic_) {
                            diagnostic_(fileName_ + ": a recurrence rule of \"" +
                                        (series.base.title ? *series.base.title : std::string("(no title)")) +
                                        "\" cannot be expanded in time; only its other dates are shown");
                        }
                        break;
                    }
                    if (icaltime_is_null_time(next)) {
                        unit.noneAfter[r] = walkedFrom;
                        break;
                    }
                    if (next.year > lastYear) break;
                    next.zone = series.base.start.zone;
                    next.is_date = series.base.start.is_date;
                    if (!near(next)) continue;
                    const double at = seconds(next, local);
                    walkedFrom = std::max(walkedFrom, at);
                    if (at >= end) break;
                    Occurrence occurrence = series.base;
                    occurrence.start = next;
                    // The step was paid above.
                    ++budget.steps;
                    if (!consider(occurrence)) {
                        stop = true;
                        break;
                    }
                }
                icalrecur_iterator_free(walk);
            }
            for (const auto& [original, occurrence] : series.moved) {
                if (stop || !emit(occurrence, instances)) {
                    stop = true;
                    break;
                }
            }
            std::stable_sort(instances.begin(), instances.end(),
                             [](const platform::EKEvent& a, const platform::EKEvent& b) { return a.startDate < b.startDate; });
            out.insert(out.end(), instances.begin(), instances.end());
            if (stop) return;
        }
    }
}

}  // namespace linuxhost
