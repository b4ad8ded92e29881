#include "ax/AX.h"

#include <gtest/gtest.h>

#include "support/InstalledDesktop.h"

namespace durazizi {
namespace {

using platform::CFType;
using platform::CGWindowID;

sim::AppSpec appSpec(const std::string& bundleId, const std::string& name) {
    sim::AppSpec spec;
    spec.bundleId = bundleId;
    spec.name = name;
    return spec;
}

sim::WindowSpec windowSpec(platform::pid_t pid, const std::string& title, kit::Rect frame = {100, 100, 800, 600}) {
    sim::WindowSpec spec;
    spec.pid = pid;
    spec.title = title;
    spec.frame = frame;
    return spec;
}

class AXTest : public ::testing::Test {
protected:
    testsupport::InstalledDesktop installed;
    sim::Desktop& desktop = installed.desktop;
    platform::pid_t pid = 0;

    void SetUp() override {
        desktop.addScreen({0, 0, 1440, 900});
        desktop.setAccessibilityTrusted(true);
        pid = desktop.addApplication(appSpec("com.example.editor", "Editor"));
    }

    CGWindowID addWindow(const std::string& title, kit::Rect frame, int depth = 3) {
        sim::WindowSpec spec = windowSpec(pid, title, frame);
        spec.depth = depth;
        return desktop.addWindow(spec);
    }

    AX::Element windowElement(CGWindowID id) {
        auto window = AX::window(pid, id);
        EXPECT_TRUE(window.has_value()) << "window " << id;
        return window.value_or(nullptr);
    }

    // What the window server knows the element as; 0 when it cannot say.
    static CGWindowID numberOf(const std::optional<AX::Element>& element) {
        CGWindowID number = 0;
        if (!element) return 0;
        if (platform::current().accessibility().getWindow(*element, &number) != platform::kAXErrorSuccess) return 0;
        return number;
    }

    // The application's windows in the order it reports them.
    std::vector<CGWindowID> reportedOrder() {
        std::vector<CGWindowID> ids;
        auto application = platform::current().accessibility().createApplication(pid);
        for (const auto& window : AX::children(application, AX::kAXWindowsAttribute)) ids.push_back(numberOf(window));
        return ids;
    }
};

TEST_F(AXTest, TypedReadsAnswerOnlyForTheirOwnType) {
    CGWindowID id = addWindow("Notes", {100, 120, 640, 480});
    sim::WindowSpec old = windowSpec(pid, "Old");
    old.minimized = true;
    CGWindowID minimized = desktop.addWindow(old);
    AX::Element window = windowElement(id);

    EXPECT_EQ(AX::string(window, AX::kAXTitleAttribute), "Notes");
    EXPECT_EQ(AX::point(window, AX::kAXPositionAttribute), (kit::Point{100, 120}));
    EXPECT_EQ(AX::size(window, AX::kAXSizeAttribute), (kit::Size{640, 480}));
    EXPECT_FALSE(AX::boolValue(window, AX::kAXMinimizedAttribute));
    EXPECT_TRUE(AX::boolValue(windowElement(minimized), AX::kAXMinimizedAttribute));

    // Each read refuses a value of another type.
    EXPECT_EQ(AX::point(window, AX::kAXSizeAttribute), std::nullopt);
    EXPECT_EQ(AX::size(window, AX::kAXPositionAttribute), std::nullopt);
    EXPECT_EQ(AX::string(window, AX::kAXPositionAttribute), std::nullopt);
    EXPECT_FALSE(AX::boolValue(window, AX::kAXTitleAttribute));
    EXPECT_EQ(AX::element(window, AX::kAXTitleAttribute), std::nullopt);
    EXPECT_TRUE(AX::children(window, AX::kAXTitleAttribute).empty());
    EXPECT_TRUE(AX::element(window, AX::kAXParentAttribute).has_value());

    // Values no simulated app would give, as a misbehaving one might.
    const sim::ElementPath path{.pid = pid, .window = id};
    desktop.overrideAttribute(path, AX::kAXPositionAttribute, CFType("100,120"));
    EXPECT_EQ(AX::point(window, AX::kAXPositionAttribute), std::nullopt);
    desktop.overrideAttribute(path, AX::kAXPositionAttribute, CFType(platform::AXValue::create(kit::Size{1, 2})));
    EXPECT_EQ(AX::point(window, AX::kAXPositionAttribute), std::nullopt);
    desktop.overrideAttribute(path, AX::kAXTitleAttribute, std::nullopt);
    EXPECT_EQ(AX::string(window, AX::kAXTitleAttribute), std::nullopt);

    const std::vector<std::pair<CFType, bool>> flags = {
        {CFType(true), true}, {CFType(platform::CFNumber{1}), true}, {CFType(platform::CFNumber{0}), false},
        {CFType(false), false}, {CFType("true"), false}, {CFType(platform::CFNumber{-2}), true},
    };
    for (const auto& [value, expected] : flags) {
        desktop.overrideAttribute(path, AX::kAXMinimizedAttribute, value);
        EXPECT_EQ(AX::boolValue(window, AX::kAXMinimizedAttribute), expected);
    }

    desktop.failAXRead(pid, AX::kAXSizeAttribute);
    EXPECT_EQ(AX::size(window, AX::kAXSizeAttribute), std::nullopt);

    EXPECT_EQ(AX::string(nullptr, AX::kAXTitleAttribute), std::nullopt);
    EXPECT_TRUE(AX::children(nullptr, AX::kAXWindowsAttribute).empty());
}

TEST_F(AXTest, ChildrenKeepsOnlyElements) {
    CGWindowID first = addWindow("One", {0, 30, 300, 200});
    CGWindowID second = addWindow("Two", {400, 30, 300, 200});
    AX::Element one = windowElement(first);
    AX::Element two = windowElement(second);
    desktop.overrideAttribute({.pid = pid}, AX::kAXWindowsAttribute,
                              CFType(platform::CFArray{CFType("junk"), CFType(two), CFType(platform::CFNumber{3}),
                                                       CFType(one)}));

    auto application = platform::current().accessibility().createApplication(pid);
    auto windows = AX::children(application, AX::kAXWindowsAttribute);
    ASSERT_EQ(windows.size(), 2u);
    EXPECT_EQ(numberOf(windows[0]), second);
    EXPECT_EQ(numberOf(windows[1]), first);
    EXPECT_EQ(numberOf(AX::window(pid, std::nullopt, std::nullopt)), second);
}

TEST_F(AXTest, WindowAtTopLeftWalksAtMostTwelveElements) {
    // The element under the pointer lies `depth` levels below its window,
    // which is then the (depth + 1)th element of the walk.
    const std::vector<std::pair<int, bool>> rows = {{1, true}, {3, true}, {10, true}, {11, true},
                                                    {12, false}, {20, false}};
    for (std::size_t i = 0; i < rows.size(); ++i) {
        auto [depth, found] = rows[i];
        const kit::Rect frame{10.0 + 220.0 * static_cast<double>(i), 100, 200, 300};
        CGWindowID id = addWindow("Deep", frame, depth);
        auto window = AX::windowAtTopLeft(frame.center());
        EXPECT_EQ(window.has_value(), found) << "depth " << depth;
        if (found) {
            EXPECT_EQ(numberOf(window), id) << "depth " << depth;
        }
    }
}

TEST_F(AXTest, WindowAtTopLeftFindsOnlyWindowsByRole) {
    CGWindowID id = addWindow("Doc", {200, 200, 600, 400}, 5);
    const kit::Point content{500, 400};

    EXPECT_EQ(numberOf(AX::windowAtTopLeft(content)), id);
    EXPECT_EQ(AX::windowAtTopLeft({700, 10}), std::nullopt) << "menu bar";
    EXPECT_EQ(AX::windowAtTopLeft({1300, 700}), std::nullopt) << "empty desktop";

    // An element that will not say its role is passed over, not a dead end.
    desktop.overrideAttribute({.pid = pid, .window = id, .contentLevel = 2}, AX::kAXRoleAttribute, std::nullopt);
    EXPECT_EQ(numberOf(AX::windowAtTopLeft(content)), id);

    // Any element with the window role qualifies; the subrole is not looked at.
    desktop.overrideAttribute({.pid = pid, .window = id}, AX::kAXSubroleAttribute, CFType("AXFloatingWindow"));
    EXPECT_EQ(numberOf(AX::windowAtTopLeft(content)), id);
    desktop.overrideAttribute({.pid = pid, .window = id, .contentLevel = 3}, AX::kAXRoleAttribute,
                              CFType(AX::kAXWindowRole));
    auto impostor = AX::windowAtTopLeft(content);
    ASSERT_TRUE(impostor.has_value());
    EXPECT_EQ(AX::string(*impostor, AX::kAXRoleAttribute), AX::kAXWindowRole);
    EXPECT_NE(numberOf(impostor), id);
}

TEST_F(AXTest, WindowAtTopLeftStopsAtABrokenParent) {
    CGWindowID id = addWindow("Doc", {200, 200, 600, 400}, 4);
    const kit::Point content{500, 400};
    const sim::ElementPath middle{.pid = pid, .window = id, .contentLevel = 1};

    desktop.overrideAttribute(middle, AX::kAXParentAttribute, CFType("AXWindow"));
    EXPECT_EQ(AX::windowAtTopLeft(content), std::nullopt) << "parent is not an element";
    desktop.overrideAttribute(middle, AX::kAXParentAttribute, std::nullopt);
    EXPECT_EQ(AX::windowAtTopLeft(content), std::nullopt) << "no parent";
}

TEST_F(AXTest, WindowAtTopLeftOnDisplaysLeftAndAbove) {
    desktop.addScreen({-1920, 0, 1920, 1080});
    desktop.addScreen({0, -1000, 1600, 1000});
    CGWindowID left = addWindow("Left", {-1500, 300, 800, 500});
    CGWindowID above = addWindow("Above", {100, -800, 800, 500});

    EXPECT_EQ(numberOf(AX::windowAtTopLeft({-1100, 600})), left);
    EXPECT_EQ(numberOf(AX::windowAtTopLeft({500, -500})), above);
}

TEST_F(AXTest, SystemWideSurvivesANewProcess) {
    CGWindowID id = addWindow("Doc", {200, 200, 600, 400});
    EXPECT_EQ(numberOf(AX::windowAtTopLeft({500, 400})), id);
    EXPECT_EQ(AX::systemWide(), AX::systemWide()) << "made once per process";
    {
        testsupport::InstalledDesktop other;
        other.desktop.addScreen({0, 0, 1440, 900});
        other.desktop.setAccessibilityTrusted(true);
        auto otherPid = other.desktop.addApplication(appSpec("com.example.other", "Other"));
        CGWindowID otherId = other.desktop.addWindow(windowSpec(otherPid, "Other", {200, 200, 600, 400}));
        EXPECT_EQ(numberOf(AX::windowAtTopLeft({500, 400})), otherId);
    }
    platform::install(&desktop);
    EXPECT_EQ(numberOf(AX::windowAtTopLeft({500, 400})), id);
}

TEST_F(AXTest, SetFrameWritesSizePositionSize) {
    struct Row {
        const char* name;
        bool refusesMove;
        bool refusesResize;
        bool result;
        kit::Rect after;
    };
    const kit::Rect requested{300, 200, 500, 400};
    const std::vector<Row> rows = {
        {"plain", false, false, true, requested},
        {"move refused, size applied", true, false, false, {100, 100, 500, 400}},
        {"resize refused, move applied", false, true, true, {300, 200, 800, 600}},
    };
    for (const Row& row : rows) {
        sim::WindowSpec spec = windowSpec(pid, row.name, {100, 100, 800, 600});
        spec.refusesMove = row.refusesMove;
        spec.refusesResize = row.refusesResize;
        CGWindowID id = desktop.addWindow(spec);
        EXPECT_EQ(AX::setFrame(windowElement(id), requested), row.result) << row.name;
        EXPECT_EQ(desktop.window(id).frame, row.after) << row.name;
    }
}

// The desktop as another process sees it, with every accessibility write
// noted in the order it arrives.
class WriteRecorder final : public platform::Platform, public platform::Accessibility {
public:
    struct Write {
        std::string attribute;
        platform::AXValue value;
    };
    std::vector<Write> writes;

    explicit WriteRecorder(sim::Desktop& desktop) : desktop_(desktop), ax_(desktop.accessibility()) {}

    platform::Defaults& defaults() override { return desktop_.defaults(); }
    platform::Clock& clock() override { return desktop_.clock(); }
    platform::RunLoop& runLoop() override { return desktop_.runLoop(); }
    platform::Accessibility& accessibility() override { return *this; }
    platform::Screens& screens() override { return desktop_.screens(); }
    platform::Workspace& workspace() override { return desktop_.workspace(); }
    platform::Files& files() override { return desktop_.files(); }
    platform::LoginService& loginService() override { return desktop_.loginService(); }
    platform::Application& application() override { return desktop_.application(); }
    platform::Capture& capture() override { return desktop_.capture(); }

    platform::AXUIElementRef createSystemWide() override { return ax_.createSystemWide(); }
    platform::AXUIElementRef createApplication(platform::pid_t pid) override { return ax_.createApplication(pid); }
    platform::AXError copyAttributeValue(const platform::AXUIElementRef& element, const std::string& attribute,
                                         CFType* value) override {
        return ax_.copyAttributeValue(element, attribute, value);
    }
    platform::AXError setAttributeValue(const platform::AXUIElementRef& element, const std::string& attribute,
                                        const CFType& value) override {
        writes.push_back({attribute, value.axValue() ? *value.axValue() : platform::AXValue{}});
        return ax_.setAttributeValue(element, attribute, value);
    }
    platform::AXError performAction(const platform::AXUIElementRef& element, const std::string& action) override {
        return ax_.performAction(element, action);
    }
    platform::AXError copyElementAtPosition(const platform::AXUIElementRef& application, float x, float y,
                                            platform::AXUIElementRef* element) override {
        return ax_.copyElementAtPosition(application, x, y, element);
    }
    platform::AXError getWindow(const platform::AXUIElementRef& element, CGWindowID* windowID) override {
        return ax_.getWindow(element, windowID);
    }
    bool isProcessTrusted() override { return ax_.isProcessTrusted(); }
    bool isProcessTrustedWithOptions(bool prompt) override { return ax_.isProcessTrustedWithOptions(prompt); }

private:
    sim::Desktop& desktop_;
    platform::Accessibility& ax_;
};

TEST_F(AXTest, SetFrameSizesBeforeAndAfterTheMove) {
    // Moving a large window first would let the system clamp it against the
    // screen edge; sizing again after the move undoes a size clamped at the
    // old place.
    for (bool refusesMove : {false, true}) {
        sim::WindowSpec spec = windowSpec(pid, "Doc", {600, 500, 400, 300});
        spec.refusesMove = refusesMove;
        CGWindowID id = desktop.addWindow(spec);
        AX::Element window = windowElement(id);

        WriteRecorder recorder(desktop);
        platform::install(&recorder);
        bool moved = AX::setFrame(window, {0, 24, 700, 870});
        platform::install(&desktop);

        EXPECT_EQ(moved, !refusesMove);
        ASSERT_EQ(recorder.writes.size(), 3u);
        EXPECT_EQ(recorder.writes[0].attribute, AX::kAXSizeAttribute);
        EXPECT_EQ(recorder.writes[0].value.size, (kit::Size{700, 870}));
        EXPECT_EQ(recorder.writes[1].attribute, AX::kAXPositionAttribute);
        EXPECT_EQ(recorder.writes[1].value.point, (kit::Point{0, 24}));
        EXPECT_EQ(recorder.writes[2].attribute, AX::kAXSizeAttribute);
        EXPECT_EQ(recorder.writes[2].value.size, (kit::Size{700, 870}));
    }
}

TEST_F(AXTest, SetFrameFailsWithoutAccess) {
    CGWindowID id = addWindow("Doc", {100, 100, 800, 600});
    AX::Element window = windowElement(id);

    desktop.failAXWrite(pid, AX::kAXPositionAttribute);
    EXPECT_FALSE(AX::setFrame(window, {300, 200, 500, 400}));
    EXPECT_EQ(desktop.window(id).frame.size, (kit::Size{500, 400}));

    desktop.setAccessibilityTrusted(false);
    EXPECT_FALSE(AX::setFrame(window, {0, 30, 200, 200}));
    EXPECT_EQ(desktop.window(id).frame, (kit::Rect{100, 100, 500, 400}));
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
    desktop.overrideWindowNumber(a, std::nullopt);
    EXPECT_EQ(numberOf(AX::window(pid, c)), c);
    EXPECT_EQ(AX::window(pid, a), std::nullopt);

    // Some windows report number 0; asking for 0 must not pick them.
    desktop.overrideWindowNumber(b, 0);
    EXPECT_EQ(AX::window(pid, 0), std::nullopt);

    desktop.setAXDead(pid);
    EXPECT_EQ(AX::window(pid, c), std::nullopt);
}

TEST_F(AXTest, WindowByTitlePrefersAnExactTitle) {
    CGWindowID alpha = addWindow("Alpha", {0, 30, 300, 200});
    CGWindowID beta = addWindow("Beta", {400, 30, 300, 200});
    CGWindowID lowerBeta = addWindow("beta", {800, 30, 300, 200});
    addWindow("", {1100, 600, 300, 200});
    const CGWindowID first = reportedOrder().front();

    EXPECT_EQ(numberOf(AX::window(pid, "beta", std::nullopt)), lowerBeta);
    EXPECT_EQ(numberOf(AX::window(pid, "Beta", kit::Rect{0, 30, 300, 200})), beta)
        << "the title wins over nearness";
    EXPECT_EQ(numberOf(AX::window(pid, "Beta ", std::nullopt)), first) << "spacing matters";
    EXPECT_EQ(numberOf(AX::window(pid, "", std::nullopt)), first);
    EXPECT_EQ(numberOf(AX::window(pid, "", kit::Rect{790, 40, 10, 10})), lowerBeta)
        << "an empty title is no title";
    EXPECT_EQ(numberOf(AX::window(pid, "Gamma", kit::Rect{10, 40, 10, 10})), alpha);

    // A window whose title cannot be read never matches.
    desktop.overrideAttribute({.pid = pid, .window = beta}, AX::kAXTitleAttribute, std::nullopt);
    EXPECT_EQ(numberOf(AX::window(pid, "Beta", kit::Rect{10, 40, 10, 10})), alpha);
}

TEST_F(AXTest, WindowByNearnessKeepsTheEarlierOfEqualDistances) {
    addWindow("Left", {100, 100, 300, 200});
    CGWindowID right = addWindow("Right", {300, 100, 300, 200});
    const std::vector<CGWindowID> order = reportedOrder();
    ASSERT_EQ(order.size(), 2u);

    // Both origins lie 100 points from (200, 100).
    EXPECT_EQ(numberOf(AX::window(pid, std::nullopt, kit::Rect{200, 100, 10, 10})), order[0]);
    // No distance limit.
    EXPECT_EQ(numberOf(AX::window(pid, std::nullopt, kit::Rect{90000, 100, 1, 1})), right);
}

TEST_F(AXTest, WindowByNearnessRanksUnreadableFramesAtTheOrigin) {
    CGWindowID far = addWindow("Far", {900, 600, 300, 200});
    CGWindowID near = addWindow("Near", {40, 40, 300, 200});
    const kit::Rect corner{0, 0, 10, 10};
    EXPECT_EQ(numberOf(AX::window(pid, std::nullopt, corner)), near);

    desktop.overrideAttribute({.pid = pid, .window = far}, AX::kAXSizeAttribute, std::nullopt);
    EXPECT_EQ(numberOf(AX::window(pid, std::nullopt, corner)), far) << "unreadable size";

    desktop.overrideAttribute({.pid = pid, .window = far}, AX::kAXSizeAttribute,
                              CFType(platform::AXValue::create(kit::Size{300, 200})));
    desktop.overrideAttribute({.pid = pid, .window = far}, AX::kAXPositionAttribute,
                              CFType(platform::AXValue::create(kit::Size{900, 600})));
    EXPECT_EQ(numberOf(AX::window(pid, std::nullopt, corner)), far) << "position of the wrong type";
}

TEST_F(AXTest, WindowByTitleNeedsWindows) {
    EXPECT_EQ(AX::window(pid, "Doc", kit::Rect{0, 0, 10, 10}), std::nullopt);
    addWindow("Doc", {0, 30, 300, 200});
    desktop.setAccessibilityTrusted(false);
    EXPECT_EQ(AX::window(pid, "Doc", kit::Rect{0, 0, 10, 10}), std::nullopt);
}

}  // namespace
}  // namespace durazizi
