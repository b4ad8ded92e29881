#include "ax/AX.h"

#include "ax/AXWorld.h"

namespace {

using namespace axtest;
using platform::AXValue;
using platform::CFNumber;

class AXTest : public AXWorld {
protected:
    AX::Element windowElement(CGWindowID id) {
        auto window = AX::window(pid, id);
        EXPECT_TRUE(window.has_value()) << "window " << id;
        return window.value_or(nullptr);
    }
};

TEST_F(AXTest, TypedReadsAnswerOnlyForTheirOwnType) {
    CGWindowID id = addWindow("Notes", {100, 120, 640, 480});
    AX::Element window = windowElement(id);
    EXPECT_EQ(AX::string(window, AX::kAXTitleAttribute), "Notes");
    EXPECT_EQ(AX::point(window, AX::kAXPositionAttribute), (kit::Point{100, 120}));
    EXPECT_EQ(AX::size(window, AX::kAXSizeAttribute), (kit::Size{640, 480}));
    EXPECT_TRUE(AX::element(window, AX::kAXParentAttribute).has_value());

    // Each read refuses a value of another type.
    EXPECT_EQ(AX::point(window, AX::kAXSizeAttribute), std::nullopt);
    EXPECT_EQ(AX::size(window, AX::kAXPositionAttribute), std::nullopt);
    EXPECT_EQ(AX::string(window, AX::kAXPositionAttribute), std::nullopt);
    EXPECT_FALSE(AX::boolValue(window, AX::kAXTitleAttribute));
    EXPECT_EQ(AX::element(window, AX::kAXTitleAttribute), std::nullopt);
    EXPECT_TRUE(AX::children(window, AX::kAXTitleAttribute).empty());

    // Values no simulated app would give, as a misbehaving one might.
    override(id, AX::kAXPositionAttribute, CFType("100,120"));
    EXPECT_EQ(AX::point(window, AX::kAXPositionAttribute), std::nullopt);
    override(id, AX::kAXPositionAttribute, CFType(AXValue::create(kit::Size{1, 2})));
    EXPECT_EQ(AX::point(window, AX::kAXPositionAttribute), std::nullopt);
    override(id, AX::kAXTitleAttribute, std::nullopt);
    EXPECT_EQ(AX::string(window, AX::kAXTitleAttribute), std::nullopt);
    const std::pair<CFType, bool> flags[] = {
        {CFType(true), true},   {CFType(CFNumber{1}), true}, {CFType(CFNumber{0}), false},
        {CFType(false), false}, {CFType("true"), false},     {CFType(CFNumber{-2}), true},
    };
    for (const auto& [value, expected] : flags) {
        override(id, AX::kAXMinimizedAttribute, value);
        EXPECT_EQ(AX::boolValue(window, AX::kAXMinimizedAttribute), expected);
    }

    desktop.accessibility().failRead(pid, AX::kAXSizeAttribute);
    EXPECT_EQ(AX::size(window, AX::kAXSizeAttribute), std::nullopt);
    EXPECT_EQ(AX::string(nullptr, AX::kAXTitleAttribute), std::nullopt);
    EXPECT_TRUE(AX::children(nullptr, AX::kAXWindowsAttribute).empty());
}

TEST_F(AXTest, ChildrenKeepsOnlyElements) {
    CGWindowID first = addWindow("One", {0, 30, 300, 200});
    CGWindowID second = addWindow("Two", {400, 30, 300, 200});
    desktop.accessibility().overrideAttribute({.pid = pid}, AX::kAXWindowsAttribute,
                              CFType(platform::CFArray{CFType("junk"), CFType(windowElement(second)),
                                                       CFType(CFNumber{3}), CFType(windowElement(first))}));
    EXPECT_EQ(reportedOrder(), (std::vector<CGWindowID>{second, first}));
    EXPECT_EQ(numberOf(AX::window(pid, std::nullopt, std::nullopt)), second);
}

TEST_F(AXTest, WindowAtTopLeftWalksAtMostTwelveElements) {
    // The element under the pointer lies `depth` levels below its window,
    // which is then the (depth + 1)th element of the walk.
    const std::pair<int, bool> rows[] = {{1, true}, {3, true}, {10, true}, {11, true}, {12, false}, {20, false}};
    double x = 10;
    for (auto [depth, found] : rows) {
        const kit::Rect frame{x, 100, 200, 300};
        x += 220;
        CGWindowID id = addWindow("Deep", frame, depth);
        EXPECT_EQ(numberOf(AX::windowAtTopLeft(frame.center())), found ? id : 0) << "depth " << depth;
    }
}

TEST_F(AXTest, WindowAtTopLeftFindsOnlyWindowsByRoleAndStopsAtABrokenParent) {
    desktop.screens().add({-1920, 0, 1920, 1080});
    CGWindowID left = addWindow("Left", {-1500, 300, 800, 500});
    CGWindowID id = addWindow("Doc", {200, 200, 600, 400}, 5);
    const kit::Point content{500, 400};
    const auto at = [&](int level) { return sim::ElementPath{.pid = pid, .window = id, .contentLevel = level}; };

    EXPECT_EQ(numberOf(AX::windowAtTopLeft(content)), id);
    EXPECT_EQ(numberOf(AX::windowAtTopLeft({-1100, 600})), left);
    EXPECT_EQ(AX::windowAtTopLeft({700, 10}), std::nullopt) << "menu bar";
    EXPECT_EQ(AX::windowAtTopLeft({1300, 700}), std::nullopt) << "empty desktop";

    // An element that will not say its role is passed over, not a dead end;
    // any element with the window role qualifies, whatever its subrole.
    desktop.accessibility().overrideAttribute(at(2), AX::kAXRoleAttribute, std::nullopt);
    override(id, AX::kAXSubroleAttribute, CFType("AXFloatingWindow"));
    EXPECT_EQ(numberOf(AX::windowAtTopLeft(content)), id);
    desktop.accessibility().overrideAttribute(at(3), AX::kAXRoleAttribute, CFType(AX::kAXWindowRole));
    auto impostor = AX::windowAtTopLeft(content);
    ASSERT_TRUE(impostor.has_value());
    EXPECT_EQ(AX::string(*impostor, AX::kAXRoleAttribute), AX::kAXWindowRole);
    EXPECT_NE(numberOf(impostor), id);

    // A parent that is not an element, or none at all, ends the walk.
    desktop.accessibility().overrideAttribute(at(3), AX::kAXRoleAttribute, std::nullopt);
    desktop.accessibility().overrideAttribute(at(1), AX::kAXParentAttribute, CFType("AXWindow"));
    EXPECT_EQ(AX::windowAtTopLeft(content), std::nullopt);
    desktop.accessibility().overrideAttribute(at(1), AX::kAXParentAttribute, std::nullopt);
    EXPECT_EQ(AX::windowAtTopLeft(content), std::nullopt);
}

TEST_F(AXTest, SetFrameSizesBeforeAndAfterTheMoveWhichAloneDecidesTheResult) {
    // Moving a large window first would let the system clamp it against the
    // screen edge; sizing again after the move undoes a size clamped at the
    // old place.
    struct Row {
        const char* name;
        bool refusesMove, refusesResize, failPositionWrite;
        bool result;
        kit::Rect after;
    };
    const Row rows[] = {
        {"plain", false, false, false, true, {0, 24, 700, 870}},
        {"move refused, size applied", true, false, false, false, {600, 500, 700, 870}},
        {"resize refused, move applied", false, true, false, true, {0, 24, 400, 300}},
        {"position write fails", false, false, true, false, {600, 500, 700, 870}},
    };
    for (const Row& row : rows) {
        sim::WindowSpec s = spec(pid, row.name, {600, 500, 400, 300});
        s.refusesMove = row.refusesMove;
        s.refusesResize = row.refusesResize;
        CGWindowID id = desktop.windows().add(s);
        AX::Element window = windowElement(id);
        if (row.failPositionWrite) desktop.accessibility().failWrite(pid, AX::kAXPositionAttribute);

        desktop.accessibility().takeWindowWrites();
        EXPECT_EQ(AX::setFrame(window, {0, 24, 700, 870}), row.result) << row.name;
        EXPECT_EQ(desktop.accessibility().takeWindowWrites(),
                  (std::vector<std::string>{"AXSize 700x870", "AXPosition 0,24", "AXSize 700x870"}))
            << row.name;
        EXPECT_EQ(desktop.windows().info(id).frame, row.after) << row.name;
    }

    // Without access nothing moves.
    CGWindowID id = addWindow("Doc", {100, 100, 800, 600});
    AX::Element window = windowElement(id);
    desktop.permissions().setAccessibilityTrusted(false);
    EXPECT_FALSE(AX::setFrame(window, {0, 30, 200, 200}));
    EXPECT_EQ(desktop.windows().info(id).frame, (kit::Rect{100, 100, 800, 600}));
    EXPECT_EQ(AX::windowAtTopLeft({300, 300}), std::nullopt);
    EXPECT_EQ(AX::window(pid, id), std::nullopt);
}

TEST_F(AXTest, WindowByNumber) {
    CGWindowID a = addWindow("A", {0, 30, 300, 200});
    CGWindowID b = addWindow("B", {400, 30, 300, 200});
    CGWindowID c = addWindow("C", {800, 30, 300, 200});

    EXPECT_EQ(numberOf(AX::window(pid, b)), b);
    EXPECT_EQ(AX::window(pid, c + 100), std::nullopt);
    EXPECT_EQ(AX::window(pid + 1000, a), std::nullopt) << "no such process";

    // A window whose number cannot be had is passed over, not a dead end.
    desktop.accessibility().overrideWindowNumber(a, std::nullopt);
    EXPECT_EQ(numberOf(AX::window(pid, c)), c);
    EXPECT_EQ(AX::window(pid, a), std::nullopt);

    // Some windows report number 0; asking for 0 must not pick them.
    desktop.accessibility().overrideWindowNumber(b, 0);
    EXPECT_EQ(AX::window(pid, 0), std::nullopt);

    desktop.accessibility().setDead(pid);
    EXPECT_EQ(AX::window(pid, c), std::nullopt);
}

TEST_F(AXTest, WindowByTitlePrefersAnExactTitle) {
    EXPECT_EQ(AX::window(pid, "Doc", kit::Rect{0, 0, 10, 10}), std::nullopt) << "no windows";
    CGWindowID alpha = addWindow("Alpha", {0, 30, 300, 200});
    CGWindowID beta = addWindow("Beta", {400, 30, 300, 200});
    CGWindowID lowerBeta = addWindow("beta", {800, 30, 300, 200});
    addWindow("", {1100, 600, 300, 200});
    const CGWindowID first = reportedOrder().front();

    EXPECT_EQ(numberOf(AX::window(pid, "beta", std::nullopt)), lowerBeta);
    EXPECT_EQ(numberOf(AX::window(pid, "Beta", kit::Rect{0, 30, 300, 200})), beta) << "the title wins over nearness";
    EXPECT_EQ(numberOf(AX::window(pid, "Beta ", std::nullopt)), first) << "spacing matters";
    EXPECT_EQ(numberOf(AX::window(pid, "", std::nullopt)), first);
    EXPECT_EQ(numberOf(AX::window(pid, "", kit::Rect{790, 40, 10, 10})), lowerBeta) << "an empty title is no title";
    EXPECT_EQ(numberOf(AX::window(pid, "Gamma", kit::Rect{10, 40, 10, 10})), alpha);

    // A window whose title cannot be read never matches.
    override(beta, AX::kAXTitleAttribute, std::nullopt);
    EXPECT_EQ(numberOf(AX::window(pid, "Beta", kit::Rect{10, 40, 10, 10})), alpha);

    desktop.permissions().setAccessibilityTrusted(false);
    EXPECT_EQ(AX::window(pid, "Alpha", kit::Rect{0, 0, 10, 10}), std::nullopt);
}

TEST_F(AXTest, WindowByNearnessKeepsTheEarlierOfEqualDistancesAndRanksUnreadableFramesAtTheOrigin) {
    addWindow("Left", {100, 100, 300, 200});
    CGWindowID right = addWindow("Right", {300, 100, 300, 200});
    const std::vector<CGWindowID> order = reportedOrder();
    ASSERT_EQ(order.size(), 2u);
    // Both origins lie 100 points from (200, 100). No distance limit.
    EXPECT_EQ(numberOf(AX::window(pid, std::nullopt, kit::Rect{200, 100, 10, 10})), order[0]);
    EXPECT_EQ(numberOf(AX::window(pid, std::nullopt, kit::Rect{90000, 100, 1, 1})), right);

    CGWindowID far = addWindow("Far", {900, 600, 300, 200});
    CGWindowID near = addWindow("Near", {40, 40, 300, 200});
    const kit::Rect corner{0, 0, 10, 10};
    EXPECT_EQ(numberOf(AX::window(pid, std::nullopt, corner)), near);
    override(far, AX::kAXSizeAttribute, std::nullopt);
    EXPECT_EQ(numberOf(AX::window(pid, std::nullopt, corner)), far) << "unreadable size";
    override(far, AX::kAXSizeAttribute, CFType(AXValue::create(kit::Size{300, 200})));
    override(far, AX::kAXPositionAttribute, CFType(AXValue::create(kit::Size{900, 600})));
    EXPECT_EQ(numberOf(AX::window(pid, std::nullopt, corner)), far) << "position of the wrong type";
}

}  // namespace
