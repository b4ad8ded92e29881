#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "ax/AX.h"
#include "support/InstalledDesktop.h"

namespace simtest {

namespace AX = durazizi::AX;

using platform::AXError;
using platform::CFType;
using platform::CGWindowID;

// A 1440 x 900 desktop installed as the current platform, looked at the way
// another application would: through the accessibility interface.
class World : public ::testing::Test {
protected:
    testsupport::InstalledDesktop installed;
    sim::Desktop& desktop = installed.desktop;
    platform::Accessibility& ax = desktop.accessibility();

    World() { desktop.screens().add({0, 0, 1440, 900}); }

    platform::pid_t addApp(const std::string& name, bool running = true, bool inDock = true) {
        sim::AppSpec spec;
        spec.bundleId = "com.example." + name;
        spec.name = name;
        spec.running = running;
        spec.inDock = inDock;
        return desktop.processes().add(spec);
    }
    CGWindowID addWindow(platform::pid_t pid, const std::string& title, kit::Rect frame = {100, 100, 800, 600}) {
        sim::WindowSpec spec;
        spec.pid = pid;
        spec.title = title;
        spec.frame = frame;
        return desktop.windows().add(spec);
    }

    // The error a read of `attribute` answers with.
    AXError read(const AX::Element& element, const std::string& attribute) {
        CFType value;
        return ax.copyAttributeValue(element, attribute, &value);
    }
    std::optional<CGWindowID> number(const std::optional<AX::Element>& element) {
        CGWindowID id = 0;
        if (!element || ax.getWindow(*element, &id) != platform::kAXErrorSuccess) return std::nullopt;
        return id;
    }
    AX::Element windowOf(platform::pid_t pid, CGWindowID id) { return AX::window(pid, id).value_or(nullptr); }
    // The deepest element at a top-left point, as the system-wide element reports it.
    AX::Element at(kit::Point p, AXError* error = nullptr) {
        AX::Element hit;
        const AXError err =
            ax.copyElementAtPosition(ax.createSystemWide(), static_cast<float>(p.x), static_cast<float>(p.y), &hit);
        if (error) *error = err;
        return err == platform::kAXErrorSuccess ? hit : nullptr;
    }
    std::optional<std::string> role(const AX::Element& element) { return AX::string(element, "AXRole"); }
};

}  // namespace simtest
