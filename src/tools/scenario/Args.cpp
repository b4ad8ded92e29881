#include "tools/scenario/Args.h"

#include <algorithm>

#include "tools/scenario/Values.h"

namespace scenario {

std::string describe(const Token& token) {
    switch (token.kind) {
        case Token::Kind::word: return "'" + token.text + "'";
        case Token::Kind::string: return "\"" + token.text + "\"";
        case Token::Kind::option: return "'" + token.name + "=" + token.text + "'";
    }
    return {};
}

Args::Args(std::string command, std::vector<Token> tokens) : command_(std::move(command)) {
    for (Token& token : tokens) {
        if (token.kind != Token::Kind::option) {
            positional_.push_back(std::move(token));
            continue;
        }
        const bool repeated = std::any_of(options_.begin(), options_.end(),
                                          [&](const Token& seen) { return seen.name == token.name; });
        if (repeated) fail("option '" + token.name + "' is given twice");
        options_.push_back(std::move(token));
    }
}

void Args::fail(std::string reason) {
    if (!error_) error_ = command_ + ": " + std::move(reason);
}

std::optional<Token> Args::peek() const {
    if (positional_.empty()) return std::nullopt;
    return positional_.front();
}

std::optional<Token> Args::take(std::string_view what) {
    if (error_) return std::nullopt;
    if (positional_.empty()) {
        fail("missing " + std::string(what));
        return std::nullopt;
    }
    Token token = std::move(positional_.front());
    positional_.erase(positional_.begin());
    return token;
}

std::string Args::text(std::string_view what) {
    const auto token = take(what);
    return token ? token->text : std::string();
}

std::string Args::word(std::string_view what) {
    const auto token = take(what);
    if (!token) return {};
    if (token->kind != Token::Kind::word) {
        fail("expected " + std::string(what) + ", got " + describe(*token));
        return {};
    }
    return token->text;
}

std::optional<std::string> Args::optionalQuoted() {
    if (error_ || positional_.empty() || positional_.front().kind != Token::Kind::string) return std::nullopt;
    return take("")->text;
}

std::int64_t Args::integer(std::string_view what, std::int64_t min, std::int64_t max) {
    const auto token = take(what);
    if (!token) return min;
    const auto value = token->kind == Token::Kind::word ? parseInteger(token->text) : std::nullopt;
    if (!value || *value < min || *value > max) {
        fail("expected " + std::string(what) + " (an integer from " + std::to_string(min) + " to " +
             std::to_string(max) + "), got " + describe(*token));
        return min;
    }
    return *value;
}

double Args::number(std::string_view what) {
    const auto token = take(what);
    if (!token) return 0;
    const auto value = token->kind == Token::Kind::word ? parseNumber(token->text) : std::nullopt;
    if (!value) {
        fail("expected " + std::string(what) + " (a number), got " + describe(*token));
        return 0;
    }
    return *value;
}

namespace {

// Virtual time runs every timer due on the way. Far enough out, the clock's
// double can no longer tell one step of a 50 ms poll from the next and an
// advance would never end (from about seven million years on); ten years
// keeps the clock exact to the microsecond, and is more than any scenario
// needs.
constexpr double kMaxDurationYears = 10;
constexpr double kMaxDurationSeconds = kMaxDurationYears * 365.25 * 86400;
static_assert(kMaxDurationSeconds == 315576000, "the refusal below names the bound");

}  // namespace

double Args::duration(std::string_view what) {
    const auto token = take(what);
    if (!token) return 0;
    const auto value = token->kind == Token::Kind::word ? parseDuration(token->text) : std::nullopt;
    if (!value) {
        fail("expected " + std::string(what) + " such as 70ms, 1.5s or 0, got " + describe(*token));
        return 0;
    }
    if (*value > kMaxDurationSeconds) {
        fail("expected " + std::string(what) + " of at most 10 years (315576000s), got " + describe(*token));
        return 0;
    }
    return *value;
}

kit::Point Args::point(std::string_view what) {
    const auto token = take(what);
    if (!token) return {};
    const auto value = token->kind == Token::Kind::word ? parsePoint(token->text) : std::nullopt;
    if (!value) {
        fail("expected " + std::string(what) + " as x,y, got " + describe(*token));
        return {};
    }
    return *value;
}

kit::Rect Args::rect(std::string_view what) {
    const auto token = take(what);
    if (!token) return {};
    const auto value = token->kind == Token::Kind::word ? parseRect(token->text) : std::nullopt;
    if (!value) {
        fail("expected " + std::string(what) + " as x,y,w,h, got " + describe(*token));
        return {};
    }
    return *value;
}

bool Args::flag(std::string_view name) {
    const auto found = std::find_if(positional_.begin(), positional_.end(), [&](const Token& token) {
        return token.kind == Token::Kind::word && token.text == name;
    });
    if (found == positional_.end()) return false;
    positional_.erase(found);
    return true;
}

std::optional<Token> Args::takeOption(std::string_view name) {
    const auto found =
        std::find_if(options_.begin(), options_.end(), [&](const Token& token) { return token.name == name; });
    if (found == options_.end()) return std::nullopt;
    Token token = std::move(*found);
    options_.erase(found);
    return token;
}

std::optional<std::string> Args::optionText(std::string_view name) {
    const auto token = takeOption(name);
    if (!token) return std::nullopt;
    return token->text;
}

std::optional<std::int64_t> Args::optionInteger(std::string_view name, std::int64_t min, std::int64_t max) {
    const auto token = takeOption(name);
    if (!token) return std::nullopt;
    const auto value = token->quoted ? std::nullopt : parseInteger(token->text);
    if (!value || *value < min || *value > max) {
        fail("option '" + std::string(name) + "' needs an integer from " + std::to_string(min) + " to " +
             std::to_string(max) + ", got " + describe(*token));
        return std::nullopt;
    }
    return value;
}

std::optional<kit::Rect> Args::optionRect(std::string_view name) {
    const auto token = takeOption(name);
    if (!token) return std::nullopt;
    const auto value = token->quoted ? std::nullopt : parseRect(token->text);
    if (!value) {
        fail("option '" + std::string(name) + "' needs a rectangle x,y,w,h, got " + describe(*token));
        return std::nullopt;
    }
    return value;
}

std::optional<kit::Point> Args::optionPoint(std::string_view name) {
    const auto token = takeOption(name);
    if (!token) return std::nullopt;
    const auto value = token->quoted ? std::nullopt : parsePoint(token->text);
    if (!value) {
        fail("option '" + std::string(name) + "' needs two numbers a,b, got " + describe(*token));
        return std::nullopt;
    }
    return value;
}

std::optional<bool> Args::optionYesNo(std::string_view name) {
    const auto token = takeOption(name);
    if (!token) return std::nullopt;
    if (!token->quoted && token->text == "yes") return true;
    if (!token->quoted && token->text == "no") return false;
    fail("option '" + std::string(name) + "' needs yes or no, got " + describe(*token));
    return std::nullopt;
}

std::optional<std::uint64_t> Args::optionModifiers(std::string_view name) {
    const auto token = takeOption(name);
    if (!token) return std::nullopt;
    const auto value = token->quoted ? std::nullopt : parseModifiers(token->text);
    if (!value) {
        fail("option '" + std::string(name) + "' needs none or ctrl, alt, shift, cmd joined by '+', got " +
             describe(*token));
    }
    return value;
}

std::optional<std::uint64_t> Args::optionEventFlags(std::string_view name) {
    const auto token = takeOption(name);
    if (!token) return std::nullopt;
    const auto value = token->quoted ? std::nullopt : parseEventFlags(token->text);
    if (!value) {
        fail("option '" + std::string(name) + "' needs none or capslock, fn, numpad joined by '+', got " +
             describe(*token));
    }
    return value;
}

std::optional<std::string> Args::finish() {
    if (error_) return error_;
    if (!positional_.empty()) fail("unexpected argument " + describe(positional_.front()));
    else if (!options_.empty()) fail("unknown option '" + options_.front().name + "'");
    return error_;
}

}  // namespace scenario

