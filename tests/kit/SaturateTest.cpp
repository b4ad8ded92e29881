#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "kit/Saturate.h"

namespace {

using kit::saturatingCast;

TEST(SaturatingCast, ClampsToTheTargetRangeAndTruncatesInside) {
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    constexpr double inf = std::numeric_limits<double>::infinity();
    constexpr int intMax = std::numeric_limits<int>::max();
    constexpr int intMin = std::numeric_limits<int>::min();
    constexpr std::int64_t longMax = std::numeric_limits<std::int64_t>::max();
    constexpr std::int64_t longMin = std::numeric_limits<std::int64_t>::min();

    EXPECT_EQ(saturatingCast<int>(nan), 0);
    EXPECT_EQ(saturatingCast<int>(inf), intMax);
    EXPECT_EQ(saturatingCast<int>(-inf), intMin);
    EXPECT_EQ(saturatingCast<int>(2147483647.9), intMax);
    EXPECT_EQ(saturatingCast<int>(2147483646.9), 2147483646);
    EXPECT_EQ(saturatingCast<int>(-2147483648.9), intMin);
    EXPECT_EQ(saturatingCast<int>(-2.7), -2);
    // 2^63 is the first double past the largest 64-bit integer.
    EXPECT_EQ(saturatingCast<std::int64_t>(9223372036854775808.0), longMax);
    EXPECT_EQ(saturatingCast<std::int64_t>(9223372036854774784.0), 9223372036854774784);
    EXPECT_EQ(saturatingCast<std::int64_t>(-1e300), longMin);
    EXPECT_EQ(saturatingCast<std::uint32_t>(-1.0), 0u);
    EXPECT_EQ(saturatingCast<int>(longMax), intMax);
    EXPECT_EQ(saturatingCast<int>(longMin), intMin);
    EXPECT_EQ(saturatingCast<std::uint32_t>(std::int64_t{-5}), 0u);
}

}  // namespace
