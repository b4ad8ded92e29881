#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "tools/scenario/Json.h"

namespace {

using namespace scenario;

TEST(ScenarioJson, NumbersHaveAtMostThreeDecimalsAndNoTrailingZeros) {
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {0, "0"},          {1440, "1440"},       {1.5, "1.5"},        {2.0, "2"},
        {-2.5, "-2.5"},    {1.23456, "1.235"},   {0.1 + 0.2, "0.3"},  {-0.0, "0"},
        {-0.0001, "0"},    {0.0004, "0"},        {-1e-9, "0"},        {812.125, "812.125"},
        {-1440, "-1440"},  {1e15, "1000000000000000"},
        {std::numeric_limits<double>::quiet_NaN(), "null"},
        {std::numeric_limits<double>::infinity(), "null"},
    };
    for (const auto& c : cases) EXPECT_EQ(json::number(c.value), c.text) << c.value;
    EXPECT_EQ(json::integer(-9223372036854775807LL - 1), "-9223372036854775808");
}

TEST(ScenarioJson, StringsEscapeControlsAndKeepUnicode) {
    EXPECT_EQ(json::string("plain"), "\"plain\"");
    EXPECT_EQ(json::string("a\"b\\c"), "\"a\\\"b\\\\c\"");
    EXPECT_EQ(json::string("line\nnext\ttab"), "\"line\\u000anext\\u0009tab\"");
    EXPECT_EQ(json::string(std::string("nul\0x", 5)), "\"nul\\u0000x\"");
    EXPECT_EQ(json::string("\x1f\x7f"), "\"\\u001f\x7f\"");
    EXPECT_EQ(json::string("Caf\xC3\xA9 \xE2\x80\x94 \xF0\x9F\x8E\xB5"), "\"Caf\xC3\xA9 \xE2\x80\x94 \xF0\x9F\x8E\xB5\"");
    // Bytes that are not UTF-8 (a lone continuation, a truncated sequence, an
    // encoded surrogate) become U+FFFD so the line stays valid JSON.
    EXPECT_EQ(json::string("a\x80z"), "\"a\xEF\xBF\xBDz\"");
    EXPECT_EQ(json::string("a\xE2\x80"), "\"a\xEF\xBF\xBD\xEF\xBF\xBD\"");
    EXPECT_EQ(json::string("\xED\xA0\x80"), "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\"");
    // The line and paragraph separators are valid JSON as they are, but a
    // reader that splits on Unicode line breaks would see two answers.
    EXPECT_EQ(json::string("a\xE2\x80\xA8" "b\xE2\x80\xA9" "c\xE2\x80\xA7"), "\"a\\u2028b\\u2029c\xE2\x80\xA7\"");
}

TEST(ScenarioJson, ObjectsKeepKeyOrderAndFramesAreArrays) {
    const std::string text = json::Object()
                                 .add("visible", json::boolean(true))
                                 .add("frame", json::rect({644, 844, 48, 48}))
                                 .add("at", json::point({-0.5, 10}))
                                 .add("pid", json::null())
                                 .add("lines", json::array({json::string("a"), json::string("b")}))
                                 .add("none", json::array({}))
                                 .str();
    EXPECT_EQ(text,
              "{\"visible\":true,\"frame\":[644,844,48,48],\"at\":[-0.5,10],\"pid\":null,"
              "\"lines\":[\"a\",\"b\"],\"none\":[]}");
    EXPECT_EQ(json::Object().str(), "{}");
}

}  // namespace
