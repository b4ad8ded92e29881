#include "tools/scenario/Parser.h"

#include <istream>

#include "tools/scenario/Commands.h"
#include "tools/scenario/Lexer.h"

namespace scenario {

LineResult parseLine(std::string_view line) {
    LexResult lexed = tokenize(line);
    if (lexed.error) return {std::nullopt, lexed.error};
    if (lexed.tokens.empty()) return {};

    const Token head = lexed.tokens.front();
    if (head.kind != Token::Kind::word) return {std::nullopt, "a line must start with a command, not " + describe(head)};
    const CommandEntry* entry = findCommand(head.text);
    if (!entry) return {std::nullopt, "unknown command '" + head.text + "'"};
    if (!entry->parse) return {std::nullopt, "'" + head.text + "' is not supported yet"};

    lexed.tokens.erase(lexed.tokens.begin());
    Args args(head.text, std::move(lexed.tokens));
    Action action = entry->parse(args);
    if (auto error = args.finish()) return {std::nullopt, error};
    return {std::move(action), std::nullopt};
}

Script parseScript(std::istream& in) {
    Script script;
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (number == 1 && line.starts_with("\xEF\xBB\xBF")) line.erase(0, 3);   // a byte-order mark
        if (!line.empty() && line.back() == '\r') line.pop_back();                 // CRLF files
        LineResult parsed = parseLine(line);
        if (parsed.error) {
            script.steps.clear();
            script.error = ParseError{number, *parsed.error};
            return script;
        }
        if (parsed.action) script.steps.push_back(Step{number, std::move(*parsed.action)});
    }
    return script;
}

}  // namespace scenario
