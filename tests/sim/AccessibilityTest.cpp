#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "support/InstalledDesktop.h"

namespace {

using platform::AXError;
using platform::AXUIElementRef;
using platform::AXValue;
using platform::CFType;

// Window specs read best with only the fields a case cares about.
struct Spec {
    sim::WindowSpec spec;
    Spec(platform::pid_t pid, std::string title = {}) {
        spec.pid = pid;
        spec.title = std::move(title);
    }
    Spec& frame(kit::Rect r) { spec.frame = r; return *this; }
    Spec& subrole(std::string s) { spec.subrole = std::move(s); return *this; }
    Spec& minimized() { spec.minimized = true; return *this; }
    Spec& noCloseButton() { spec.closeButton = false; return *this; }
    Spec& depth(int d) { spec.depth = d; return *this; }
    Spec& minimumSize(kit::Size s) { spec.minimumSize = s; return *this; }
    Spec& refusesMove() { spec.refusesMove = true; return *this; }
    Spec& refusesResize() { spec.refusesResize = true; return *this; }
    operator const sim::WindowSpec&() const { return spec; }
};

sim::AppSpec app(std::string bundleId, std::string name) {
    sim::AppSpec spec;
    spec.bundleId = std::move(bundleId);
    spec.name = std::move(name);
    return spec;
}

// Another application's view of the simulated desktop, through the AX API only.
struct AXClient {
    platform::Accessibility& ax;

    std::optional<std::string> string(const AXUIElementRef& e, const std::string& attribute) {
        CFType v;
        if (ax.copyAttributeValue(e, attribute, &v) != platform::kAXErrorSuccess || !v.string()) return std::nullopt;
        return *v.string();
    }
    AXUIElementRef element(const AXUIElementRef& e, const std::string& attribute) {
        CFType v;
        if (ax.copyAttributeValue(e, attribute, &v) != platform::kAXErrorSuccess || !v.element()) return nullptr;
        return *v.element();
    }
    platform::CFArray array(const AXUIElementRef& e, const std::string& attribute) {
        CFType v;
        if (ax.copyAttributeValue(e, attribute, &v) != platform::kAXErrorSuccess || !v.array()) return {};
        return *v.array();
    }
    std::optional<kit::Point> point(const AXUIElementRef& e) {
        CFType v;
        kit::Point p;
        if (ax.copyAttributeValue(e, "AXPosition", &v) != platform::kAXErrorSuccess || !v.axValue() ||
            !platform::AXValueGetValue(*v.axValue(), platform::kAXValueCGPointType, &p))
            return std::nullopt;
        return p;
    }
    std::optional<kit::Size> size(const AXUIElementRef& e) {
        CFType v;
        kit::Size s;
        if (ax.copyAttributeValue(e, "AXSize", &v) != platform::kAXErrorSuccess || !v.axValue() ||
            !platform::AXValueGetValue(*v.axValue(), platform::kAXValueCGSizeType, &s))
            return std::nullopt;
        return s;
    }
    AXUIElementRef at(float x, float y, AXError* error = nullptr) {
        AXUIElementRef hit;
        AXError err = ax.copyElementAtPosition(ax.createSystemWide(), x, y, &hit);
        if (error) *error = err;
        return err == platform::kAXErrorSuccess ? hit : nullptr;
    }
    std::optional<platform::CGWindowID> number(const AXUIElementRef& e) {
        platform::CGWindowID id = 0;
        if (ax.getWindow(e, &id) != platform::kAXErrorSuccess) return std::nullopt;
        return id;
    }
    // Walks up from an element to the first one whose role is AXWindow.
    AXUIElementRef windowAbove(AXUIElementRef e, int* steps = nullptr) {
        for (int i = 0; e && i < 20; ++i) {
            if (string(e, "AXRole") == "AXWindow") {
                if (steps) *steps = i;
                return e;
            }
            e = element(e, "AXParent");
        }
        return nullptr;
    }
    AXUIElementRef windowOf(platform::pid_t pid, platform::CGWindowID id) {
        for (const CFType& w : array(ax.createApplication(pid), "AXWindows"))
            if (w.element() && number(*w.element()) == id) return *w.element();
        return nullptr;
    }
};

class SimAccessibility : public ::testing::Test {
protected:
    testsupport::InstalledDesktop installed;
    sim::Desktop& desktop = installed.desktop;
    AXClient client{desktop.accessibility()};
    platform::pid_t editor = 0;

    void SetUp() override {
        desktop.addScreen({0, 0, 1440, 900});
        editor = desktop.addApplication(app("com.example.Editor", "Editor"));
    }
};

TEST_F(SimAccessibility, WithoutTrustEveryCallIsRefusedAndStillCounted) {
    auto id = desktop.addWindow(Spec(editor, "Notes"));
    auto window = client.windowOf(editor, id);
    ASSERT_TRUE(window);
    desktop.setAccessibilityTrusted(false);
    desktop.takeAXCalls();

    auto& ax = desktop.accessibility();
    CFType value;
    AXUIElementRef hit;
    platform::CGWindowID number = 0;
    EXPECT_EQ(ax.copyAttributeValue(window, "AXTitle", &value), platform::kAXErrorAPIDisabled);
    EXPECT_EQ(ax.setAttributeValue(window, "AXPosition", AXValue::create(kit::Point{0, 0})),
              platform::kAXErrorAPIDisabled);
    EXPECT_EQ(ax.performAction(window, "AXRaise"), platform::kAXErrorAPIDisabled);
    EXPECT_EQ(ax.copyElementAtPosition(ax.createSystemWide(), 300, 300, &hit), platform::kAXErrorAPIDisabled);
    EXPECT_EQ(ax.getWindow(window, &number), platform::kAXErrorAPIDisabled);
    EXPECT_EQ(desktop.takeAXCalls(), 5u);
    EXPECT_FALSE(ax.isProcessTrusted());

    // Asking with the prompt is counted but grants nothing.
    EXPECT_FALSE(ax.isProcessTrustedWithOptions(true));
    EXPECT_FALSE(ax.isProcessTrustedWithOptions(false));
    EXPECT_EQ(desktop.accessibilityPrompts(), 1);
    EXPECT_EQ(desktop.takeAXCalls(), 0u);
}

TEST_F(SimAccessibility, HitTestingFindsTheFrontWindowsDeepestElementAndItsCloseButton) {
    auto back = desktop.addWindow(Spec(editor, "Back").frame({100, 100, 600, 400}));
    auto front = desktop.addWindow(Spec(editor, "Front").frame({300, 200, 600, 400}).depth(5));
    auto hidden = desktop.addWindow(Spec(editor, "Hidden").frame({0, 0, 1440, 900}).minimized());
    (void)hidden;

    // The overlap belongs to the front window; its deepest element is 5 levels down.
    auto hit = client.at(400, 300);
    ASSERT_TRUE(hit);
    EXPECT_EQ(client.string(hit, "AXRole"), "AXTextArea");
    int steps = 0;
    auto window = client.windowAbove(hit, &steps);
    ASSERT_TRUE(window);
    EXPECT_EQ(steps, 5);
    EXPECT_EQ(client.number(window), front);
    EXPECT_EQ(client.string(window, "AXTitle"), "Front");

    // Only the back window lies under this point.
    EXPECT_EQ(client.number(client.windowAbove(client.at(150, 150))), back);

    // The close button's rectangle is 8..22 across and 4..18 down from the window's corner.
    auto close = client.at(308, 204);
    ASSERT_TRUE(close);
    EXPECT_EQ(client.string(close, "AXSubrole"), "AXCloseButton");
    EXPECT_EQ(client.string(client.at(322, 204), "AXRole"), "AXTextArea");
    EXPECT_EQ(client.string(client.at(307.5f, 204), "AXRole"), "AXTextArea");

    // The far edges are outside (CGRectContainsPoint).
    EXPECT_EQ(client.number(client.windowAbove(client.at(899.5f, 300))), front);
    EXPECT_EQ(client.string(client.at(900, 300), "AXRole"), std::nullopt);

    // The menu bar answers with an element that has no window above it.
    auto bar = client.at(700, 10);
    ASSERT_TRUE(bar);
    EXPECT_EQ(client.string(bar, "AXRole"), "AXMenuBar");
    EXPECT_FALSE(client.windowAbove(bar));

    // An empty spot of the desktop: nothing (the minimized window is not there).
    AXError error = platform::kAXErrorSuccess;
    EXPECT_FALSE(client.at(1300, 800, &error));
    EXPECT_EQ(error, platform::kAXErrorNoValue);

    // Raising the back window puts it over the overlap.
    ASSERT_EQ(desktop.accessibility().performAction(client.windowOf(editor, back), "AXRaise"),
              platform::kAXErrorSuccess);
    EXPECT_EQ(client.number(client.windowAbove(client.at(400, 300))), back);
}

TEST_F(SimAccessibility, TheApplicationListsItsWindowsFrontToBackWithMinimizedOnesLast) {
    auto a = desktop.addWindow(Spec(editor, "A"));
    auto m = desktop.addWindow(Spec(editor, "M").minimized());
    auto b = desktop.addWindow(Spec(editor, "B"));
    auto app = desktop.accessibility().createApplication(editor);

    std::vector<platform::CGWindowID> listed;
    for (const CFType& w : client.array(app, "AXWindows")) listed.push_back(*client.number(*w.element()));
    EXPECT_EQ(listed, (std::vector<platform::CGWindowID>{b, a, m}));
    EXPECT_EQ(client.number(client.element(app, "AXFocusedWindow")), b);

    // Un-minimizing brings the window forward and focuses it.
    ASSERT_EQ(desktop.accessibility().setAttributeValue(client.windowOf(editor, m), "AXMinimized", false),
              platform::kAXErrorSuccess);
    EXPECT_EQ(client.number(client.element(app, "AXFocusedWindow")), m);
    EXPECT_FALSE(desktop.window(m).minimized);
    EXPECT_FALSE(desktop.window(m).focused);   // the app is not frontmost
    desktop.setFrontmost(editor);
    EXPECT_TRUE(desktop.window(m).focused);
}

TEST_F(SimAccessibility, FrameWritesAreRequestsTheAppAppliesAndReadsBack) {
    desktop.addScreen({-1280, -300, 1280, 1024});   // a second display left of and above the primary
    auto id = desktop.addWindow(Spec(editor).frame({100, 100, 800, 600}).minimumSize({300, 200}));
    auto window = client.windowOf(editor, id);
    auto& ax = desktop.accessibility();

    struct Case {
        kit::Point requestedOrigin;
        kit::Size requestedSize;
        kit::Point appliedOrigin;
        kit::Size appliedSize;
    };
    const Case cases[] = {
        {{50, 60}, {500, 400}, {50, 60}, {500, 400}},         // as asked
        {{50, 60}, {100, 50}, {50, 60}, {300, 200}},          // below the minimum size
        {{200, 5}, {500, 400}, {200, 24}, {500, 400}},        // under the primary's menu bar
        {{-1000, -320}, {500, 400}, {-1000, -276}, {500, 400}},  // under the other display's menu bar
        {{-1000, 500}, {500, 400}, {-1000, 500}, {500, 400}},    // lower on the other display
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ax.setAttributeValue(window, "AXSize", AXValue::create(c.requestedSize)), platform::kAXErrorSuccess);
        EXPECT_EQ(ax.setAttributeValue(window, "AXPosition", AXValue::create(c.requestedOrigin)),
                  platform::kAXErrorSuccess);
        EXPECT_EQ(client.point(window), c.appliedOrigin);
        EXPECT_EQ(client.size(window), c.appliedSize);
        EXPECT_EQ(desktop.window(id).frame, kit::Rect(c.appliedOrigin, c.appliedSize));
    }

    // Values of the wrong type are refused and change nothing.
    kit::Rect before = desktop.window(id).frame;
    EXPECT_EQ(ax.setAttributeValue(window, "AXPosition", AXValue::create(kit::Size{1, 1})),
              platform::kAXErrorIllegalArgument);
    EXPECT_EQ(ax.setAttributeValue(window, "AXSize", CFType("wide")), platform::kAXErrorIllegalArgument);
    EXPECT_EQ(ax.setAttributeValue(window, "AXMinimized", CFType(platform::CFNumber{1})),
              platform::kAXErrorIllegalArgument);
    EXPECT_EQ(desktop.window(id).frame, before);
    EXPECT_FALSE(desktop.window(id).minimized);
}

TEST_F(SimAccessibility, WindowsThatRefuseToMoveOrResizeChangeNothing) {
    auto fixed = desktop.addWindow(Spec(editor).frame({100, 100, 400, 300}).refusesMove());
    auto rigid = desktop.addWindow(Spec(editor).frame({600, 100, 400, 300}).refusesResize());
    auto& ax = desktop.accessibility();
    auto move = AXValue::create(kit::Point{10, 400});
    auto resize = AXValue::create(kit::Size{800, 500});

    EXPECT_EQ(ax.setAttributeValue(client.windowOf(editor, fixed), "AXPosition", move), platform::kAXErrorCannotComplete);
    EXPECT_EQ(ax.setAttributeValue(client.windowOf(editor, fixed), "AXSize", resize), platform::kAXErrorSuccess);
    EXPECT_EQ(desktop.window(fixed).frame, kit::Rect(100, 100, 800, 500));

    EXPECT_EQ(ax.setAttributeValue(client.windowOf(editor, rigid), "AXSize", resize), platform::kAXErrorCannotComplete);
    EXPECT_EQ(ax.setAttributeValue(client.windowOf(editor, rigid), "AXPosition", move), platform::kAXErrorSuccess);
    EXPECT_EQ(desktop.window(rigid).frame, kit::Rect(10, 400, 400, 300));
}

TEST_F(SimAccessibility, InjectedFaultsAndOverrides) {
    auto id = desktop.addWindow(Spec(editor, "Doc").subrole("").noCloseButton().depth(2));
    auto other = desktop.addApplication(app("com.example.Other", "Other"));
    auto otherWindow = desktop.addWindow(Spec(other, "Other").frame({1000, 500, 300, 300}));
    auto window = client.windowOf(editor, id);
    auto& ax = desktop.accessibility();
    CFType value;

    // Attributes the window does not have.
    EXPECT_EQ(ax.copyAttributeValue(window, "AXSubrole", &value), platform::kAXErrorNoValue);
    EXPECT_EQ(ax.copyAttributeValue(window, "AXCloseButton", &value), platform::kAXErrorNoValue);
    EXPECT_EQ(ax.copyAttributeValue(window, "AXDocument", &value), platform::kAXErrorAttributeUnsupported);
    EXPECT_EQ(ax.performAction(window, "AXZoom"), platform::kAXErrorActionUnsupported);

    // A read or write fault hits that attribute of that process only.
    desktop.failAXRead(editor, "AXTitle");
    desktop.failAXWrite(editor, "AXPosition");
    EXPECT_EQ(ax.copyAttributeValue(window, "AXTitle", &value), platform::kAXErrorCannotComplete);
    EXPECT_EQ(client.string(window, "AXRole"), "AXWindow");
    EXPECT_EQ(ax.setAttributeValue(window, "AXPosition", AXValue::create(kit::Point{0, 100})),
              platform::kAXErrorCannotComplete);
    EXPECT_EQ(client.string(client.windowOf(other, otherWindow), "AXTitle"), "Other");

    // Overrides answer for one element, with any value or none.
    desktop.overrideAttribute({editor, id, 1}, "AXParent", CFType("not an element"));
    desktop.overrideAttribute({editor, id, -1}, "AXRole", std::nullopt);
    desktop.overrideAttribute({editor, 0, -1}, "AXWindows", CFType(true));
    auto deepest = client.at(300, 300);
    ASSERT_TRUE(deepest);
    EXPECT_EQ(ax.copyAttributeValue(deepest, "AXParent", &value), platform::kAXErrorSuccess);
    EXPECT_EQ(value.string() ? *value.string() : "", "not an element");
    EXPECT_EQ(ax.copyAttributeValue(window, "AXRole", &value), platform::kAXErrorNoValue);
    EXPECT_TRUE(client.array(ax.createApplication(editor), "AXWindows").empty());

    // The window-number call can fail or lie.
    desktop.overrideWindowNumber(otherWindow, std::nullopt);
    platform::CGWindowID number = 0;
    auto otherElement = client.element(ax.createApplication(other), "AXFocusedWindow");
    EXPECT_EQ(ax.getWindow(otherElement, &number), platform::kAXErrorFailure);
    desktop.overrideWindowNumber(otherWindow, 0);
    EXPECT_EQ(client.number(otherElement), 0u);
    EXPECT_EQ(ax.getWindow(ax.createApplication(other), &number), platform::kAXErrorIllegalArgument);

    // A process that stops answering fails every call, hit tests over it included.
    desktop.setAXDead(other);
    EXPECT_EQ(ax.copyAttributeValue(otherElement, "AXRole", &value), platform::kAXErrorCannotComplete);
    AXError error = platform::kAXErrorSuccess;
    EXPECT_FALSE(client.at(1100, 600, &error));
    EXPECT_EQ(error, platform::kAXErrorCannotComplete);
}

TEST_F(SimAccessibility, ElementsOfClosedWindowsAndEndedProcessesAreInvalid) {
    auto id = desktop.addWindow(Spec(editor, "Doc"));
    auto keep = desktop.addWindow(Spec(editor, "Keep").frame({900, 100, 300, 300}));
    auto window = client.windowOf(editor, id);
    auto close = client.element(window, "AXCloseButton");
    ASSERT_TRUE(close);
    auto& ax = desktop.accessibility();
    CFType value;

    EXPECT_EQ(ax.performAction(close, "AXPress"), platform::kAXErrorSuccess);
    EXPECT_FALSE(desktop.window(id).exists);
    EXPECT_EQ(ax.copyAttributeValue(window, "AXTitle", &value), platform::kAXErrorInvalidUIElement);
    EXPECT_EQ(client.array(ax.createApplication(editor), "AXWindows").size(), 1u);

    auto keepElement = client.windowOf(editor, keep);
    auto handle = desktop.workspace().runningApplicationsWithBundleIdentifier("com.example.Editor");
    ASSERT_EQ(handle.size(), 1u);
    desktop.quitApplication(editor);
    EXPECT_EQ(ax.copyAttributeValue(keepElement, "AXTitle", &value), platform::kAXErrorInvalidUIElement);
    EXPECT_EQ(ax.copyAttributeValue(ax.createApplication(editor), "AXWindows", &value),
              platform::kAXErrorInvalidUIElement);
    EXPECT_FALSE(desktop.window(keep).exists);

    // The NSRunningApplication handle outlives the process.
    EXPECT_TRUE(handle[0]->isTerminated());
    EXPECT_EQ(handle[0]->processIdentifier(), editor);
    EXPECT_EQ(handle[0]->localizedName(), "Editor");
    EXPECT_FALSE(handle[0]->activate());
    EXPECT_TRUE(desktop.workspace().runningApplicationsWithBundleIdentifier("com.example.Editor").empty());
}

}  // namespace
