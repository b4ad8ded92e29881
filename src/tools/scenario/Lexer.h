#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace scenario {

// One token of a scenario line: a bare word, a quoted string (escapes
// decoded), or an option `name=value`.
struct Token {
    enum class Kind { word, string, option };
    Kind kind = Kind::word;
    std::string text;     // the word, the decoded string, or the option's value
    std::string name;     // options only
    bool quoted = false;  // options only: the value was written as a quoted string
};

struct LexResult {
    std::vector<Token> tokens;
    std::optional<std::string> error;  // why the line is malformed
};

// Splits one line (without its line break) into tokens. A `#` outside quotes
// ends the line, except as the first character of an option's value, so that
// `color=#RRGGBB` stays a colour.
LexResult tokenize(std::string_view line);

bool isValidUtf8(std::string_view text);
void appendUtf8(std::string& out, char32_t codePoint);

}  // namespace scenario
