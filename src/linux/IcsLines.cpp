#include "linux/IcsLines.h"

#include <algorithm>
#include <array>
#include <vector>

namespace linuxhost {

namespace {

// Names in the format are ASCII; the C library's toupper, which asks the
// locale on every call, would be the costliest part of reading a file.
char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Compared without regard to case, as names in the format are.
bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return upper(x) == upper(y); });
}

constexpr std::array<std::string_view, 5> kReadComponents = {"VCALENDAR", "VEVENT", "VTIMEZONE", "STANDARD", "DAYLIGHT"};
constexpr std::array<std::string_view, 15> kReadProperties = {
    "DTSTART", "DTEND",   "DURATION", "RRULE",      "RDATE",        "EXDATE", "RECURRENCE-ID", "UID",
    "SUMMARY", "TZID",    "TZOFFSETFROM", "TZOFFSETTO", "X-WR-CALNAME", "COLOR", "X-APPLE-CALENDAR-COLOR"};

constexpr std::size_t kMaxLineBytes = 64 << 10;

bool isOneOf(std::string_view name, auto const& names) {
    return std::any_of(names.begin(), names.end(), [&](std::string_view n) { return sameName(name, n); });
}

std::string_view nameOf(std::string_view line) {
    return line.substr(0, std::min(line.find_first_of(";:"), line.size()));
}

// Where a property's value starts: after the first colon outside quotes (a
// parameter such as ALTREP="http://…" holds colons of its own).
std::size_t valueColon(std::string_view line) {
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"') quoted = !quoted;
        if (line[i] == ':' && !quoted) return i;
    }
    return std::string_view::npos;
}

// Cuts a raw property line so that its value keeps about `limit` bytes; a
// cut escape or character is taken back whole. libical unescapes the rest.
void cutValue(std::string& line, std::size_t limit) {
    const std::size_t colon = valueColon(line);
    if (colon == std::string::npos || line.size() - colon - 1 <= limit) return;
    std::size_t end = colon + 1 + limit;
    while (end > colon + 1 && (static_cast<unsigned char>(line[end]) & 0xC0) == 0x80) --end;
    std::size_t slashes = 0;
    for (std::size_t i = end; i > colon + 1 && line[i - 1] == '\\'; --i) ++slashes;
    if (slashes % 2) --end;
    line.resize(end);
}

}  // namespace

std::string IcsLines::capped(std::string text, std::size_t limit) {
    if (text.size() <= limit) return text;
    std::size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    text.resize(end);
    return text + "…";
}

IcsLines::Split IcsLines::split(std::string_view text) {
    Split split;
    std::string& frame = split.frame;
    frame.reserve(std::min<std::size_t>(text.size(), 64 << 10));
    split.events.reserve(std::min<std::size_t>(text.size(), 4 << 20));
    // Components open around the current line, and for the one directly
    // inside the calendar (an event, a zone) the lines it has so far: it is
    // handed on whole, or marked broken, when it ends.
    std::vector<std::string> open;
    std::string held;
    bool heldBroken = false;
    bool heldIsEvent = false;
    std::uint32_t calendars = 0;   // calendars begun so far
    std::size_t zoneBytes = 0;     // of zones (and other components) in the frame
    int skipping = 0;   // depth inside a component nobody reads
    auto emit = [&](const std::string& line) {
        std::string& to = open.size() >= 2 ? held : frame;
        to += line;
        to += "\r\n";
    };
    // An event of a calendar goes on its own, so that it can be read alone;
    // anything else stays in the frame.
    auto handOn = [&] {
        if (heldIsEvent) {
            // A component still open at the end goes with what was read of it.
            if (open.size() >= 2 && heldBroken) held += std::string(kBrokenMark) + ":NUL\r\n";
            for (std::size_t depth = open.size(); depth-- > 1;) held += "END:" + open[depth] + "\r\n";
            split.list.push_back({static_cast<std::uint32_t>(split.events.size()), static_cast<std::uint32_t>(held.size()),
                                  calendars - 1});
            split.events += held;
        } else if (heldBroken) {
            // A zone with an unreadable line is no zone.
        } else if (zoneBytes + held.size() > kMaxZoneBytes) {
            split.zonesLeftOut = true;
        } else {
            zoneBytes += held.size();
            frame += held;
        }
        held.clear();
        heldBroken = false;
    };
    auto take = [&](std::string& line, bool hasNul) {
        const std::string_view name = nameOf(line);
        const bool begins = sameName(name, "BEGIN"), ends = sameName(name, "END");
        const std::string_view component = begins || ends ? std::string_view(line).substr(std::min(line.size(), name.size() + 1))
                                                          : std::string_view();
        if (skipping > 0) {
            if (begins) ++skipping;
            if (ends) --skipping;
            return;
        }
        if (begins && !isOneOf(component, kReadComponents)) {
            skipping = 1;
            return;
        }
        if (hasNul) {
            // The line cannot be read; its event (or zone) is lost with it.
            if (open.size() >= 2) heldBroken = true;
            return;
        }
        if (begins) {
            if (open.empty() && sameName(component, "VCALENDAR")) ++calendars;
            open.emplace_back(component);
            if (open.size() == 2) heldIsEvent = calendars > 0 && sameName(open.front(), "VCALENDAR") && sameName(component, "VEVENT");
            emit(line);
            return;
        }
        if (ends) {
            if (open.empty()) return;
            if (open.size() == 2 && heldBroken && heldIsEvent) held += std::string(kBrokenMark) + ":NUL\r\n";
            emit(line);
            open.pop_back();
            if (open.size() == 1) handOn();
            return;
        }
        if (!isOneOf(name, kReadProperties)) return;
        if (sameName(name, "SUMMARY") || sameName(name, "X-WR-CALNAME")) {
            cutValue(line, 2 * kMaxTitleBytes);
        } else if (line.size() >= kMaxLineBytes) {
            const std::size_t colon = valueColon(line), comma = line.rfind(',');
            if (colon == std::string::npos || comma == std::string::npos || comma < colon) return;
            line.resize(comma);
        }
        emit(line);
    };

    // Unfolding: a line that starts with a space or a tab continues the one
    // before it. Bare LF line ends are read as CRLF.
    std::string line;
    bool lineHasNul = false;
    bool any = false;
    std::size_t at = 0;
    while (at <= text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        std::string_view piece = text.substr(at, end - at);
        at = end + 1;
        if (!piece.empty() && piece.back() == '\r') piece.remove_suffix(1);
        const bool continues = !piece.empty() && (piece.front() == ' ' || piece.front() == '\t');
        if (continues && any) {
            piece.remove_prefix(1);
        } else {
            if (any && !line.empty()) take(line, lineHasNul);
            line.clear();
            lineHasNul = false;
            any = true;
        }
        if (piece.find('\0') != std::string_view::npos) lineHasNul = true;
        // Nothing the list reads is this long: a longer line is cut while it
        // is joined (a list of dates at its last whole value, below).
        if (line.size() < kMaxLineBytes) line.append(piece.substr(0, kMaxLineBytes - line.size()));
    }
    if (any && !line.empty()) take(line, lineHasNul);
    if (open.size() >= 2) handOn();
    return split;
}

}  // namespace linuxhost
