#include <string>
#include <thread>
#include <vector>

#include "sim/KeptRecords.h"
#include "sim/SimScripting.h"
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

// Nothing reads these records while the playground runs for days: the
// world keeps the latest of what Durazizi wrote and sent, not all of it.
TEST_F(SimAccessibility, ALongSessionKeepsOnlyTheLatestWritesAndScripts) {
    auto window = windowOf(editor, addWindow(editor, "Doc"));
    const int writes = 2 * static_cast<int>(sim::kKeptRecords) + 1;
    for (int i = 0; i < writes; ++i) {
        ax.setAttributeValue(window, "AXPosition", AXValue::create(kit::Point{100.0 + i % 700, 200}));
        desktop.scripting().executeAppleScript("tell application \"Music\" to playpause " + std::to_string(i),
                                               nullptr, nullptr);
    }
    const std::vector<std::string> written = desktop.accessibility().takeWindowWrites();
    EXPECT_LE(written.size(), sim::kKeptRecords);
    ASSERT_FALSE(written.empty());
    EXPECT_EQ(written.back(), "AXPosition " + std::to_string(100 + (writes - 1) % 700) + ",200");
    const std::vector<sim::SentScript> sent = desktop.players().takeScripts();
    EXPECT_LE(sent.size(), sim::kKeptRecords);
    ASSERT_FALSE(sent.empty());
    EXPECT_TRUE(sent.back().source.ends_with(" " + std::to_string(writes - 1)));
}

// The native backend asserts that accessibility runs on the main thread; a
// message from any other thread must stop a simulated run just as hard.
TEST_F(SimAccessibility, AMessageOffTheMainThreadStopsTheProcess) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto window = windowOf(editor, addWindow(editor, "Doc"));
    EXPECT_DEATH(std::thread([&] { read(window, "AXTitle"); }).join(), "off the main thread");
    EXPECT_EQ(read(window, "AXTitle"), platform::kAXErrorSuccess);
}

}  // namespace

namespace {

using namespace simtest;

class HungProcess : public World {
protected:
    platform::pid_t editor = addApp("Editor");
    platform::pid_t notes = addApp("Notes");
    CGWindowID page = addWindow(editor, "Page", {100, 100, 400, 300});
    CGWindowID memo = addWindow(notes, "Memo", {700, 100, 400, 300});

    // The window's element, read with plain calls (the product's helpers
    // leave a process alone after it did not answer).
    AX::Element rawWindow(platform::pid_t pid, CGWindowID id) {
        CFType windows;
        if (ax.copyAttributeValue(ax.createApplication(pid), "AXWindows", &windows) != platform::kAXErrorSuccess ||
            !windows.array())
            return nullptr;
        for (const CFType& member : *windows.array())
            if (const AX::Element* window = member.element(); window && number(*window) == id) return *window;
        return nullptr;
    }
    // How long a read of the element's title kept the caller, in seconds.
    double stall(const AX::Element& element) {
        const double before = desktop.time().now();
        EXPECT_EQ(read(element, "AXTitle"), platform::kAXErrorCannotComplete);
        return desktop.time().now() - before;
    }
};

// macOS: 6 s unless set; a timeout on the system-wide element is the default,
// one on an application element covers that application's elements, one on
// an element only that handle; 0 goes back to inheriting (or, system-wide,
// to the platform's 6 s).
TEST_F(HungProcess, EachMessageWaitsTheTimeoutInEffectThenFails) {
    desktop.accessibility().setHung(editor, true);
    const AX::Element application = ax.createApplication(editor);
    const AX::Element systemWide = ax.createSystemWide();
    const AX::Element first = ax.createApplication(editor);
    EXPECT_NEAR(stall(application), 6.0, 1e-9);

    EXPECT_EQ(ax.setMessagingTimeout(systemWide, 1.0f), platform::kAXErrorSuccess);
    EXPECT_NEAR(stall(application), 1.0, 1e-6);
    EXPECT_EQ(ax.setMessagingTimeout(first, 0.5f), platform::kAXErrorSuccess);
    EXPECT_NEAR(stall(application), 0.5, 1e-6);   // any handle of that application
    desktop.accessibility().setHung(editor, false);
    const AX::Element own = rawWindow(editor, page);
    ASSERT_TRUE(own);
    const AX::Element other = rawWindow(editor, page);
    desktop.accessibility().setHung(editor, true);
    EXPECT_EQ(ax.setMessagingTimeout(own, 0.25f), platform::kAXErrorSuccess);
    EXPECT_NEAR(stall(own), 0.25, 1e-6);
    EXPECT_NEAR(stall(other), 0.5, 1e-6);   // another handle of the same window inherits

    EXPECT_EQ(ax.setMessagingTimeout(own, 0.0f), platform::kAXErrorSuccess);
    EXPECT_NEAR(stall(own), 0.5, 1e-6);
    EXPECT_EQ(ax.setMessagingTimeout(application, 0.0f), platform::kAXErrorSuccess);
    EXPECT_NEAR(stall(own), 1.0, 1e-6);
    EXPECT_EQ(ax.setMessagingTimeout(systemWide, 0.0f), platform::kAXErrorSuccess);
    EXPECT_NEAR(stall(own), 6.0, 1e-6);
    EXPECT_EQ(ax.setMessagingTimeout(own, -1.0f), platform::kAXErrorIllegalArgument);

    // Every kind of message waits; other processes answer at once, and the
    // pid comes from the handle without a message.
    ax.setMessagingTimeout(systemWide, 0.5f);
    double before = desktop.time().now();
    EXPECT_EQ(ax.setAttributeValue(own, "AXPosition", AXValue::create(kit::Point{0, 30})),
              platform::kAXErrorCannotComplete);
    EXPECT_EQ(ax.performAction(own, "AXRaise"), platform::kAXErrorCannotComplete);
    CGWindowID id = 0;
    EXPECT_EQ(ax.getWindow(own, &id), platform::kAXErrorCannotComplete);
    EXPECT_NEAR(desktop.time().now() - before, 1.5, 1e-6);
    before = desktop.time().now();
    platform::pid_t pid = 0;
    EXPECT_EQ(ax.getPid(own, &pid), platform::kAXErrorSuccess);
    EXPECT_EQ(pid, editor);
    EXPECT_TRUE(rawWindow(notes, memo));
    EXPECT_EQ(desktop.time().now(), before);

    // A hit test waits only when it lands in the hung process's window.
    AXError error = platform::kAXErrorSuccess;
    EXPECT_FALSE(at({200, 200}, &error));
    EXPECT_EQ(error, platform::kAXErrorCannotComplete);
    EXPECT_NEAR(desktop.time().now() - before, 0.5, 1e-6);
    EXPECT_TRUE(at({800, 200}));

    // Answering again, it answers everything at once.
    desktop.accessibility().setHung(editor, false);
    before = desktop.time().now();
    CFType title;
    EXPECT_EQ(ax.copyAttributeValue(own, "AXTitle", &title), platform::kAXErrorSuccess);
    EXPECT_TRUE(title.string() && *title.string() == "Page");
    EXPECT_TRUE(at({200, 200}));
    EXPECT_EQ(desktop.time().now(), before);
}

// What an observer hears depends on where it registered, as on macOS: a
// window's own notifications on that window's element, the application's on
// the application element.
TEST_F(HungProcess, NotificationsReachTheElementTheyWereRegisteredOn) {
    std::vector<std::pair<CGWindowID, std::string>> heard;
    platform::AXObserverRef observer;
    ASSERT_EQ(ax.createObserver(
                  editor,
                  [&](const AX::Element& element, const std::string& name) {
                      // A destroyed element cannot be asked for its number.
                      const auto* e = dynamic_cast<const sim::SimElement*>(element.get());
                      heard.emplace_back(e ? e->window : 0, name);
                  },
                  &observer),
              platform::kAXErrorSuccess);
    const AX::Element application = ax.createApplication(editor);
    const AX::Element window = windowOf(editor, page);
    for (const char* name : {"AXWindowCreated", "AXFocusedWindowChanged", "AXTitleChanged", "AXUIElementDestroyed"})
        EXPECT_EQ(ax.addNotification(observer, application, name), platform::kAXErrorSuccess) << name;
    EXPECT_EQ(ax.addNotification(observer, window, "AXTitleChanged"), platform::kAXErrorSuccess);
    EXPECT_EQ(ax.addNotification(observer, window, "AXUIElementDestroyed"), platform::kAXErrorSuccess);
    EXPECT_EQ(ax.addNotification(observer, window, "AXTitleChanged"), platform::kAXErrorNotificationAlreadyRegistered);
    EXPECT_EQ(ax.addNotification(observer, windowOf(notes, memo), "AXTitleChanged"),
              platform::kAXErrorIllegalArgument);

    const CGWindowID other = addWindow(editor, "Other");
    desktop.windows().setTitle(other, "Renamed");   // not registered on that window
    desktop.windows().setTitle(page, "Page 2");
    desktop.windows().close(other);
    desktop.windows().close(page);
    desktop.time().settle();
    using Heard = std::vector<std::pair<CGWindowID, std::string>>;
    EXPECT_EQ(heard, (Heard{{other, "AXWindowCreated"},
                            {page, "AXTitleChanged"},
                            {page, "AXUIElementDestroyed"}}));

    // An application that posts nothing tells nobody anything.
    heard.clear();
    desktop.accessibility().silence(editor);
    addWindow(editor, "Quiet");
    desktop.time().settle();
    EXPECT_TRUE(heard.empty());
}

}  // namespace
