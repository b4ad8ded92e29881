#include "linux/IcsZones.h"

#include <libical/ical.h>
#include <sys/stat.h>

#include <climits>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

namespace linuxhost::IcsZones {

namespace {

// The longest IANA name has 32 characters; twice that is plenty.
constexpr std::size_t kMaxNameBytes = 64;
// Names looked up in the zone directory per file: each costs a few system
// calls, and no calendar uses this many zones.
constexpr std::size_t kMaxLookupsPerFile = 64;
// Remembered answers; the database holds under two thousand names.
constexpr std::size_t kMaxRemembered = 4096;

std::string realPath(const std::string& path) {
    std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr), &std::free);
    return resolved ? std::string(resolved.get()) : std::string();
}

bool isInsideDatabase(const std::string& name) {
    const char* directory = icaltzutil_get_zone_directory();
    if (!directory || !*directory) return false;
    const std::string root = realPath(directory);
    const std::string file = realPath(std::string(directory) + "/" + name);
    struct stat info{};
    return !root.empty() && file.size() > root.size() + 1 && file.compare(0, root.size() + 1, root + "/") == 0 &&
           ::stat(file.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

bool isZoneName(std::string_view name) {
    if (name.empty() || name.size() > kMaxNameBytes || name.front() == '/' || name.back() == '/') return false;
    char before = '/';
    for (char c : name) {
        const bool allowed = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
                             c == '-' || c == '+' || c == '/';
        if (!allowed || (c == '/' && before == '/')) return false;
        before = c;
    }
    return true;
}

icaltimezone* systemZone(std::string_view name) {
    if (!isZoneName(name)) return nullptr;
    const std::string key(name);
    if (key == "UTC" || key == "GMT") return icaltimezone_get_utc_timezone();
    static std::mutex mutex;
    static std::map<std::string, icaltimezone*> known;
    std::lock_guard lock(mutex);
    if (auto found = known.find(key); found != known.end()) return found->second;
    // Only now may libical build a path from the name: it is a plain name,
    // and its file is a zone file of the database.
    icaltimezone* zone = isInsideDatabase(key) ? icaltimezone_get_builtin_timezone(key.c_str()) : nullptr;
    if (known.size() < kMaxRemembered) known.emplace(key, zone);
    return zone;
}

bool admits(icalcomponent* calendar, std::string_view name, Answers& answers) {
    if (auto found = answers.usable.find(name); found != answers.usable.end()) return found->second;
    const std::string key(name);
    bool usable = !key.empty() && calendar && icalcomponent_get_timezone(calendar, key.c_str()) != nullptr;
    if (!usable && answers.usable.size() < kMaxLookupsPerFile) usable = systemZone(key) != nullptr;
    answers.usable.emplace(key, usable);
    return usable;
}

void confine(icalcomponent* component, icalcomponent* calendar, Answers& answers) {
    std::vector<icalcomponent*> pending{component};
    while (!pending.empty()) {
        icalcomponent* at = pending.back();
        pending.pop_back();
        for (icalcomponent* c = icalcomponent_get_first_component(at, ICAL_ANY_COMPONENT); c;
             c = icalcomponent_get_next_component(at, ICAL_ANY_COMPONENT)) {
            pending.push_back(c);
        }
        for (icalproperty* p = icalcomponent_get_first_property(at, ICAL_ANY_PROPERTY); p;
             p = icalcomponent_get_next_property(at, ICAL_ANY_PROPERTY)) {
            icalparameter* parameter = icalproperty_get_first_parameter(p, ICAL_TZID_PARAMETER);
            if (!parameter) continue;
            const char* tzid = icalparameter_get_tzid(parameter);
            if (!admits(calendar, tzid ? tzid : "", answers)) icalproperty_remove_parameter_by_kind(p, ICAL_TZID_PARAMETER);
        }
    }
}

std::string unknownLine(const std::vector<std::string>& unknown) {
    if (unknown.empty()) return {};
    std::string shown = unknown.front();
    if (shown.size() > kMaxNameBytes) shown = shown.substr(0, kMaxNameBytes) + "…";
    std::string line = "time zone \"" + shown + "\" is no zone this system knows";
    if (unknown.size() > 1) line += " (nor " + std::to_string(unknown.size() - 1) + " more)";
    return line + "; its times are read as floating";
}

}  // namespace linuxhost::IcsZones
