#include <gtest/gtest.h>

#include <sstream>

#include "tools/scenario/Lexer.h"
#include "tools/scenario/Parser.h"

namespace {

using namespace scenario;

TEST(ScenarioLexer, SplitsWordsStringsAndOptions) {
    const LexResult result =
        tokenize("window 501 \"A \\\"quoted\\\" t\\u{ed}tle\\n\" frame=1,2,3,4 subrole=\"AX Dialog\"  # trailing");
    ASSERT_FALSE(result.error) << *result.error;
    ASSERT_EQ(result.tokens.size(), 5u);
    EXPECT_EQ(result.tokens[0].kind, Token::Kind::word);
    EXPECT_EQ(result.tokens[1].text, "501");
    EXPECT_EQ(result.tokens[2].kind, Token::Kind::string);
    EXPECT_EQ(result.tokens[2].text, "A \"quoted\" t\xC3\xADtle\n");
    EXPECT_EQ(result.tokens[3].kind, Token::Kind::option);
    EXPECT_EQ(result.tokens[3].name, "frame");
    EXPECT_EQ(result.tokens[3].text, "1,2,3,4");
    EXPECT_FALSE(result.tokens[3].quoted);
    EXPECT_EQ(result.tokens[4].text, "AX Dialog");
    EXPECT_TRUE(result.tokens[4].quoted);

    // A '#' inside quotes is text; one that starts an option's value is a colour.
    const LexResult hashes = tokenize("event \"#1 # not a comment\" color=#FF8800 #comment");
    ASSERT_FALSE(hashes.error);
    ASSERT_EQ(hashes.tokens.size(), 3u);
    EXPECT_EQ(hashes.tokens[1].text, "#1 # not a comment");
    EXPECT_EQ(hashes.tokens[2].text, "#FF8800");
    EXPECT_EQ(tokenize("move 1,2# no space before the comment").tokens.size(), 2u);
    EXPECT_EQ(tokenize("\"\\u{1F3B5}\"").tokens.at(0).text, "\xF0\x9F\x8E\xB5");
    EXPECT_EQ(tokenize("x \"\"").tokens.at(1).text, "");
}

// The forms of each argument kind that the run tests do not already parse,
// and the edges of each: a reason fragment for a malformed line, nullptr for
// a good one.
TEST(ScenarioParser, ChecksEveryLineBeforeAnythingRuns) {
    const struct {
        const char* line;
        const char* reason;
    } cases[] = {
        {"   \t ", nullptr},
        {"clock 2026-12-07T10:00:00.250+01:00", nullptr},
        {"screen -1440,0,1440,900 visible=-1440,24,1440,876", nullptr},
        {"app com.apple.TextEdit \"TextEdit\" pid=501 url=\"/Applications/Text Edit.app\" stopped nodock", nullptr},
        {"app com.example.Caf\xC3\xA9 \"Caf\\u{e9}\"", nullptr},
        {"window 501 \"T\" id=7 frame=10,20,300,200 subrole=AXDialog minimized closebutton=no depth=5", nullptr},
        {"front 501", nullptr},
        {"grant automation:Spotify on", nullptr},
        {"defaults \"snap ratio\" double -0.5", nullptr},
        {"fail ax-read 501 AXPosition", nullptr},
        {"fail ax-write 501 \"AXSize\"", nullptr},
        {"fail login-unregister \"Operation not permitted\"", nullptr},
        {"launch   # start it", nullptr},
        {"advance 0", nullptr},
        {"move -10.5,20", nullptr},
        {"query urls", nullptr},
        {"dock-item minimized \"Draft\"", nullptr},
        {"down", nullptr},
        {"up 10,20", nullptr},
        {"click 10,20 mods=none", nullptr},

        {"Launch", "unknown command 'Launch'"},
        {"\"launch\"", "must start with a command"},
        {"key 123 mods=ctrl+alt flags=fn", nullptr},
        {"scroll 10,20 -3 unit=pixel", "line or point"},
        {"window 501 minsize=10", "two numbers"},
        {"dock size=0", "option 'size' needs an integer from 1"},
        {"dock off size=64", "unknown option 'size'"},
        {"dock sideways", "expected off, restart or size=N, got 'sideways'"},
        {"dock-item app \"Mail\"", "unknown Dock item kind 'app'"},
        {"dock-item folder", "missing a title"},
        {"hover-dock", "missing a Dock item title"},
        {"click-tile -1", "tile number"},
        {"down mods=hyper", "option 'mods' needs none or ctrl, alt, shift, cmd"},
        {"down flags=shift", "option 'flags'"},
        {"click 1,2 flags=fn", "unknown option 'flags'"},
        {"drag", "missing a point"},
        {"fail capture 0", "window id"},
        {"query everything", "unknown query 'everything'"},
        {"advance \"1s\"", "duration"},
        {"advance 1s 2s", "unexpected argument '2s'"},
        {"move 1,2,3", "as x,y"},
        {"screen 0,0,0,900", "positive width and height"},
        {"screen 0,0,1440,900 visible=0,24,1440", "visible"},
        {"window 501 id=5 id=6", "option 'id' is given twice"},
        {"window 501 closebutton=maybe", "yes or no"},
        {"window 0", "process id"},
        {"window 501 depth=65", "depth"},
        {"window 501 frame=0,0,-5,10", "negative size"},
        {"app com.x", "missing an application name"},
        {"app com.x \"\"", "cannot be empty"},
        {"app com.x \"N\" pid=", "has no value"},
        {"app com.x \"N\" =5", "not a valid option name"},
        {"app com.x \"Unterminated", "unterminated quoted string"},
        {"app com.x \"ends in backslash\\", "unterminated quoted string"},
        {"app com.x \"Bad \\q\"", "invalid escape \\q"},
        {"app com.x \"\\u{D800}\"", "not a Unicode scalar value"},
        {"app com.x \"\\u{}\"", "malformed \\u{HEX}"},
        {"app com.x \"\\u41\"", "\\u must be followed by {HEX}"},
        {"app com.x \"A\"B", "expected a space"},
        {"app com.x ab\"c\"", "unexpected quote"},
        {"app com.x \"caf\xE9\"", "not valid UTF-8"},
        {"defaults k bool yes", "true or false"},
        {"defaults k int 99999999999999999999", "64-bit integer"},
        {"defaults k string x", "unknown type 'string'"},
        {"defaults k int", "missing a value"},
        {"grant accessibility maybe", "on or off"},
        {"grant camera on", "unknown permission 'camera'"},
        {"clock 2026-02-29T00:00:00Z", "YYYY-MM-DD"},
        {"fail everything", "unknown fault 'everything'"},
        {"fail ax-read 501", "missing an attribute name"},
        {"launch now", "unexpected argument 'now'"},
        {"query window abc", "window id"},
        {"menu \"Durazizi\"", "missing an item title"},
    };
    for (const auto& c : cases) {
        const LineResult result = parseLine(c.line);
        if (!c.reason) {
            EXPECT_FALSE(result.error) << c.line << " -> " << result.error.value_or("");
            continue;
        }
        ASSERT_TRUE(result.error) << c.line;
        EXPECT_NE(result.error->find(c.reason), std::string::npos) << c.line << " -> " << *result.error;
        EXPECT_FALSE(result.action) << c.line;
    }
}

// Past a bound the clock could no longer tell one timer step from the next,
// and an advance there would never end: ten years is the most one line asks.
TEST(ScenarioParser, RefusesAnAdvanceOfMoreThanTenYears) {
    const std::string googol = "1" + std::string(300, '0');
    for (const std::string& line :
         {"advance " + googol + "s", "advance " + googol + "ms", std::string("advance 315576000.5s")}) {
        const LineResult result = parseLine(line);
        ASSERT_TRUE(result.error) << line;
        EXPECT_NE(result.error->find("at most 10 years"), std::string::npos) << *result.error;
    }
    EXPECT_FALSE(parseLine("advance 315576000s").error);
    EXPECT_FALSE(parseLine("advance 315576000000ms").error);
}

TEST(ScenarioParser, ReportsTheFirstMalformedLineByNumber) {
    std::istringstream text("\xEF\xBB\xBF# welcome\r\nscreen 0,0,1440,900\r\n\nadvance 1 s\nbogus\n");
    const Script script = parseScript(text);
    ASSERT_TRUE(script.error);
    EXPECT_EQ(script.error->line, 4);
    EXPECT_NE(script.error->reason.find("duration"), std::string::npos);
    EXPECT_TRUE(script.steps.empty());

    std::istringstream good("# only\n\nscreen 0,0,1440,900\nlaunch\nquery app");   // no final newline
    const Script parsed = parseScript(good);
    ASSERT_FALSE(parsed.error);
    ASSERT_EQ(parsed.steps.size(), 3u);
    EXPECT_EQ(parsed.steps[0].line, 3);
    EXPECT_EQ(parsed.steps[2].line, 5);
}

}  // namespace
