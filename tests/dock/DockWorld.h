#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/Diag.h"
#include "app/Settings.h"
#include "ax/Geometry.h"
#include "ax/WindowList.h"
#include "dock/HoverController.h"
#include "dock/PreviewPanel.h"
#include "kit/ViewInput.h"
#include "linux/XdgFiles.h"
#include "platform/Platform.h"
#include "support/InstalledDesktop.h"

// Readable failures for the geometry types.
namespace kit {
inline void PrintTo(const Point& p, std::ostream* os) { *os << "(" << p.x << ", " << p.y << ")"; }
inline void PrintTo(const Size& s, std::ostream* os) { *os << s.width << " x " << s.height; }
inline void PrintTo(const Rect& r, std::ostream* os) {
    *os << "(" << r.minX() << ", " << r.minY() << ", " << r.width() << ", " << r.height() << ")";
}
}  // namespace kit

namespace docktest {

// A 1440 x 900 Mac with the Dock along the bottom, a home for the diagnostic
// log, and the settings registered as at launch. Applications and windows
// are added by each test; the hover loop starts when a test asks for it.
class DockWorld : public ::testing::Test {
protected:
    DockWorld() {
        std::string pattern = (std::filesystem::temp_directory_path() / "durazizi-dock-XXXXXX").string();
        home_ = mkdtemp(pattern.data()) ? pattern : std::string();
        std::filesystem::create_directories(home_ + "/state");
        std::filesystem::create_directories(home_ + "/tmp");
        desktop().useFiles(std::make_shared<linuxhost::XdgFiles>(home_ + "/state", home_ + "/tmp/"));
        desktop().defaults().setBool(true, "DuraziziDebugLog");
        desktop().screens().add({0, 0, 1440, 900});
        desktop().dock().setRunning(true);
        durazizi::Settings::registerDefaults();
    }

    ~DockWorld() override {
        hover_.reset();
        std::error_code ignored;
        if (!home_.empty()) std::filesystem::remove_all(home_, ignored);
    }

    sim::Desktop& desktop() { return installed_.desktop; }

    void setInt(const std::string& key, std::int64_t value) { desktop().defaults().setInteger(value, key); }
    void setBool(const std::string& key, bool value) { desktop().defaults().setBool(value, key); }

    platform::pid_t addApp(const std::string& name, const std::string& bundleId = {}) {
        sim::AppSpec app;
        app.name = name;
        app.bundleId = bundleId.empty() ? "com.example." + name : bundleId;
        return desktop().processes().add(app);
    }

    platform::CGWindowID addWindow(platform::pid_t pid, const std::string& title,
                                   kit::Rect frame = {100, 100, 800, 600}, bool minimized = false) {
        sim::WindowSpec window;
        window.pid = pid;
        window.title = title;
        window.frame = frame;
        window.minimized = minimized;
        return desktop().windows().add(window);
    }

    // An application with `count` windows named "<name> 1", "<name> 2", ...
    platform::pid_t appWithWindows(const std::string& name, int count) {
        const auto pid = addApp(name);
        for (int i = 1; i <= count; ++i)
            addWindow(pid, name + " " + std::to_string(i), {100.0 + 20 * i, 100.0 + 20 * i, 800, 600});
        return pid;
    }

    static platform::RunningApplicationRef runningApp(platform::pid_t pid) {
        for (auto& app : platform::current().workspace().runningApplications())
            if (app->processIdentifier() == pid) return app;
        return nullptr;
    }

    // --- the hover loop ---------------------------------------------------------

    durazizi::HoverController& startHover() {
        hover_ = std::make_shared<durazizi::HoverController>();
        hover_->start();
        // Half a poll: every later check then falls between two polls, never on one.
        desktop().time().advance(durazizi::HoverController::pollInterval / 2);
        return *hover_;
    }
    const durazizi::PreviewController& preview() const { return hover_->preview(); }

    // One poll of the hover loop.
    void tick() { desktop().time().advance(durazizi::HoverController::pollInterval); }

    kit::Rect iconFrame(const std::string& title) {
        auto frame = desktop().dock().itemFrame(title);
        EXPECT_TRUE(frame) << "no Dock item " << title;
        return frame.value_or(kit::Rect{});
    }
    void hoverIcon(const std::string& title) {
        const kit::Rect f = iconFrame(title);
        desktop().input().move({f.midX(), f.midY()});
    }
    // Rests on the icon long enough for the default activation delay and the
    // panel's appearance.
    void showPreviewOf(const std::string& title) {
        hoverIcon(title);
        desktop().time().advance(0.4);
    }

    // --- what the user sees -----------------------------------------------------

    static bool isVisible(const std::shared_ptr<platform::Panel>& panel) { return panel && panel->isVisible(); }
    bool previewVisible() const { return isVisible(preview().panel()); }

    // The preview panel's frame in top-left coordinates.
    static kit::Rect topLeftFrame(const platform::Window& window) { return durazizi::Geo::toTopLeft(window.frame()); }

    // A tile's frame on screen, in top-left coordinates.
    static kit::Rect tileOnScreen(const platform::Window& panel, const kit::View& view) {
        const kit::Rect inWindow = kit::frameInRoot(view);
        const kit::Rect cocoa = inWindow.offsetBy(panel.frame().minX(), panel.frame().minY());
        return durazizi::Geo::toTopLeft(cocoa);
    }
    kit::Point tileCentre(std::size_t index) const {
        const kit::Rect r = tileOnScreen(*preview().panel(), *preview().tiles().at(index));
        return {r.midX(), r.midY()};
    }
    kit::Point closeBoxCentre(std::size_t index) const {
        const kit::Rect r = tileOnScreen(*preview().panel(), preview().tiles().at(index)->closeButton());
        return {r.midX(), r.midY()};
    }

    std::vector<std::string> logMessages() const {
        std::vector<std::string> lines;
        std::ifstream file(durazizi::Diag::path());
        std::string line;
        while (std::getline(file, line)) {
            auto close = line.find("] ");
            lines.push_back(close == std::string::npos ? line : line.substr(close + 2));
        }
        return lines;
    }

    testsupport::InstalledDesktop installed_;
    std::shared_ptr<durazizi::HoverController> hover_;
    std::string home_;
};

}  // namespace docktest
