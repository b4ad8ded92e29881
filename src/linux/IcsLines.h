#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace linuxhost {

// The part of an iCalendar text the reader hands to libical: unfolded
// content lines of the properties the calendar list reads, and nothing
// else. libical copies and parses every line it is given, so a file's
// attachments, descriptions and attendee lists would cost time and memory
// for nothing; a title longer than any row shows is cut here, before
// libical copies it. libical also takes a C string, so a NUL byte would end
// the file where it stands: a line holding one loses its event instead
// (the event is marked with `kBrokenMark` for the reader to skip and name).
struct IcsLines {
    // Kept of a title or a calendar's name, in bytes of UTF-8.
    static constexpr std::size_t kMaxTitleBytes = 256;
    // A property the reader's filter never passes, added to an event that
    // lost a line to a NUL byte.
    static constexpr std::string_view kBrokenMark = "X-DURAZIZI-BROKEN";

    // What is kept of a file, split so that libical never holds more than
    // one event at a time: the calendars with their own lines and their zones
    // (read once), and each event of a calendar on its own (read when a
    // window needs it).
    struct Event {
        std::uint32_t offset = 0;     // into `events`
        std::uint32_t size = 0;
        std::uint32_t calendar = 0;   // which calendar of `frame` holds it
    };
    struct Split {
        std::string frame;
        std::string events;
        std::vector<Event> list;
        bool zonesLeftOut = false;   // the frame's zones reached kMaxZoneBytes
    };
    // Zones libical reads at once with the calendars, in bytes: a dozen of
    // the longest real definitions. Zones past it are left out, and times
    // naming them fall back as for a zone the file does not define.
    static constexpr std::size_t kMaxZoneBytes = 256u << 10;
    static Split split(std::string_view text);

    // `text` cut to at most `limit` bytes at a character boundary, with an
    // ellipsis when anything was cut.
    static std::string capped(std::string text, std::size_t limit = kMaxTitleBytes);
};

}  // namespace linuxhost
