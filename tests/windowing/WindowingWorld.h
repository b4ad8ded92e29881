#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "app/Settings.h"
#include "support/InstalledDesktop.h"
#include "windowing/InputTap.h"
#include "windowing/SnapController.h"

namespace windowingtest {

// 1440 x 900 with the Dock (visible frame 0,24,1440,812) and one editor
// window, with edge snapping and the input tap started as the delegate
// starts them.
class Windowing : public ::testing::Test {
protected:
    static constexpr std::uint64_t ctrl = platform::NSEventModifierFlagControl;
    static constexpr std::uint64_t alt = platform::NSEventModifierFlagOption;
    static constexpr std::uint64_t shift = platform::NSEventModifierFlagShift;
    static constexpr std::uint64_t cmd = platform::NSEventModifierFlagCommand;

    testsupport::InstalledDesktop installed;
    sim::Desktop& desktop = installed.desktop;
    platform::pid_t editor = 0;
    sim::CGWindowID window = 0;
    std::shared_ptr<durazizi::SnapController> snap = std::make_shared<durazizi::SnapController>();
    std::shared_ptr<durazizi::InputTap> tap = std::make_shared<durazizi::InputTap>();

    Windowing() {
        desktop.screens().add({0, 0, 1440, 900});
        desktop.dock().setRunning(true);
        sim::AppSpec app;
        app.bundleId = "com.example.Editor";
        app.name = "Editor";
        editor = desktop.processes().add(app);
        window = addWindow({300, 200, 600, 400});
        desktop.processes().setFrontmost(editor, window);
        durazizi::Settings::registerDefaults();
    }

    void start() {
        snap->start();
        tap->start();
    }

    sim::CGWindowID addWindow(kit::Rect frame, kit::Size minimum = {120, 80}) {
        sim::WindowSpec spec;
        spec.pid = editor;
        spec.frame = frame;
        spec.minimumSize = minimum;
        return desktop.windows().add(spec);
    }

    kit::Rect frame(sim::CGWindowID id = 0) { return desktop.windows().info(id ? id : window).frame; }
    void set(const std::string& key, bool value) { desktop.defaults().setBool(value, key); }
    void set(const std::string& key, double value) { desktop.defaults().setDouble(value, key); }

    void drag(kit::Point from, kit::Point to, std::uint64_t flags = 0) {
        desktop.input().mouseDown(from, flags);
        desktop.input().move(to);
        desktop.input().mouseUp(to);
    }

    // The overlay as the window server shows it.
    std::optional<sim::OwnWindowInfo> overlay() {
        for (const auto& w : desktop.ownWindows().list())
            if (w.ignoresMouse && w.visible) return w;
        return std::nullopt;
    }

    std::string received(platform::pid_t pid) {
        std::string text;
        for (const auto& e : desktop.windowManager().takeReceived(pid)) text += e.type + " ";
        return text;
    }
};

}  // namespace windowingtest
