#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

typedef struct _icaltimezone icaltimezone;
typedef struct icalcomponent_impl icalcomponent;

namespace linuxhost {

// The time zones a calendar may name. A TZID comes from the file, so it is
// a name and never a path: libical finds a zone it does not know as a file
// under the zone directory, named by the TZID as it stands, and
// "../../proc/self/fd/0" or a FIFO would be opened on the main thread.
namespace IcsZones {

// An IANA zone name: parts of letters, digits, '_', '-' and '+', joined by
// single slashes, of bounded length. No '.', so no "." or ".." part.
bool isZoneName(std::string_view name);

// The zone of the system's database with that name, or null: only a
// well-formed name whose file is a regular file inside the zone directory.
icaltimezone* systemZone(std::string_view name);

// What a file's times may name, answered once per name and file: a zone of
// the file, else one of the system's (at most a few dozen names of a file
// are looked up; later ones are refused).
struct Answers {
    std::map<std::string, bool, std::less<>> usable;
};
bool admits(icalcomponent* calendar, std::string_view name, Answers& answers);

// Takes the TZID off every time in `component` that names neither a zone of
// `calendar` nor one of the system's, before libical or anything else looks
// a zone up: such a time is floating.
void confine(icalcomponent* component, icalcomponent* calendar, Answers& answers);

// The one diagnostic line for the names no zone answers to: the first of
// them and how many more.
std::string unknownLine(const std::vector<std::string>& unknown);

}  // namespace IcsZones

}  // namespace linuxhost
