#include <gtest/gtest.h>

#include <cmath>

#include "platform/Constants.h"
#include "sim/Desktop.h"
#include "tools/scenario/Values.h"

namespace {

using namespace scenario;

TEST(ScenarioValues, DurationsNeedAUnitExceptZero) {
    const struct {
        const char* text;
        std::optional<double> seconds;
    } cases[] = {
        {"70ms", 0.07}, {"1.5s", 1.5}, {"0", 0.0},   {"0ms", 0.0},   {"00.5s", 0.5},  {"5", {}},      {"-1s", {}},
        {"1.5", {}},    {"ms", {}},    {"1,5s", {}}, {"1.5sec", {}}, {"", {}},        {".5s", {}},    {"1.s", {}},
        {"1e3ms", {}},  {"+1s", {}},
    };
    for (const auto& c : cases) {
        const auto parsed = parseDuration(c.text);
        ASSERT_EQ(parsed.has_value(), c.seconds.has_value()) << c.text;
        if (parsed) {
            EXPECT_DOUBLE_EQ(*parsed, *c.seconds) << c.text;
        }
    }
}

TEST(ScenarioValues, PointsAndRectsTakeSignedFractions) {
    EXPECT_EQ(parsePoint("10,20"), (kit::Point{10, 20}));
    EXPECT_EQ(parsePoint("-10.5,0.25"), (kit::Point{-10.5, 0.25}));
    for (const char* bad : {"10", "10,", ",20", "1,2,3", "a,b", "10 ,20", "1,-", "--1,2", "1.,2"}) {
        EXPECT_FALSE(parsePoint(bad)) << bad;
    }
    EXPECT_EQ(parseRect("644,844,48,48"), (kit::Rect{644, 844, 48, 48}));
    EXPECT_EQ(parseRect("-1440,-0.5,1440,900.75"), (kit::Rect{-1440, -0.5, 1440, 900.75}));
    for (const char* bad : {"0,0,1440", "0,0,1440,900,1", "0,0,1440,x", "", ",,,"}) {
        EXPECT_FALSE(parseRect(bad)) << bad;
    }
}

TEST(ScenarioValues, IntegersStayWithin64Bits) {
    EXPECT_EQ(parseInteger("-42"), -42);
    EXPECT_EQ(parseInteger("9223372036854775807"), INT64_MAX);
    EXPECT_FALSE(parseInteger("9223372036854775808"));
    EXPECT_FALSE(parseInteger("1.0"));
    EXPECT_FALSE(parseInteger("+1"));
    EXPECT_FALSE(parseInteger("-"));
    EXPECT_FALSE(parseNumber("1e3"));
    EXPECT_FALSE(parseNumber("nan"));
    EXPECT_FALSE(parseNumber("inf"));
}

TEST(ScenarioValues, ModifiersAndFlagsAreSubsetsInAnyOrder) {
    using namespace platform;
    EXPECT_EQ(parseModifiers("ctrl+alt+shift+cmd"),
              NSEventModifierFlagControl | NSEventModifierFlagOption | NSEventModifierFlagShift |
                  NSEventModifierFlagCommand);
    EXPECT_EQ(parseModifiers("cmd+ctrl"), NSEventModifierFlagCommand | NSEventModifierFlagControl);
    EXPECT_EQ(parseModifiers("none"), 0u);
    for (const char* bad : {"ctrl+ctrl", "ctrl+", "+ctrl", "", "meta", "none+ctrl", "Ctrl"}) {
        EXPECT_FALSE(parseModifiers(bad)) << bad;
    }
    EXPECT_EQ(parseEventFlags("numpad+capslock+fn"),
              NSEventModifierFlagNumericPad | NSEventModifierFlagCapsLock | NSEventModifierFlagFunction);
    EXPECT_FALSE(parseEventFlags("fn+fn"));
    EXPECT_FALSE(parseEventFlags("ctrl"));
}

TEST(ScenarioValues, ClockAcceptsOnlyStrictIso8601) {
    const double start = sim::kDefaultWallClock;   // 2026-12-07T09:00:00Z
    const struct {
        const char* text;
        std::optional<double> seconds;
    } cases[] = {
        {"2026-12-07T09:00:00Z", start},
        {"2026-12-07T10:00:00+01:00", start},
        {"2026-12-07T08:30:00-00:30", start},
        {"2026-12-07T09:00:00.5Z", start + 0.5},
        {"2026-12-07T09:00:00.125Z", start + 0.125},
        {"1970-01-01T00:00:00Z", 0.0},
        {"1969-12-31T23:59:59Z", -1.0},
        {"2024-02-29T00:00:00Z", 1709164800.0},
        {"2026-02-29T00:00:00Z", {}},   // not a leap year
        {"1900-02-29T00:00:00Z", {}},
        {"2026-13-01T00:00:00Z", {}},
        {"2026-04-31T00:00:00Z", {}},
        {"2026-12-07T09:00:00", {}},    // no zone
        {"2026-12-07t09:00:00Z", {}},
        {"2026-12-07T24:00:00Z", {}},
        {"2026-12-07T09:60:00Z", {}},
        {"2026-12-07T09:00:00.1234Z", {}},
        {"2026-12-07T09:00:00+0100", {}},
        {"2026-12-07T09:00:00Z ", {}},
        {"2026-12-7T09:00:00Z", {}},
        {"", {}},
    };
    for (const auto& c : cases) {
        const auto parsed = parseIso8601(c.text);
        ASSERT_EQ(parsed.has_value(), c.seconds.has_value()) << c.text;
        if (parsed) {
            EXPECT_DOUBLE_EQ(*parsed, *c.seconds) << c.text;
        }
    }
}

}  // namespace
