#include "tools/scenario/Values.h"

#include <charconv>
#include <cmath>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "platform/Constants.h"

namespace scenario {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool allDigits(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text) {
        if (!isDigit(c)) return false;
    }
    return true;
}

std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t at = text.find(separator, start);
        if (at == std::string_view::npos) {
            parts.push_back(text.substr(start));
            return parts;
        }
        parts.push_back(text.substr(start, at - start));
        start = at + 1;
    }
}

// A '+'-joined subset of named bits, each at most once, or "none".
std::optional<std::uint64_t> parseBitSet(std::string_view text,
                                         std::initializer_list<std::pair<std::string_view, std::uint64_t>> names) {
    if (text == "none") return 0;
    std::uint64_t bits = 0;
    for (std::string_view part : split(text, '+')) {
        std::optional<std::uint64_t> bit;
        for (const auto& [name, value] : names) {
            if (part == name) bit = value;
        }
        if (!bit || (bits & *bit)) return std::nullopt;
        bits |= *bit;
    }
    return bits;
}

// Fixed-width decimal field.
std::optional<int> field(std::string_view text, std::size_t at, std::size_t width) {
    if (at + width > text.size()) return std::nullopt;
    const std::string_view digits = text.substr(at, width);
    if (!allDigits(digits)) return std::nullopt;
    int value = 0;
    for (char c : digits) value = value * 10 + (c - '0');
    return value;
}

bool isLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int daysInMonth(int year, int month) {
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : days[month - 1];
}

// Days from 1970-01-01 to a proleptic Gregorian date (Howard Hinnant's algorithm).
std::int64_t daysFromCivil(std::int64_t year, unsigned month, unsigned day) {
    year -= month <= 2;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const auto yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<std::int64_t>(dayOfEra) - 719468;
}

}  // namespace

std::optional<double> parseNumber(std::string_view text) {
    std::string_view body = text;
    if (!body.empty() && body.front() == '-') body.remove_prefix(1);
    const std::size_t dot = body.find('.');
    if (dot == std::string_view::npos) {
        if (!allDigits(body)) return std::nullopt;
    } else if (!allDigits(body.substr(0, dot)) || !allDigits(body.substr(dot + 1))) {
        return std::nullopt;
    }
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::optional<std::int64_t> parseInteger(std::string_view text) {
    std::string_view body = text;
    if (!body.empty() && body.front() == '-') body.remove_prefix(1);
    if (!allDigits(body)) return std::nullopt;
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::optional<double> parseDuration(std::string_view text) {
    if (text == "0") return 0.0;
    double scale = 1;
    if (text.ends_with("ms")) {
        text.remove_suffix(2);
        scale = 0.001;
    } else if (text.ends_with("s")) {
        text.remove_suffix(1);
    } else {
        return std::nullopt;
    }
    if (text.starts_with('-')) return std::nullopt;
    const auto value = parseNumber(text);
    if (!value) return std::nullopt;
    return *value * scale;
}

std::optional<kit::Point> parsePoint(std::string_view text) {
    const auto parts = split(text, ',');
    if (parts.size() != 2) return std::nullopt;
    const auto x = parseNumber(parts[0]);
    const auto y = parseNumber(parts[1]);
    if (!x || !y) return std::nullopt;
    return kit::Point{*x, *y};
}

std::optional<kit::Rect> parseRect(std::string_view text) {
    const auto parts = split(text, ',');
    if (parts.size() != 4) return std::nullopt;
    double values[4];
    for (std::size_t i = 0; i < 4; ++i) {
        const auto value = parseNumber(parts[i]);
        if (!value) return std::nullopt;
        values[i] = *value;
    }
    return kit::Rect{values[0], values[1], values[2], values[3]};
}

std::optional<std::uint64_t> parseModifiers(std::string_view text) {
    return parseBitSet(text, {{"ctrl", platform::NSEventModifierFlagControl},
                              {"alt", platform::NSEventModifierFlagOption},
                              {"shift", platform::NSEventModifierFlagShift},
                              {"cmd", platform::NSEventModifierFlagCommand}});
}

std::optional<std::uint64_t> parseEventFlags(std::string_view text) {
    return parseBitSet(text, {{"capslock", platform::NSEventModifierFlagCapsLock},
                              {"fn", platform::NSEventModifierFlagFunction},
                              {"numpad", platform::NSEventModifierFlagNumericPad}});
}

std::optional<double> parseIso8601(std::string_view text) {
    // 0123456789012345678
    // YYYY-MM-DDTHH:MM:SS
    if (text.size() < 20) return std::nullopt;
    if (text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' || text[16] != ':') {
        return std::nullopt;
    }
    const auto year = field(text, 0, 4);
    const auto month = field(text, 5, 2);
    const auto day = field(text, 8, 2);
    const auto hour = field(text, 11, 2);
    const auto minute = field(text, 14, 2);
    const auto second = field(text, 17, 2);
    if (!year || !month || !day || !hour || !minute || !second) return std::nullopt;
    if (*month < 1 || *month > 12 || *day < 1 || *day > daysInMonth(*year, *month)) return std::nullopt;
    if (*hour > 23 || *minute > 59 || *second > 59) return std::nullopt;

    std::size_t at = 19;
    double fraction = 0;
    if (text[at] == '.') {
        ++at;
        const std::size_t start = at;
        int milliseconds = 0;
        while (at < text.size() && isDigit(text[at])) {
            if (at - start == 3) return std::nullopt;   // at most millisecond precision
            milliseconds = milliseconds * 10 + (text[at] - '0');
            ++at;
        }
        if (at == start) return std::nullopt;
        for (std::size_t digits = at - start; digits < 3; ++digits) milliseconds *= 10;
        fraction = milliseconds / 1000.0;
    }
    if (at >= text.size()) return std::nullopt;

    int offsetSeconds = 0;
    if (text[at] == 'Z') {
        ++at;
    } else if (text[at] == '+' || text[at] == '-') {
        const int sign = text[at] == '-' ? -1 : 1;
        const auto offsetHours = field(text, at + 1, 2);
        if (at + 3 >= text.size() || text[at + 3] != ':') return std::nullopt;
        const auto offsetMinutes = field(text, at + 4, 2);
        if (!offsetHours || !offsetMinutes || *offsetHours > 23 || *offsetMinutes > 59) return std::nullopt;
        offsetSeconds = sign * (*offsetHours * 3600 + *offsetMinutes * 60);
        at += 6;
    } else {
        return std::nullopt;
    }
    if (at != text.size()) return std::nullopt;

    const std::int64_t days =
        daysFromCivil(*year, static_cast<unsigned>(*month), static_cast<unsigned>(*day));
    const std::int64_t seconds = days * 86400 + *hour * 3600 + *minute * 60 + *second - offsetSeconds;
    return static_cast<double>(seconds) + fraction;
}

}  // namespace scenario
