#include "tools/scenario/Lexer.h"

namespace scenario {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool isOptionName(std::string_view name) {
    if (name.empty()) return false;
    const char first = name.front();
    if (!((first >= 'a' && first <= 'z') || (first >= 'A' && first <= 'Z'))) return false;
    for (char c : name) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                        c == '_' || c == '-';
        if (!ok) return false;
    }
    return true;
}

// Reads a quoted string starting at line[pos] == '"'; leaves pos after the
// closing quote.
std::optional<std::string> readQuoted(std::string_view line, std::size_t& pos, std::string& out) {
    ++pos;
    while (pos < line.size()) {
        const char c = line[pos];
        if (c == '"') {
            ++pos;
            return std::nullopt;
        }
        if (c != '\\') {
            out += c;
            ++pos;
            continue;
        }
        if (pos + 1 >= line.size()) break;
        const char escape = line[pos + 1];
        pos += 2;
        switch (escape) {
            case '"': out += '"'; break;
            case '\\': out += '\\'; break;
            case 'n': out += '\n'; break;
            case 'u': {
                if (pos >= line.size() || line[pos] != '{') return "\\u must be followed by {HEX}";
                ++pos;
                std::uint32_t value = 0;
                int digits = 0;
                while (pos < line.size() && hexDigit(line[pos]) >= 0) {
                    if (++digits > 6) return "too many digits in \\u{...}";
                    value = value * 16 + static_cast<std::uint32_t>(hexDigit(line[pos]));
                    ++pos;
                }
                if (pos >= line.size() || line[pos] != '}' || digits == 0) return "malformed \\u{HEX} escape";
                ++pos;
                if (value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
                    return "\\u{...} is not a Unicode scalar value";
                }
                appendUtf8(out, static_cast<char32_t>(value));
                break;
            }
            default: {
                std::string reason = "invalid escape \\";
                reason += escape;
                return reason + " in a quoted string";
            }
        }
    }
    return "unterminated quoted string";
}

}  // namespace

bool isValidUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        int length = 0;
        char32_t value = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            value = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            value = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            value = lead & 0x07;
        } else {
            return false;
        }
        if (i + static_cast<std::size_t>(length) > text.size()) return false;
        for (int k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
            if ((next & 0xC0) != 0x80) return false;
            value = (value << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
        if ((length == 3 && value < 0x800) || (length == 4 && value < 0x10000) || value > 0x10FFFF ||
            (value >= 0xD800 && value <= 0xDFFF)) {
            return false;
        }
        i += static_cast<std::size_t>(length);
    }
    return true;
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

LexResult tokenize(std::string_view line) {
    LexResult result;
    auto fail = [&result](std::string reason) {
        result.tokens.clear();
        result.error = std::move(reason);
        return result;
    };
    if (!isValidUtf8(line)) return fail("the line is not valid UTF-8");

    std::size_t pos = 0;
    while (true) {
        while (pos < line.size() && isBlank(line[pos])) ++pos;
        if (pos >= line.size() || line[pos] == '#') break;

        Token token;
        if (line[pos] == '"') {
            token.kind = Token::Kind::string;
            if (auto error = readQuoted(line, pos, token.text)) return fail(*error);
        } else {
            const std::size_t start = pos;
            while (pos < line.size() && !isBlank(line[pos]) && line[pos] != '"' && line[pos] != '#' &&
                   line[pos] != '=') {
                ++pos;
            }
            const std::string_view word = line.substr(start, pos - start);
            if (pos < line.size() && line[pos] == '=') {
                if (!isOptionName(word)) {
                    return fail("'" + std::string(word) + "=' is not a valid option name");
                }
                token.kind = Token::Kind::option;
                token.name = std::string(word);
                ++pos;
                if (pos < line.size() && line[pos] == '"') {
                    token.quoted = true;
                    if (auto error = readQuoted(line, pos, token.text)) return fail(*error);
                } else {
                    const std::size_t valueStart = pos;
                    // The value's first character may be '#' (a colour); a later one starts a comment.
                    if (pos < line.size() && line[pos] == '#') ++pos;
                    while (pos < line.size() && !isBlank(line[pos]) && line[pos] != '"' && line[pos] != '#') {
                        ++pos;
                    }
                    token.text = std::string(line.substr(valueStart, pos - valueStart));
                    if (token.text.empty()) return fail("option '" + token.name + "' has no value");
                    if (pos < line.size() && line[pos] == '"') {
                        // A kind followed by a quoted text, as in artwork=url:"…".
                        if (!token.text.ends_with(':')) {
                            return fail("unexpected quote in the value of option '" + token.name + "'");
                        }
                        if (auto error = readQuoted(line, pos, token.text)) return fail(*error);
                    }
                }
            } else {
                if (pos < line.size() && line[pos] == '"') {
                    return fail("unexpected quote after '" + std::string(word) + "'");
                }
                token.kind = Token::Kind::word;
                token.text = std::string(word);
            }
        }
        // Tokens are separated by blanks; a comment may follow directly.
        if (pos < line.size() && !isBlank(line[pos]) && line[pos] != '#') {
            return fail("expected a space after a quoted string");
        }
        result.tokens.push_back(std::move(token));
    }
    return result;
}

}  // namespace scenario
