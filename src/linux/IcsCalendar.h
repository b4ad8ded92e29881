#pragma once

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <set>
#include <vector>

#include "linux/IcsBudget.h"
#include "linux/IcsLines.h"
#include "linux/IcsZones.h"
#include "platform/CalendarStore.h"

typedef struct _icaltimezone icaltimezone;

namespace linuxhost {

// One iCalendar file read with libical: its calendar (name and colour) and
// its events. The file is split into its events by a cheap scan; libical
// reads an event only when a window may hold it, one event at a time, so
// that its tree of the file never has to exist (it is many times the size
// of the text). Times
// with a TZID resolve through the file's own VTIMEZONE, else the IANA
// zones; floating times and all-day dates are read in the zone the caller
// names, as the user's calendar would show them.
class IcsCalendar {
public:
    using Diagnostic = std::function<void(const std::string&)>;

    // `fileName` names the calendar when the file does not, and prefixes
    // each diagnostic line. A file with no calendar in it gives null and one
    // line; a broken event is left out with one line of its own.
    static std::unique_ptr<IcsCalendar> parse(std::string_view text, const std::string& fileName,
                                              const Diagnostic& diagnostic);
    ~IcsCalendar();
    IcsCalendar(const IcsCalendar&) = delete;
    IcsCalendar& operator=(const IcsCalendar&) = delete;

    const std::shared_ptr<const platform::EKCalendar>& calendar() const { return calendar_; }
    std::size_t eventCount() const;

    // Appends every occurrence overlapping [start, end), in file order and,
    // within a recurring event, in time order. Expanding rules is the costly
    // part, so the occurrences of a day beyond `end` are kept: the next
    // hovers of that day (their window only moves forward) filter them again.
    // The work is paid from `budget`; when it runs out the rest of the file
    // is left out, with one diagnostic line per version of the file.
    void eventsMatching(double start, double end, const std::string& localZone,
                        std::vector<platform::EKEvent>& out, IcsBudget& budget) const;

    static constexpr double kExpandedAhead = 86400;

private:
    struct Series;
    struct Unit;
    // What one expansion yielded, for the windows it covers.
    struct Expanded {
        double start = 0;
        double end = 0;
        std::string zone;
        std::vector<platform::EKEvent> events;
    };
    struct Spending;
    IcsCalendar();
    void expand(double start, double end, const std::string& localZone, std::vector<platform::EKEvent>& out,
                Spending& spending) const;
    bool afford(const icaltimezone* zone, Spending& spending) const;
    // Has libical read the unit's events: its series first, then instances
    // that happen on their own. False when none could be read.
    bool read(const Unit& unit, std::vector<Series>& into) const;

    void* root_ = nullptr;   // icalcomponent*, which owns the file's time zones
    std::vector<void*> calendars_;   // the calendars of root_, which events name
    std::string fileName_;
    Diagnostic diagnostic_;
    std::shared_ptr<const platform::EKCalendar> calendar_;
    std::string events_;                  // each event's kept lines
    std::vector<IcsLines::Event> blocks_;
    std::vector<Unit> units_;             // an event with the instances it moved
    double scanMargin_ = 0;               // how far a wall-clock time may lie from its moment
    mutable IcsZones::Answers zoneAnswers_;
    mutable std::vector<bool> told_;      // per block: its faults were said
    // Clock changes libical computes for a zone of the file on its first use.
    std::map<const icaltimezone*, std::size_t> zoneChanges_;
    mutable std::mutex expandedMutex_;
    mutable std::optional<Expanded> expanded_;
    mutable std::set<const icaltimezone*> zonesExpanded_;
    mutable bool toldShort_ = false;
};

}  // namespace linuxhost
