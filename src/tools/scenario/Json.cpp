#include "tools/scenario/Json.h"

#include <cmath>
#include <cstdio>

#include "tools/scenario/Lexer.h"

namespace scenario::json {

namespace {

// Length of the valid UTF-8 sequence at text[i], or 0 when there is none.
std::size_t utf8SequenceLength(std::string_view text, std::size_t i) {
    for (std::size_t length = 2; length <= 4; ++length) {
        if (i + length <= text.size() && isValidUtf8(text.substr(i, length))) return length;
    }
    return 0;
}

}  // namespace

std::string number(double value) {
    if (!std::isfinite(value)) return "null";
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%.3f", value);
    std::string text = buffer;
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
    if (text == "-0") text = "0";
    return text;
}

std::string integer(std::int64_t value) { return std::to_string(value); }

std::string string(std::string_view text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
            ++i;
        } else if (c < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
            ++i;
        } else if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
        } else if (const std::size_t length = utf8SequenceLength(text, i)) {
            // U+2028 and U+2029 are line breaks to JavaScript and to many
            // line-oriented readers: escaped, one answer stays one line.
            const std::string_view sequence = text.substr(i, length);
            if (sequence == "\u2028") out += "\\u2028";
            else if (sequence == "\u2029") out += "\\u2029";
            else out.append(sequence);
            i += length;
        } else {
            out += "\xEF\xBF\xBD";
            ++i;
        }
    }
    out += '"';
    return out;
}

std::string boolean(bool value) { return value ? "true" : "false"; }

std::string null() { return "null"; }

std::string point(const kit::Point& p) { return "[" + number(p.x) + "," + number(p.y) + "]"; }

std::string rect(const kit::Rect& r) {
    return "[" + number(r.minX()) + "," + number(r.minY()) + "," + number(r.width()) + "," +
           number(r.height()) + "]";
}

std::string array(const std::vector<std::string>& items) {
    std::string out = "[";
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i) out += ',';
        out += items[i];
    }
    return out + "]";
}

Object& Object::add(std::string_view key, const std::string& value) {
    if (!body_.empty()) body_ += ',';
    body_ += string(key);
    body_ += ':';
    body_ += value;
    return *this;
}

std::string Object::str() const { return "{" + body_ + "}"; }

}  // namespace scenario::json
