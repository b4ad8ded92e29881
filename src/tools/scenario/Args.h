#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "kit/Geometry.h"
#include "tools/scenario/Lexer.h"

namespace scenario {

// The arguments of one command line, taken one by one by the command's
// parser. The first problem is remembered and later takes answer defaults,
// so a parser reads straight through and checks `error()` once at the end.
class Args {
public:
    Args(std::string command, std::vector<Token> tokens);

    const std::string& command() const { return command_; }

    // Positional arguments, from the front.
    bool hasMore() const { return !positional_.empty(); }
    std::optional<Token> peek() const;
    std::string text(std::string_view what);             // a bare word or a quoted string
    std::string word(std::string_view what);             // a bare word only
    std::optional<std::string> optionalQuoted();         // the next argument, if it is a quoted string
    std::int64_t integer(std::string_view what, std::int64_t min, std::int64_t max);
    double number(std::string_view what);
    double duration(std::string_view what);
    kit::Point point(std::string_view what);
    kit::Rect rect(std::string_view what);
    // A bare word such as `stopped`, anywhere among the remaining arguments.
    bool flag(std::string_view name);

    // Options name=value.
    std::optional<std::string> optionText(std::string_view name);
    std::optional<std::int64_t> optionInteger(std::string_view name, std::int64_t min, std::int64_t max);
    std::optional<kit::Rect> optionRect(std::string_view name);
    std::optional<kit::Point> optionPoint(std::string_view name);   // also a size W,H
    std::optional<bool> optionYesNo(std::string_view name);
    // mods=ctrl+alt+shift+cmd / flags=capslock+fn+numpad, as event-flag bits.
    std::optional<std::uint64_t> optionModifiers(std::string_view name);
    std::optional<std::uint64_t> optionEventFlags(std::string_view name);

    // Reports arguments nobody took and options the command does not know.
    std::optional<std::string> finish();

    void fail(std::string reason);
    const std::optional<std::string>& error() const { return error_; }

private:
    std::optional<Token> take(std::string_view what);
    std::optional<Token> takeOption(std::string_view name);

    std::string command_;
    std::vector<Token> positional_;
    std::vector<Token> options_;
    std::optional<std::string> error_;
};

std::string describe(const Token& token);

}  // namespace scenario
