#include "platform/DefaultsCoercion.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "kit/Saturate.h"

namespace platform::coercion {

namespace {

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

std::string_view skipLeadingSpace(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t' || text.front() == '\n' ||
                             text.front() == '\r' || text.front() == '\f' || text.front() == '\v')) {
        text.remove_prefix(1);
    }
    return text;
}

// -[NSString integerValue]: leading blanks, an optional sign, then as many
// digits as there are; anything else ends the number. Saturates instead of
// overflowing.
std::int64_t integerFromText(std::string_view text) {
    text = skipLeadingSpace(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    std::uint64_t magnitude = 0;
    const std::uint64_t limit = negative ? std::uint64_t{1} << 63
                                         : static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    for (char c : text) {
        if (c < '0' || c > '9') break;
        std::uint64_t digit = static_cast<std::uint64_t>(c - '0');
        if (magnitude > (limit - digit) / 10) {
            magnitude = limit;
            break;
        }
        magnitude = magnitude * 10 + digit;
    }
    if (negative) {
        return magnitude == (std::uint64_t{1} << 63) ? std::numeric_limits<std::int64_t>::min()
                                                      : -static_cast<std::int64_t>(magnitude);
    }
    return static_cast<std::int64_t>(magnitude);
}

// -[NSString doubleValue], independent of the C locale.
double doubleFromText(std::string_view text) {
    text = skipLeadingSpace(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    double value = 0.0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    (void)end;
    if (error == std::errc::result_out_of_range) {
        return (!text.empty() && text.front() == '-') ? -HUGE_VAL : HUGE_VAL;
    }
    return error == std::errc() ? value : 0.0;
}

double finite(double value) {
    if (std::isnan(value)) return 0.0;
    if (std::isinf(value)) {
        return value > 0 ? std::numeric_limits<double>::max() : std::numeric_limits<double>::lowest();
    }
    return value;
}

}  // namespace

bool asBool(const Stored& value) {
    if (auto* b = std::get_if<bool>(&value)) return *b;
    if (auto* i = std::get_if<std::int64_t>(&value)) return *i != 0;
    if (auto* d = std::get_if<double>(&value)) return finite(*d) != 0.0;
    if (auto* text = std::get_if<std::string>(&value)) {
        return equalsIgnoringCase(*text, "YES") || equalsIgnoringCase(*text, "true") || *text == "1";
    }
    return false;
}

std::int64_t asInteger(const Stored& value) {
    if (auto* b = std::get_if<bool>(&value)) return *b ? 1 : 0;
    if (auto* i = std::get_if<std::int64_t>(&value)) return *i;
    if (auto* d = std::get_if<double>(&value)) return kit::saturatingCast<std::int64_t>(*d);   // truncates, as a number object does
    if (auto* text = std::get_if<std::string>(&value)) return integerFromText(*text);
    return 0;
}

double asDouble(const Stored& value) {
    if (auto* b = std::get_if<bool>(&value)) return *b ? 1.0 : 0.0;
    if (auto* i = std::get_if<std::int64_t>(&value)) return static_cast<double>(*i);
    if (auto* d = std::get_if<double>(&value)) return finite(*d);
    if (auto* text = std::get_if<std::string>(&value)) return finite(doubleFromText(*text));
    return 0.0;
}

Stored stored(const DefaultValue& value) {
    return std::visit([](auto v) { return Stored(v); }, value);
}

std::optional<DefaultValue> read(const Stored* user, const std::optional<DefaultValue>& registered) {
    if (registered) {
        const Stored source = user ? *user : stored(*registered);
        if (std::holds_alternative<bool>(*registered)) return asBool(source);
        if (std::holds_alternative<std::int64_t>(*registered)) return asInteger(source);
        return asDouble(source);
    }
    if (!user) return std::nullopt;
    if (auto* b = std::get_if<bool>(user)) return *b;
    if (auto* i = std::get_if<std::int64_t>(user)) return *i;
    if (std::holds_alternative<double>(*user)) return asDouble(*user);
    return std::nullopt;
}

bool isUsableKey(std::string_view key) {
    for (char c : key) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) return false;
    }
    return true;
}

}  // namespace platform::coercion
