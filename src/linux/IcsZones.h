#pragma once

#include <functional>
#include <string>
#include <string_view>

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

// Takes the TZID off every time in `calendar` that names neither a zone of
// the file nor one of the system's, before libical or anything else looks a
// zone up: such a time is floating. One diagnostic line names the first;
// names in `declared` (zones the file defined that were left out, already
// reported) are not named again.
void confine(icalcomponent* calendar, const std::function<bool(const std::string&)>& declared,
             const std::function<void(const std::string&)>& say);

}  // namespace IcsZones

}  // namespace linuxhost
