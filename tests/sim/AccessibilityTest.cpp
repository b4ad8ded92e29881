#include "sim/SimWorld.h"

namespace {

using namespace simtest;
using platform::AXValue;

class SimAccessibility : public World {
protected:
    platform::pid_t editor = addApp("Editor");

    CGWindowID add(const std::string& title, kit::Rect frame, void (*tweak)(sim::WindowSpec&) = nullptr) {
        sim::WindowSpec spec;
        spec.pid = editor;
        spec.title = title;
        spec.frame = frame;
        if (tweak) tweak(spec);
        return desktop.windows().add(spec);
    }
    // The first element with the window role at or above `e`, and how many steps up it was.
    std::pair<std::optional<CGWindowID>, int> windowAbove(AX::Element e) {
        for (int steps = 0; e && steps < 20; ++steps) {
            if (role(e) == "AXWindow") return {number(e), steps};
            e = AX::element(e, "AXParent").value_or(nullptr);
        }
        return {std::nullopt, -1};
    }
};

TEST_F(SimAccessibility, HitTestingFindsTheFrontWindowsDeepestElementAndItsCloseButton) {
    auto back = add("Back", {100, 100, 600, 400});
    auto front = add("Front", {300, 200, 600, 400}, [](sim::WindowSpec& s) { s.depth = 5; });
    add("Hidden", {0, 0, 1440, 900}, [](sim::WindowSpec& s) { s.minimized = true; });

    // The overlap belongs to the front window; its deepest element is 5
    // levels down. Far edges are outside (CGRectContainsPoint).
    EXPECT_EQ(role(at({400, 300})), "AXTextArea");
    EXPECT_EQ(windowAbove(at({400, 300})), std::pair(std::optional(front), 5));
    EXPECT_EQ(windowAbove(at({150, 150})).first, back);
    EXPECT_EQ(windowAbove(at({899.5, 300})).first, front);
    EXPECT_EQ(role(at({900, 300})), std::nullopt);

    // The close button spans 8..22 across and 4..18 down from the window's corner.
    EXPECT_EQ(AX::string(at({308, 204}), "AXSubrole"), "AXCloseButton");
    EXPECT_EQ(role(at({322, 204})), "AXTextArea");
    EXPECT_EQ(role(at({307.5, 204})), "AXTextArea");
}

TEST_F(SimAccessibility, WindowsAreListedFrontToBackWithMinimizedOnesLast) {
    auto a = addWindow(editor, "A");
    auto m = add("M", {100, 100, 800, 600}, [](sim::WindowSpec& s) { s.minimized = true; });
    auto b = addWindow(editor, "B");
    auto app = ax.createApplication(editor);

    std::vector<CGWindowID> listed;
    for (const auto& w : AX::children(app, "AXWindows")) listed.push_back(number(w).value_or(0));
    EXPECT_EQ(listed, (std::vector<CGWindowID>{b, a, m}));
    EXPECT_EQ(number(AX::element(app, "AXFocusedWindow")), b);

    // Un-minimizing brings the window forward; it is focused once its app is frontmost.
    ASSERT_EQ(ax.setAttributeValue(windowOf(editor, m), "AXMinimized", false), platform::kAXErrorSuccess);
    EXPECT_EQ(number(AX::element(app, "AXFocusedWindow")), m);
    EXPECT_FALSE(desktop.windows().info(m).focused);
    desktop.processes().setFrontmost(editor);
    EXPECT_TRUE(desktop.windows().info(m).focused);
}

TEST_F(SimAccessibility, FrameWritesAreRequestsTheAppAppliesOrRefuses) {
    desktop.screens().add({-1280, -300, 1280, 1024});   // left of and above the primary
    struct Case {
        const char* what;
        bool refusesMove, refusesResize;
        kit::Rect requested;
        AXError sizeError, positionError;
        kit::Rect applied;
    };
    constexpr AXError ok = platform::kAXErrorSuccess, refused = platform::kAXErrorCannotComplete;
    const Case cases[] = {
        {"as asked", false, false, {50, 60, 500, 400}, ok, ok, {50, 60, 500, 400}},
        {"below the minimum size", false, false, {50, 60, 100, 50}, ok, ok, {50, 60, 300, 200}},
        {"under the menu bar", false, false, {200, 5, 500, 400}, ok, ok, {200, 24, 500, 400}},
        {"under the other menu bar", false, false, {-1000, -320, 500, 400}, ok, ok, {-1000, -276, 500, 400}},
        {"lower on the other display", false, false, {-1000, 500, 500, 400}, ok, ok, {-1000, 500, 500, 400}},
        {"refuses to move", true, false, {10, 400, 500, 400}, ok, refused, {100, 100, 500, 400}},
        {"refuses to resize", false, true, {10, 400, 500, 400}, refused, ok, {10, 400, 800, 600}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        sim::WindowSpec spec;
        spec.pid = editor;
        spec.minimumSize = {300, 200};
        spec.refusesMove = c.refusesMove;
        spec.refusesResize = c.refusesResize;
        const auto id = desktop.windows().add(spec);
        const auto window = windowOf(editor, id);
        EXPECT_EQ(ax.setAttributeValue(window, "AXSize", AXValue::create(c.requested.size)), c.sizeError);
        EXPECT_EQ(ax.setAttributeValue(window, "AXPosition", AXValue::create(c.requested.origin)), c.positionError);
        EXPECT_EQ(desktop.windows().info(id).frame, c.applied);
        EXPECT_EQ(AX::point(window, "AXPosition"), c.applied.origin);
        EXPECT_EQ(AX::size(window, "AXSize"), c.applied.size);

        // Values of the wrong type are refused and change nothing.
        EXPECT_EQ(ax.setAttributeValue(window, "AXPosition", AXValue::create(kit::Size{1, 1})),
                  platform::kAXErrorIllegalArgument);
        EXPECT_EQ(ax.setAttributeValue(window, "AXSize", CFType("wide")), platform::kAXErrorIllegalArgument);
        EXPECT_EQ(ax.setAttributeValue(window, "AXMinimized", CFType(platform::CFNumber{1})),
                  platform::kAXErrorIllegalArgument);
        EXPECT_EQ(desktop.windows().info(id).frame, c.applied);
        EXPECT_FALSE(desktop.windows().info(id).minimized);
    }
}

TEST_F(SimAccessibility, ElementsOfClosedWindowsAndEndedProcessesAreInvalid) {
    auto id = addWindow(editor, "Doc");
    auto keep = windowOf(editor, addWindow(editor, "Keep", {900, 100, 300, 300}));
    auto window = windowOf(editor, id);
    ASSERT_EQ(ax.performAction(AX::element(window, "AXCloseButton").value_or(nullptr), "AXPress"),
              platform::kAXErrorSuccess);
    EXPECT_FALSE(desktop.windows().info(id).exists);
    EXPECT_EQ(read(window, "AXTitle"), platform::kAXErrorInvalidUIElement);

    // The NSRunningApplication handle outlives the process; its elements do not.
    auto handle = desktop.workspace().runningApplicationsWithBundleIdentifier("com.example.Editor").at(0);
    desktop.processes().quit(editor);
    EXPECT_EQ(read(keep, "AXTitle"), platform::kAXErrorInvalidUIElement);
    EXPECT_EQ(read(ax.createApplication(editor), "AXWindows"), platform::kAXErrorInvalidUIElement);
    EXPECT_TRUE(handle->isTerminated());
    EXPECT_FALSE(handle->activate());
}

}  // namespace
