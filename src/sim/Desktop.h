#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "kit/Appearance.h"
#include "kit/Color.h"
#include "kit/Geometry.h"
#include "kit/Image.h"
#include "platform/Platform.h"

namespace sim {

using platform::CGWindowID;
using platform::pid_t;

// 2026-12-07T09:00:00Z, where every simulated world's clock starts.
inline constexpr double kDefaultWallClock = 1796634000.0;

struct AppSpec {
    std::string bundleId;
    std::string name;
    std::optional<pid_t> pid;               // counts up from 500 when absent
    std::optional<std::string> bundlePath;  // defaults to /Applications/<name>.app
    bool running = true;
    bool inDock = true;                     // used by the Dock, when there is one
};

struct WindowSpec {
    pid_t pid = 0;
    std::string title;
    std::optional<CGWindowID> id;           // counts up from 100 when absent
    kit::Rect frame{100, 100, 800, 600};    // top-left global coordinates
    std::string subrole = "AXStandardWindow";
    bool minimized = false;
    bool closeButton = true;
    int depth = 3;                          // content elements between the window and the deepest one
    kit::Size minimumSize{120, 80};         // the app refuses to go smaller
    bool refusesMove = false;               // position writes fail
    bool refusesResize = false;             // size writes fail
};

// What a user, or another application, sees of one simulated window.
struct WindowInfo {
    CGWindowID id = 0;
    pid_t pid = 0;
    bool exists = false;
    std::string title;
    kit::Rect frame;       // top-left global coordinates
    bool minimized = false;
    bool focused = false;  // its app's focused window, and that app is frontmost
};

struct AppInfo {
    pid_t pid = 0;
    std::string bundleId;
    std::string name;
    std::string bundlePath;
    bool running = false;
    bool frontmost = false;
    std::optional<CGWindowID> focusedWindow;
};

// Names one accessibility element of the simulated world, for tests that
// build awkward trees: the application element (window 0), a window element
// (contentLevel -1), or the content element `contentLevel` steps below the
// window (0 = the window's direct child, depth-1 = the deepest one).
struct ElementPath {
    pid_t pid = 0;
    CGWindowID window = 0;
    int contentLevel = -1;
};

// A Dock item that is not an application's (or an application's whose app
// the world does not model).
enum class DockItemKind { Application, Folder, Trash, Separator, Minimized };

// One of Durazizi's own windows or panels as the window server shows it.
struct OwnWindowInfo {
    std::string title;
    bool visible = false;
    kit::Rect frame;                         // top-left global coordinates
    platform::NSWindowLevel level = 0;
    double alpha = 1;
    std::int64_t windowNumber = 0;
    bool isPanel = false;
    bool key = false;
    std::shared_ptr<kit::View> contentView;
    // How the window server composes it (painters read these).
    std::uint64_t styleMask = 0;
    bool opaque = true;
    bool hasShadow = true;
    kit::Color backgroundColor = kit::Color::white();
    bool ignoresMouse = false;
    std::optional<kit::Appearance> appearance;   // nullopt follows the system's
};

// One tile of the running Dock as a user sees it.
struct DockItemInfo {
    DockItemKind kind = DockItemKind::Application;
    std::string title;
    std::string bundleId;       // applications the world knows; empty otherwise
    kit::Rect frame;            // top-left global coordinates
    bool running = false;       // an application item whose application runs
    // The tile's colour, premultiplied opaque RGBA packed as kit::Image pixels:
    // the application's icon colour, or one derived from the title.
    std::uint32_t color = 0;
};

// One event as an application received it.
struct ReceivedEvent {
    std::string type;   // "down", "drag", "up", "key", "scroll"
    kit::Point at;      // top-left global coordinates
};

struct MenuChoiceResult {
    bool found = false;
};

// The whole simulated macOS desktop. It implements every platform service;
// the control half below is what tests, the scenario runner and the
// playground use to build the world and to act in it as a user would.
// All control calls are made on the thread that created the desktop (the
// simulated main thread).
class Desktop final : public platform::Platform {
public:
    Desktop();
    ~Desktop() override;
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;

    // platform::Platform
    platform::Defaults& defaults() override;
    platform::Clock& clock() override;
    platform::RunLoop& runLoop() override;
    platform::Accessibility& accessibility() override;
    platform::Screens& screens() override;
    platform::Workspace& workspace() override;
    platform::Files& files() override;
    platform::LoginService& loginService() override;
    platform::Application& application() override;
    platform::Capture& capture() override;
    platform::WindowServer& windowServer() override;
    platform::Symbols& symbols() override;
    platform::EventTaps& eventTaps() override;
    platform::EventMonitors& eventMonitors() override;

    // Services the host may replace with real ones (property-list defaults,
    // XDG autostart, XDG folders). By default the desktop uses in-memory ones.
    void useDefaults(std::shared_ptr<platform::Defaults> defaults);
    void useLoginService(std::shared_ptr<platform::LoginService> service);
    void useFiles(std::shared_ptr<platform::Files> files);

    // --- time ---------------------------------------------------------------
    void setWallClock(double secondsSince1970);
    double now() const;
    // Lets virtual time pass: due timers, animations and main-queue work run
    // in time order; background work started before or during the advance
    // finishes within it and its hand-backs run in order.
    void advance(double seconds);
    // Runs main-queue work that is already due, and waits for background work.
    void settle();
    // Real-time mode (the playground): the clock follows the system clock and
    // `pump` runs whatever is due.
    void setRealTime(bool on);
    void pump();

    // --- what the screen shows ------------------------------------------------
    // Counts visible changes: it differs from an earlier answer whenever
    // something a painter draws may have changed since (windows, apps, the
    // Dock, the status item, own windows and their animation steps, the
    // clock's minute). Changes inside own windows' view trees show in the
    // views' needsDisplay flags instead. Cheap enough to ask every frame.
    std::uint64_t changeCount() const;

    // --- screens and pointer (top-left global coordinates) -----------------------
    // The display whose top-left is 0,0 is the primary one. Without `visible`,
    // the visible frame leaves out the 24-point menu bar.
    void addScreen(kit::Rect frame, std::optional<kit::Rect> visible = std::nullopt);
    // The display added `index`-th (from 0) is unplugged; its windows move to
    // the primary display. False when there is no such display.
    bool removeScreen(std::size_t index);
    // Moving over one of Durazizi's visible windows drives its views' tracking
    // areas; leaving the window sends the exits. With the left button down
    // the move is a drag event.
    void movePointer(kit::Point topLeft);
    kit::Point pointer() const;
    // The primary display's frame (top-left global); nullopt without displays.
    std::optional<kit::Rect> primaryScreenFrame() const;
    // The left button, at a point (the pointer moves there first). Over one of
    // Durazizi's windows the views get the clicks; elsewhere the simulated
    // world answers: an app window is raised and its app made frontmost, its
    // close button closes it, a Dock application item activates (or launches)
    // its app. Events take no virtual time. Every event runs through the
    // event taps first; one a tap swallows goes no further. The modifiers
    // given with the press stay held until the release.
    void mouseDown(kit::Point topLeft, platform::CGEventFlags flags = 0);
    void mouseUp(kit::Point topLeft);
    void click(kit::Point topLeft, platform::CGEventFlags flags = 0);
    // A key-down (virtual key code) for the frontmost application.
    void keyDown(std::int64_t keyCode, platform::CGEventFlags flags = 0);
    // A vertical scroll at a point, positive up, in lines and in points.
    void scrollWheel(kit::Point topLeft, double lines, double points, platform::CGEventFlags flags = 0);
    // What each application received, since the previous take.
    std::vector<ReceivedEvent> takeReceivedEvents(pid_t pid);

    // --- event taps ----------------------------------------------------------
    // The system disables Durazizi's taps (kCGEventTapDisabledByTimeout or
    // ...ByUserInput); the callback hears of it on the main run loop, before
    // the next event unless `whenRunLoopRuns` lets events pass meanwhile.
    void disableEventTaps(platform::CGEventType reason, bool whenRunLoopRuns = false);
    void failEventTapCreate(bool fail = true);
    struct EventTapInfo {
        bool installed = false;
        bool enabled = false;
        // What the held gesture does to the window, as seen on screen.
        std::string mode = "none";
    };
    EventTapInfo eventTap() const;

    // --- the Dock ------------------------------------------------------------
    // The Dock process runs (or quits), on the primary display, with square
    // icons of `iconSize` points. There is no Dock until this is called.
    void setDock(bool running, double iconSize = 48);
    // The Dock quits and starts again with a new pid and the same items; its
    // old elements answer kAXErrorInvalidUIElement.
    void restartDock();
    // Appended after the items added so far (applications with inDock add
    // theirs as they are added).
    void addDockItem(DockItemKind kind, const std::string& title);
    // Top-left global coordinates; nullopt when the Dock is not running or
    // no item has that title.
    std::optional<kit::Rect> dockItemFrame(const std::string& title) const;
    std::optional<pid_t> dockPid() const;
    // Every item with its frame, in Dock order; empty when the Dock is not running.
    std::vector<DockItemInfo> dockItems() const;

    // --- processes -----------------------------------------------------------
    pid_t addApplication(const AppSpec& spec);
    void quitApplication(pid_t pid);
    void setFrontmost(pid_t pid, std::optional<CGWindowID> window = std::nullopt);
    std::optional<AppInfo> application(pid_t pid) const;
    std::optional<pid_t> pidForName(const std::string& name) const;

    // --- windows -------------------------------------------------------------
    CGWindowID addWindow(const WindowSpec& spec);
    WindowInfo window(CGWindowID id) const;
    // Front to back, every window of every running application.
    std::vector<WindowInfo> windows() const;
    // A window's content as the capture service draws it (the same pixels a
    // captureImage of that size answers, without counting as a capture);
    // empty when the window is gone or the size has no pixels.
    std::vector<std::uint32_t> windowPixels(CGWindowID id, int pixelWidth, int pixelHeight) const;
    std::optional<pid_t> frontmostPid() const;

    // --- Durazizi's own process ---------------------------------------------
    pid_t ownPid() const;
    // A new process: fresh pid, no timers, menus, status items or delegate.
    void startOwnProcess();
    bool ownProcessRunning() const;
    // The process ends as terminate: would end it (also what `terminate` does).
    void terminateOwnProcess();

    // --- Durazizi's windows and panels ---------------------------------------
    // Every window the running process made and still holds, front-most
    // visible first, then the ordered-out ones in the order they were made.
    std::vector<OwnWindowInfo> ownWindows() const;

    // --- screen capture ------------------------------------------------------
    void failShareableContent(bool fail = true);
    void failCapture(CGWindowID window);
    std::uint64_t captureCount() const;     // captureImage calls

    // --- permissions ---------------------------------------------------------
    void setAccessibilityTrusted(bool trusted);
    void setScreenRecording(bool granted);
    int accessibilityPrompts() const;       // isProcessTrustedWithOptions(prompt: true) calls
    int screenRecordingRequests() const;    // requestScreenCaptureAccess calls

    // --- accessibility faults and instrumentation ---------------------------
    void failAXRead(pid_t pid, const std::string& attribute);
    void failAXWrite(pid_t pid, const std::string& attribute);
    void setAXDead(pid_t pid);              // the process stops answering
    // Replaces what an element answers for an attribute; nullopt makes it
    // answer kAXErrorNoValue. For trees the simulated apps would not build.
    void overrideAttribute(const ElementPath& element, const std::string& attribute,
                           std::optional<platform::CFType> value);
    // Makes the window-number call fail for that window, or report `number`.
    void overrideWindowNumber(CGWindowID window, std::optional<CGWindowID> number);
    std::uint64_t axCalls() const;          // since the desktop was made
    std::uint64_t takeAXCalls();            // since the previous take

    // --- what Durazizi did ---------------------------------------------------
    std::vector<std::string> openedURLs() const;
    platform::ActivationPolicy activationPolicy() const;
    bool hasStatusItem() const;
    kit::ImageRef statusItemImage() const;
    // The status item button's frame in top-left global coordinates.
    std::optional<kit::Rect> statusItemFrame() const;
    bool clickStatusItem();                               // false when there is no button
    platform::MenuRef mainMenu() const;
    // Chooses an item of the main menu as a click would; the application menu
    // is found by the title of the application ("Durazizi").
    bool chooseMenuItem(const std::string& menuTitle, const std::string& itemTitle);
    std::optional<std::map<std::string, std::string>> aboutPanelOptions() const;
    int activations() const;                              // activateIgnoringOtherApps calls
    // The delegate the running process handed to setDelegate, if any.
    std::shared_ptr<platform::ApplicationDelegate> delegate() const;

private:
    void hoverPointer(kit::Point topLeft);

    struct State;
    std::unique_ptr<State> state_;
};

// NSUserDefaults held in memory, for tests that need no file.
class MemoryDefaults final : public platform::Defaults {
public:
    MemoryDefaults();
    ~MemoryDefaults() override;
    void registerDefaults(const std::map<std::string, platform::DefaultValue>& defaults) override;
    bool boolForKey(const std::string& key) override;
    std::int64_t integerForKey(const std::string& key) override;
    double doubleForKey(const std::string& key) override;
    void setBool(bool value, const std::string& key) override;
    void setInteger(std::int64_t value, const std::string& key) override;
    void setDouble(double value, const std::string& key) override;
    void removeObjectForKey(const std::string& key) override;
    std::optional<platform::DefaultValue> objectForKey(const std::string& key) override;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// A login service in memory, with failures that tests can inject.
class MemoryLoginService final : public platform::LoginService {
public:
    platform::SMAppServiceStatus status() override;
    bool registerService(std::string* error) override;
    bool unregisterService(std::string* error) override;

    void setStatus(platform::SMAppServiceStatus status) { status_ = status; }
    void failRegister(std::string message) { registerError_ = std::move(message); }
    void failUnregister(std::string message) { unregisterError_ = std::move(message); }
    int registers() const { return registers_; }         // successful ones
    int unregisters() const { return unregisters_; }

private:
    platform::SMAppServiceStatus status_ = platform::SMAppServiceStatusNotRegistered;
    std::optional<std::string> registerError_;
    std::optional<std::string> unregisterError_;
    int registers_ = 0;
    int unregisters_ = 0;
};

}  // namespace sim
