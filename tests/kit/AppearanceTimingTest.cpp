#include <gtest/gtest.h>

#include "kit/Appearance.h"
#include "kit/Timing.h"

namespace {

using kit::Appearance;
using kit::Color;
using kit::TimingFunction;

TEST(Appearance, SemanticColoursResolvePerAppearance) {
    struct Case {
        Color color;
        Appearance appearance;
        Color expected;
    };
    const Case cases[] = {
        {Color::label(), Appearance::Aqua, Color::rgba(0, 0, 0, 0.85)},
        {Color::label(), Appearance::DarkAqua, Color::rgba(1, 1, 1, 0.85)},
        {Color::secondaryLabel(), Appearance::Aqua, Color::rgba(0, 0, 0, 0.5)},
        {Color::secondaryLabel(), Appearance::VibrantDark, Color::rgba(1, 1, 1, 0.5)},
        {Color::accent(), Appearance::Aqua, Color::rgba(0.0, 0.48, 1.0, 1)},
        // The tile's hover highlight, and the fixed colours, ignore the appearance.
        {Color::white(0.18), Appearance::DarkAqua, Color::rgba(1, 1, 1, 0.18)},
        {Color::black(), Appearance::DarkAqua, Color::rgba(0, 0, 0, 1)},
        {Color::rgba(0.2, 0.3, 0.4, 0.5), Appearance::VibrantDark, Color::rgba(0.2, 0.3, 0.4, 0.5)},
        // A semantic colour's own alpha scales the resolved one.
        {Color::named(Color::Semantic::Label, 0.5), Appearance::Aqua, Color::rgba(0, 0, 0, 0.425)},
    };
    for (const auto& c : cases) {
        const Color r = kit::resolve(c.color, c.appearance);
        EXPECT_EQ(r.semantic, Color::Semantic::None);
        EXPECT_DOUBLE_EQ(r.red, c.expected.red);
        EXPECT_DOUBLE_EQ(r.green, c.expected.green);
        EXPECT_DOUBLE_EQ(r.blue, c.expected.blue);
        EXPECT_DOUBLE_EQ(r.alpha, c.expected.alpha);
    }
    // No appearance of its own: the system's.
    EXPECT_EQ(kit::effectiveAppearance(std::nullopt, Appearance::DarkAqua), Appearance::DarkAqua);
    EXPECT_EQ(kit::effectiveAppearance(Appearance::VibrantLight, Appearance::DarkAqua), Appearance::VibrantLight);
}

TEST(Timing, CurvesStartAndEndExactlyAndStayMonotonic) {
    for (auto name : {TimingFunction::Name::Linear, TimingFunction::Name::EaseIn, TimingFunction::Name::EaseOut,
                      TimingFunction::Name::EaseInEaseOut, TimingFunction::Name::Default}) {
        const TimingFunction f = TimingFunction::named(name);
        EXPECT_EQ(f.valueAt(0), 0);
        EXPECT_EQ(f.valueAt(1), 1);
        EXPECT_EQ(f.valueAt(-0.5), 0);
        EXPECT_EQ(f.valueAt(2), 1);
        double previous = 0;
        for (int i = 1; i <= 1000; ++i) {
            const double v = f.valueAt(i / 1000.0);
            EXPECT_GE(v, previous - 1e-12) << "at " << i;
            EXPECT_LE(v, 1.0 + 1e-12);
            previous = v;
        }
    }
}

TEST(Timing, EaseOutFrontLoadsTheMotion) {
    const TimingFunction easeOut = TimingFunction::named(TimingFunction::Name::EaseOut);
    EXPECT_NEAR(easeOut.valueAt(0.5), 0.6846, 1e-3);   // solved independently
    // Steeper at the start than at the end.
    EXPECT_GT(easeOut.valueAt(0.1) - easeOut.valueAt(0.0), easeOut.valueAt(1.0) - easeOut.valueAt(0.9));

    const TimingFunction linear = TimingFunction::named(TimingFunction::Name::Linear);
    EXPECT_NEAR(linear.valueAt(0.3), 0.3, 1e-9);

    // The ease-in curve mirrors ease-out: in(t) = 1 - out(1 - t).
    const TimingFunction easeIn = TimingFunction::named(TimingFunction::Name::EaseIn);
    for (double t : {0.1, 0.25, 0.5, 0.8}) EXPECT_NEAR(easeIn.valueAt(t), 1 - easeOut.valueAt(1 - t), 1e-6);

    EXPECT_LT(easeIn.valueAt(0.5), 0.5);
    EXPECT_GT(TimingFunction::named(TimingFunction::Name::Default).valueAt(0.5), 0.5);
}

}  // namespace
