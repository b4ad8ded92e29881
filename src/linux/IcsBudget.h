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
    // Bytes of files read and split into events by one query; a file that
    // would go beyond is read by a later one (a single file is always read
    // whole: splitting is cheap next to what libical does with an event).
    static constexpr std::size_t kParseBytes = 2u << 20;
    // Bytes of events handed to libical, one event at a time, by one query:
    // only events that may fall in the window are, and a file is cut part-way
    // when they run out.
    static constexpr std::size_t kEventBytes = 512u << 10;
    // Rules walked: each walk libical starts goes through ICU's calendar
    // arithmetic, however few instances it then yields.
    static constexpr std::size_t kWalks = 600;

    std::size_t steps = kSteps;
    std::size_t textBytes = kTextBytes;
    std::size_t zoneChanges = kZoneChanges;
    std::size_t parseBytes = kParseBytes;
    std::size_t eventBytes = kEventBytes;
    std::size_t walks = kWalks;
    // Occurrences or text ran out: the files after this one are left out.
    bool spent = false;
};

}  // namespace linuxhost
