#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ax/AX.h"
#include "support/InstalledDesktop.h"

namespace axtest {

using platform::CFType;
using platform::CGWindowID;
namespace AX = durazizi::AX;

// A trusted 1440 x 900 desktop with one application, Editor, whose windows
// each test adds.
class AXWorld : public ::testing::Test {
protected:
    testsupport::InstalledDesktop installed;
    sim::Desktop& desktop = installed.desktop;
    platform::pid_t pid = 0;

    AXWorld() {
        desktop.screens().add({0, 0, 1440, 900});
        desktop.permissions().setAccessibilityTrusted(true);
        sim::AppSpec app;
        app.bundleId = "com.example.editor";
        app.name = "Editor";
        pid = desktop.processes().add(app);
    }

    static sim::WindowSpec spec(platform::pid_t pid, const std::string& title, kit::Rect frame = {100, 100, 800, 600}) {
        sim::WindowSpec s;
        s.pid = pid;
        s.title = title;
        s.frame = frame;
        return s;
    }
    CGWindowID addWindow(const std::string& title, kit::Rect frame = {100, 100, 800, 600}, int depth = 3) {
        sim::WindowSpec s = spec(pid, title, frame);
        s.depth = depth;
        return desktop.windows().add(s);
    }
    // Overrides one attribute of a window element; nullopt makes it unreadable.
    void override(CGWindowID window, const std::string& attribute, std::optional<CFType> value) {
        desktop.accessibility().overrideAttribute({.pid = pid, .window = window}, attribute, std::move(value));
    }

    // What the window server knows the element as; 0 when it cannot say.
    static CGWindowID numberOf(const std::optional<AX::Element>& element) {
        CGWindowID number = 0;
        if (!element) return 0;
        if (platform::current().accessibility().getWindow(*element, &number) != platform::kAXErrorSuccess) return 0;
        return number;
    }
    // The application's windows in the order it reports them.
    std::vector<AX::Element> reported() {
        return AX::children(platform::current().accessibility().createApplication(pid), AX::kAXWindowsAttribute);
    }
    std::vector<CGWindowID> reportedOrder() {
        std::vector<CGWindowID> ids;
        for (const auto& window : reported()) ids.push_back(numberOf(window));
        return ids;
    }
};

}  // namespace axtest
