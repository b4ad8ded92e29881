#include <gtest/gtest.h>

#include "sim/SimLocale.h"

namespace {

int sign(int v) { return (v > 0) - (v < 0); }

TEST(SimLocale, TitlesCompareByTheLocalesRulesIgnoringCaseOnly) {
    sim::SimLocale locale;
    struct Row {
        const char* locale;
        const char* a;
        const char* b;
        int order;
    };
    const Row rows[] = {
        {"en_US", "alpha", "Beta", -1},
        {"en_US", "ALPHA", "alpha", 0},
        {"en_US", "émile", "Zoe", -1},           // by letters, not code points
        {"en_US", "Émile", "émile", 0},
        {"en_US", "emile", "émile", -1},          // accents still count
        {"en_US", "ΩMEGA", "ωmega", 0},
        {"en_US", "Window 2", "window 10", 1},
        {"de_DE", "Öl", "Pferd", -1},             // Ö sorts with O in German
        {"sv_SE", "Öl", "Zebra", 1},              // and after Z in Swedish
        {"en_US", "a\xff", "A\xfe", 0},          // not UTF-8: still one answer
        {"en_US", "x\xe2\x82", "x\xe2\x82y", -1},
    };
    for (const Row& row : rows) {
        ASSERT_TRUE(locale.setLocaleIdentifier(row.locale));
        EXPECT_EQ(sign(locale.localizedCaseInsensitiveCompare(row.a, row.b)), row.order) << row.a << " vs " << row.b;
        EXPECT_EQ(sign(locale.localizedCaseInsensitiveCompare(row.b, row.a)), -row.order) << row.b << " vs " << row.a;
    }
}

TEST(SimLocale, UnknownNamesChangeNothing) {
    sim::SimLocale locale;
    EXPECT_FALSE(locale.setTimeZoneName("Mars/Olympus_Mons"));
    EXPECT_FALSE(locale.setLocaleIdentifier("xx_YY"));
    EXPECT_FALSE(locale.setLocaleIdentifier(""));
    EXPECT_EQ(locale.currentTimeZoneName(), "UTC");
    EXPECT_EQ(locale.currentLocaleIdentifier(), "en_US");
    EXPECT_FALSE(locale.addDays(1e300, 1));
    EXPECT_FALSE(locale.addDays(0, 1LL << 40));
}

}  // namespace
