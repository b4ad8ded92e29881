#pragma once

#include <memory>
#include <vector>

#include "platform/Platform.h"
#include "sim/Callouts.h"
#include "sim/ChangeCounter.h"
#include "sim/Dock.h"
#include "sim/Graveyard.h"
#include "sim/MemoryDefaults.h"
#include "sim/MemoryLoginService.h"
#include "sim/MenuBar.h"
#include "sim/OwnProcess.h"
#include "sim/OwnWindows.h"
#include "sim/Permissions.h"
#include "sim/Input.h"
#include "sim/Processes.h"
#include "sim/SimAccessibility.h"
#include "sim/SimApplication.h"
#include "sim/SimCalendarStore.h"
#include "sim/SimCapture.h"
#include "sim/SimClock.h"
#include "sim/SimEventMonitors.h"
#include "sim/SimEventTaps.h"
#include "sim/SimLocale.h"
#include "sim/SimRunLoop.h"
#include "sim/NoImages.h"
#include "sim/SimScreens.h"
#include "sim/SimScripting.h"
#include "sim/SimSymbols.h"
#include "sim/SimURLSession.h"
#include "sim/SimWindowManager.h"
#include "sim/SimWindowServer.h"
#include "sim/SimWorkspace.h"
#include "sim/SystemAppearance.h"
#include "sim/Spaces.h"
#include "sim/Time.h"
#include "sim/Windows.h"
#include "sim/World.h"

namespace sim {

// The whole simulated macOS desktop, composed of one part per simulated
// service, each in its own files. It hands out the platform services (the
// sim's own types, which also carry what tests may inject or observe), and
// the parts tests, the scenario runner and the playground use to build the
// world and to act in it as a user would. All control calls are made on the
// thread that created the desktop (the simulated main thread).
//
// A new part: its own files, a member below, an accessor, and (if it cares
// about Durazizi's process or shows on screen) an entry in `services_`.
class Desktop final : public platform::Platform {
public:
    Desktop();
    ~Desktop() override;
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;

    // platform::Platform
    platform::Defaults& defaults() override { return *defaults_; }
    SimClock& clock() override { return clock_; }
    SimRunLoop& runLoop() override { return runLoop_; }
    SimAccessibility& accessibility() override { return accessibility_; }
    SimScreens& screens() override { return screens_; }
    SimWorkspace& workspace() override { return workspace_; }
    platform::Files& files() override { return *files_; }
    platform::LoginService& loginService() override { return *loginService_; }
    SimApplication& application() override { return application_; }
    SimCapture& capture() override { return capture_; }
    SimWindowServer& windowServer() override { return windowServer_; }
    SimSymbols& symbols() override { return symbols_; }
    SimEventTaps& eventTaps() override { return eventTaps_; }
    SimEventMonitors& eventMonitors() override { return eventMonitors_; }
    // The account's calendars and its locale and time zone.
    SimCalendarStore& calendarStore() override { return calendars_; }
    SimLocale& locale() override { return locale_; }
    SimScripting& scripting() override { return scripting_; }
    SimURLSession& urlSession() override { return urlSession_; }
    platform::Images& images() override { return *images_; }

    // Services the host may replace with real ones (property-list defaults,
    // XDG autostart, XDG folders). By default the desktop uses in-memory ones.
    void useDefaults(std::shared_ptr<platform::Defaults> defaults);
    void useLoginService(std::shared_ptr<platform::LoginService> service);
    void useFiles(std::shared_ptr<platform::Files> files);
    // An image decoder; by default the desktop reads no image format.
    void useImages(std::shared_ptr<platform::Images> images);

    // The two music players with the scripts sent to them and their faults,
    // and the URL session with the addresses asked for.
    SimScripting& players() { return scripting_; }
    SimURLSession& downloads() { return urlSession_; }

    Time& time() { return time_; }
    Input& input() { return input_; }
    SimWindowManager& windowManager() { return windowManager_; }
    Dock& dock() { return dock_; }
    Processes& processes() { return processes_; }
    Windows& windows() { return windows_; }
    Spaces& spaces() { return spaces_; }
    OwnProcess& ownProcess() { return ownProcess_; }
    OwnWindows& ownWindows() { return ownWindows_; }
    Permissions& permissions() { return permissions_; }
    SystemAppearance& appearance() { return appearance_; }
    MenuBar& menuBar() { return menuBar_; }
    ChangeCounter& changes() { return changes_; }
    // How long each piece of Durazizi's main-thread work took.
    Callouts& callouts() { return callouts_; }

    // What painters read of a desktop they may not change.
    const SimApplication& application() const { return application_; }
    const SimScreens& screens() const { return screens_; }
    const Time& time() const { return time_; }
    const Dock& dock() const { return dock_; }
    const Processes& processes() const { return processes_; }
    const Windows& windows() const { return windows_; }
    const Spaces& spaces() const { return spaces_; }
    const OwnProcess& ownProcess() const { return ownProcess_; }
    const OwnWindows& ownWindows() const { return ownWindows_; }
    const ChangeCounter& changes() const { return changes_; }
    const SystemAppearance& appearance() const { return appearance_; }
    const MenuBar& menuBar() const { return menuBar_; }

private:
    // Declared so that the graveyard outlives everything that may bury
    // something in it, and the world outlives every part reading it.
    Graveyard graveyard_;
    std::shared_ptr<World> world_ = std::make_shared<World>();
    std::vector<Service*> services_;
    SimClock clock_{kDefaultWallClock};
    Callouts callouts_{clock_};
    SimRunLoop runLoop_{clock_, graveyard_};
    SimAccessibility accessibility_{*world_, runLoop_};
    SimScreens screens_{*world_};
    SimWorkspace workspace_{world_};
    SimCapture capture_{*world_};
    SimWindowServer windowServer_{*world_, clock_, runLoop_, graveyard_};
    SimSymbols symbols_;
    SimEventTaps eventTaps_{*world_, runLoop_, graveyard_};
    SimEventMonitors eventMonitors_{*world_, graveyard_};
    SimWindowManager windowManager_{*world_};
    SimCalendarStore calendars_{runLoop_};
    SimLocale locale_;
    SimScripting scripting_{*world_, runLoop_};
    SimURLSession urlSession_{runLoop_, scripting_};
    std::shared_ptr<platform::Images> images_ = std::make_shared<NoImages>();
    SimApplication application_{world_, graveyard_, [this] { ownProcess_.terminate(); }};
    std::shared_ptr<platform::Defaults> defaults_ = std::make_shared<MemoryDefaults>();
    std::shared_ptr<platform::LoginService> loginService_ = std::make_shared<MemoryLoginService>();
    std::shared_ptr<platform::Files> files_;

    Time time_{clock_, runLoop_, graveyard_};
    Input input_{*world_, windowServer_, eventTaps_, eventMonitors_, windowManager_, graveyard_};
    Dock dock_{*world_};
    OwnProcess ownProcess_{*world_, graveyard_, services_, *this};
    Processes processes_{*world_, ownProcess_};
    Windows windows_{*world_};
    Spaces spaces_{*world_};
    OwnWindows ownWindows_{windowServer_};
    Permissions permissions_{*world_};
    SystemAppearance appearance_{*world_};
    MenuBar menuBar_{*world_, application_, locale_, clock_};
    ChangeCounter changes_{services_};
};

}  // namespace sim
