#pragma once

#include <cstddef>

namespace linuxhost {

// What one query of the calendar folder may spend, shared by all its
// files. A calendar folder holds files other programs and people wrote, and
// every hover of the Calendar icon reads it on the main thread: limits per
// rule or per file still multiply. When a part runs out, what was read is
// kept and the rest is left out, with one diagnostic line naming the file.
struct IcsBudget {
    // Occurrences produced: each instance a rule walks to, each date read.
    static constexpr std::size_t kSteps = 16000;
    // Bytes of titles in the answer (each title is itself capped).
    static constexpr std::size_t kTextBytes = 2u << 20;
    // Clock changes libical computes when it first converts a time of a
    // zone (a zone's rules walked from its first observance).
    static constexpr std::size_t kZoneChanges = 4000;
    // Bytes of files parsed by one query; a file that would go beyond is
    // read by a later one (a single file is always read whole).
    static constexpr std::size_t kParseBytes = 2u << 20;

    std::size_t steps = kSteps;
    std::size_t textBytes = kTextBytes;
    std::size_t zoneChanges = kZoneChanges;
    std::size_t parseBytes = kParseBytes;
    // Occurrences or text ran out: the files after this one are left out.
    bool spent = false;
};

}  // namespace linuxhost
