#include <gtest/gtest.h>

#include <string>

#include "sim/AppIcon.h"
#include "support/InstalledDesktop.h"

namespace {

sim::AppSpec app(std::string bundleId, std::string name) {
    sim::AppSpec spec;
    spec.bundleId = std::move(bundleId);
    spec.name = std::move(name);
    return spec;
}

sim::WindowSpec windowOf(platform::pid_t pid, std::string title, kit::Rect frame = {100, 100, 800, 600}) {
    sim::WindowSpec spec;
    spec.pid = pid;
    spec.title = std::move(title);
    spec.frame = frame;
    return spec;
}

TEST(SimScreens, CocoaCoordinatesAreAnchoredAtThePrimaryDisplay) {
    sim::Desktop desktop;
    auto& screens = desktop.screens();
    EXPECT_TRUE(screens.screens().empty());
    EXPECT_FALSE(screens.mainScreen());

    desktop.addScreen({-1920, -400, 1920, 1080});   // left of and above the primary
    desktop.addScreen({0, 0, 1440, 900});
    desktop.addScreen({1440, 0, 1280, 800}, kit::Rect{1440, 30, 1280, 700});

    auto all = screens.screens();
    ASSERT_EQ(all.size(), 3u);
    // y_cocoa = 900 - y - height, for every display.
    EXPECT_EQ(all[0].frame, kit::Rect(-1920, 220, 1920, 1080));
    EXPECT_EQ(all[0].visibleFrame, kit::Rect(-1920, 220, 1920, 1056));
    EXPECT_EQ(all[1].frame, kit::Rect(0, 0, 1440, 900));
    EXPECT_EQ(all[1].visibleFrame, kit::Rect(0, 0, 1440, 876));
    EXPECT_EQ(all[2].frame, kit::Rect(1440, 100, 1280, 800));
    EXPECT_EQ(all[2].visibleFrame, kit::Rect(1440, 170, 1280, 700));
    ASSERT_TRUE(screens.mainScreen());
    EXPECT_EQ(screens.mainScreen()->frame, kit::Rect(0, 0, 1440, 900));

    desktop.movePointer({-100, -50});
    EXPECT_EQ(screens.mouseLocation(), (kit::Point{-100, 950}));
    desktop.movePointer({720, 900});
    EXPECT_EQ(screens.mouseLocation(), (kit::Point{720, 0}));
}

TEST(SimWorkspace, ProcessesAsNSWorkspaceListsThem) {
    sim::Desktop desktop;
    auto& workspace = desktop.workspace();
    EXPECT_EQ(workspace.processIdentifier(), 400);

    auto editor = desktop.addApplication(app("com.example.Editor", "Editor"));
    auto paint = desktop.addApplication(app("com.example.Paint", "Paint"));
    auto stoppedSpec = app("com.example.Mail", "Mail");
    stoppedSpec.running = false;
    auto mail = desktop.addApplication(stoppedSpec);
    auto givenSpec = app("com.example.Given", "Given");
    givenSpec.pid = 777;
    givenSpec.bundlePath = "/System/Applications/Given.app";
    EXPECT_EQ(desktop.addApplication(givenSpec), 777);
    EXPECT_EQ(editor, 500);
    EXPECT_EQ(paint, 501);
    EXPECT_EQ(mail, 502);

    std::vector<std::string> names;
    for (const auto& a : workspace.runningApplications()) names.push_back(a->localizedName().value_or("?"));
    EXPECT_EQ(names, (std::vector<std::string>{"Durazizi", "Editor", "Paint", "Given"}));

    auto own = workspace.runningApplicationsWithBundleIdentifier("app.durazizi.Durazizi");
    ASSERT_EQ(own.size(), 1u);
    EXPECT_EQ(own[0]->processIdentifier(), 400);
    auto given = workspace.runningApplicationsWithBundleIdentifier("com.example.Given");
    ASSERT_EQ(given.size(), 1u);
    EXPECT_EQ(given[0]->bundleURL()->absoluteString(), kit::URL::fileURL("/System/Applications/Given.app").absoluteString());
    EXPECT_EQ(workspace.runningApplicationsWithBundleIdentifier("com.example.Editor")[0]->bundleURL()->absoluteString(),
              kit::URL::fileURL("/Applications/Editor.app").absoluteString());
    EXPECT_TRUE(workspace.runningApplicationsWithBundleIdentifier("com.example.Mail").empty());
    EXPECT_FALSE(desktop.application(mail)->running);
    EXPECT_EQ(desktop.pidForName("Mail"), mail);

    // Icons tell apps apart.
    auto editorIcon = workspace.runningApplicationsWithBundleIdentifier("com.example.Editor")[0]->icon();
    auto paintIcon = workspace.runningApplicationsWithBundleIdentifier("com.example.Paint")[0]->icon();
    ASSERT_TRUE(editorIcon && paintIcon);
    int cx = editorIcon->pixelWidth() / 2, cy = editorIcon->pixelHeight() / 2;
    EXPECT_EQ(editorIcon->pixelAt(cx, cy), sim::appIconColor("com.example.Editor"));
    EXPECT_NE(editorIcon->pixelAt(cx, cy), paintIcon->pixelAt(cx, cy));

    // Activation and the frontmost application.
    EXPECT_FALSE(workspace.frontmostApplication());
    ASSERT_TRUE(workspace.runningApplicationsWithBundleIdentifier("com.example.Paint")[0]->activate());
    EXPECT_EQ(workspace.frontmostApplication()->processIdentifier(), paint);
    EXPECT_TRUE(desktop.application(paint)->frontmost);
    desktop.quitApplication(paint);
    EXPECT_FALSE(workspace.frontmostApplication());

    auto url = kit::URL::fromString("x-apple.systempreferences:com.apple.preference.security?Privacy_Accessibility");
    ASSERT_TRUE(url);
    EXPECT_TRUE(workspace.openURL(*url));
    EXPECT_EQ(desktop.openedURLs(), std::vector<std::string>{url->absoluteString()});
}

TEST(SimWindows, ZOrderFocusAndQuitting) {
    sim::Desktop desktop;
    desktop.addScreen({0, 0, 1440, 900});
    auto editor = desktop.addApplication(app("com.example.Editor", "Editor"));
    auto paint = desktop.addApplication(app("com.example.Paint", "Paint"));
    auto a = desktop.addWindow(windowOf(editor, "A"));
    auto b = desktop.addWindow(windowOf(editor, "B"));
    auto p = desktop.addWindow(windowOf(paint, "P"));
    EXPECT_EQ(a, 100u);

    auto ids = [&] {
        std::vector<platform::CGWindowID> out;
        for (const auto& w : desktop.windows()) out.push_back(w.id);
        return out;
    };
    EXPECT_EQ(ids(), (std::vector<platform::CGWindowID>{p, b, a}));

    desktop.setFrontmost(editor, a);
    EXPECT_EQ(ids(), (std::vector<platform::CGWindowID>{a, p, b}));
    EXPECT_TRUE(desktop.window(a).focused);
    EXPECT_FALSE(desktop.window(b).focused);
    EXPECT_FALSE(desktop.window(p).focused);   // Paint's focused window, but Paint is not frontmost
    EXPECT_EQ(desktop.application(editor)->focusedWindow, a);
    EXPECT_EQ(desktop.application(paint)->focusedWindow, p);

    desktop.quitApplication(editor);
    EXPECT_EQ(ids(), std::vector<platform::CGWindowID>{p});
    EXPECT_FALSE(desktop.window(a).exists);
    EXPECT_EQ(desktop.window(a).id, a);
    EXPECT_FALSE(desktop.application(editor)->running);
    EXPECT_FALSE(desktop.application(editor)->frontmost);
}

TEST(SimPermissions, CaptureAccessIsAskedNotGranted) {
    sim::Desktop desktop;
    auto& capture = desktop.capture();
    EXPECT_TRUE(capture.preflightScreenCaptureAccess());
    desktop.setScreenRecording(false);
    EXPECT_FALSE(capture.preflightScreenCaptureAccess());
    EXPECT_FALSE(capture.requestScreenCaptureAccess());
    EXPECT_FALSE(capture.preflightScreenCaptureAccess());
    EXPECT_EQ(desktop.screenRecordingRequests(), 1);
    EXPECT_EQ(capture.operatingSystemMajorVersion(), 14);
    EXPECT_TRUE(desktop.accessibility().isProcessTrusted());
}

TEST(MemoryDefaults, RegisteredValuesLieBeneathUserValuesWithNSUserDefaultsCoercion) {
    sim::MemoryDefaults defaults;
    defaults.registerDefaults({{"flag", true}, {"count", std::int64_t{3}}, {"ratio", 2.75}});
    EXPECT_TRUE(defaults.boolForKey("flag"));
    EXPECT_EQ(defaults.integerForKey("ratio"), 2);   // truncated
    EXPECT_DOUBLE_EQ(defaults.doubleForKey("count"), 3.0);
    EXPECT_EQ(defaults.integerForKey("flag"), 1);
    EXPECT_FALSE(defaults.boolForKey("missing"));
    EXPECT_EQ(defaults.integerForKey("missing"), 0);
    EXPECT_FALSE(defaults.objectForKey("missing"));

    defaults.setInteger(0, "flag");
    EXPECT_FALSE(defaults.boolForKey("flag"));
    EXPECT_EQ(defaults.objectForKey("flag"), platform::DefaultValue{std::int64_t{0}});
    defaults.removeObjectForKey("flag");
    EXPECT_TRUE(defaults.boolForKey("flag"));   // the registered value shows again
    defaults.setDouble(0.5, "fresh");
    EXPECT_TRUE(defaults.boolForKey("fresh"));
}

TEST(MemoryLoginService, InjectedFailuresLeaveTheStatusAlone) {
    sim::MemoryLoginService service;
    std::string error;
    service.failRegister("Operation not permitted");
    EXPECT_FALSE(service.registerService(&error));
    EXPECT_EQ(error, "Operation not permitted");
    EXPECT_EQ(service.status(), platform::SMAppServiceStatusNotRegistered);
    EXPECT_EQ(service.registers(), 0);

    sim::MemoryLoginService fine;
    EXPECT_TRUE(fine.registerService(&error));
    EXPECT_EQ(fine.status(), platform::SMAppServiceStatusEnabled);
    EXPECT_TRUE(fine.unregisterService(&error));
    EXPECT_EQ(fine.status(), platform::SMAppServiceStatusNotRegistered);
    EXPECT_EQ(fine.registers(), 1);
    EXPECT_EQ(fine.unregisters(), 1);
}

}  // namespace
