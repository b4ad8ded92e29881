#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "kit/Geometry.h"
#include "kit/Image.h"
#include "platform/CFType.h"
#include "platform/Constants.h"
#include "sim/SpaceState.h"

namespace sim {

using platform::CGWindowID;
using platform::pid_t;

// Height of the menu bar at the top of every display, in points.
inline constexpr double kMenuBarHeight = 24;

inline constexpr const char* kOwnBundleId = "app.durazizi.Durazizi";
inline constexpr const char* kOwnName = "Durazizi";
inline constexpr pid_t kFirstOwnPid = 400;

// What never changes about a process, shared with the NSRunningApplication
// handles given out for it so that they outlive the process (and the world).
struct ProcessIdentity {
    pid_t pid = 0;
    std::string bundleId;
    std::string name;
    std::string bundlePath;
    kit::ImageRef icon;
    std::atomic<bool> terminated{false};
};

struct AppRecord {
    std::shared_ptr<ProcessIdentity> identity;
    bool launched = true;    // false for an installed application that is not running
    bool inDock = true;
    bool own = false;        // Durazizi itself

    bool running() const { return launched && !identity->terminated.load(); }
};

struct WindowRecord {
    CGWindowID id = 0;
    pid_t pid = 0;
    std::string title;
    kit::Rect frame;   // top-left global coordinates
    std::string subrole;
    bool minimized = false;
    bool closeButton = true;
    int depth = 3;
    kit::Size minimumSize;
    bool refusesMove = false;
    bool refusesResize = false;
    SpaceID space = 0;   // the Space it is on; 0 on every Space
};

// A Dock item that is not an application's (or an application's whose app
// the world does not model).
enum class DockItemKind { Application, Folder, Trash, Separator, Minimized };

// One tile of the Dock. An `id` is never given twice, so it names one tile
// for the life of the world (and of the accessibility handles given out for
// it, which fail once Durazizi's own tiles leave the Dock).
struct DockItemRecord {
    std::uint32_t id = 0;
    DockItemKind kind = DockItemKind::Application;
    std::string title;
    std::string bundleId;     // applications
    std::string bundlePath;   // applications
    // Durazizi's own tiles: its application tile while it is a regular
    // application (drawn with the bundle's icon), and one per minimized
    // window of its own (the window server's number).
    bool own = false;
    kit::ImageRef icon;
    std::int64_t ownWindow = 0;
};

inline constexpr const char* kFinderBundleId = "com.apple.finder";
inline constexpr const char* kFinderName = "Finder";
inline constexpr pid_t kFinderPid = 290;   // a system process's, below the Dock's

inline constexpr const char* kDockBundleId = "com.apple.dock";
inline constexpr const char* kDockName = "Dock";
inline constexpr const char* kDockBundlePath = "/System/Library/CoreServices/Dock.app";
// The Dock's layout, in points.
inline constexpr double kDockItemGap = 4;
inline constexpr double kDockSeparatorWidth = 12;
inline constexpr double kDockBottomMargin = 8;
inline constexpr double kDockStripPadding = 16;   // strip height = icon size + this

// Where a window's close button sits: 14 points square, 8 in from the
// window's left edge and 4 down from its top.
inline kit::Rect closeButtonRect(const WindowRecord& w) {
    return {w.frame.minX() + 8, w.frame.minY() + 4, 14, 14};
}

struct ScreenRecord {
    kit::Rect frame;                    // top-left global coordinates
    std::optional<kit::Rect> visible;   // top-left global coordinates
};

// The whole simulated world as plain data. Services lock `mutex` around
// every read and write: the main thread drives the world, but background
// work may ask about it too.
struct World {
    World();

    mutable std::recursive_mutex mutex;
    const std::uint64_t serial;   // tells this world's element handles from another's

    // screens and pointer
    std::vector<ScreenRecord> screens;
    kit::Point pointer;
    SpaceState spaceState;

    // processes, in launch order
    std::vector<pid_t> launchOrder;
    std::map<pid_t, AppRecord> apps;
    std::optional<pid_t> frontmost;
    // Applications in the order they were last active, most recent last:
    // where activation goes when the active one gives it up.
    std::vector<pid_t> activationOrder;
    pid_t ownPid = kFirstOwnPid;
    static constexpr pid_t kFirstPid = 500;
    pid_t nextPid = kFirstPid;

    // windows; `zOrder` lists existing windows front to back
    std::map<CGWindowID, WindowRecord> windows;
    std::vector<CGWindowID> zOrder;
    CGWindowID nextWindowId = 100;

    // permissions
    bool accessibilityTrusted = true;
    bool screenRecording = true;
    int accessibilityPrompts = 0;
    int screenRecordingRequests = 0;

    // accessibility faults and instrumentation
    std::set<std::pair<pid_t, std::string>> failedReads;
    std::set<std::pair<pid_t, std::string>> failedWrites;
    std::set<pid_t> axDead;   // processes that stop answering accessibility calls
    // Processes whose main thread is stuck: every message to them waits out
    // the caller's messaging timeout before failing.
    std::set<pid_t> axHung;
    std::map<std::tuple<pid_t, CGWindowID, int, std::string>, std::optional<platform::CFType>> overrides;
    std::map<CGWindowID, std::optional<CGWindowID>> windowNumberOverrides;
    std::atomic<std::uint64_t> axCalls{0};
    std::uint64_t axCallsTaken = 0;
    // Position and size writes as the windows' applications received them,
    // in order: "AXSize 700x870", "AXPosition 0,24" (the latest kKeptRecords).
    std::vector<std::string> axWindowWrites;
    // Where an application's accessibility notifications go (the
    // accessibility service listens); called with `mutex` held.
    std::function<void(pid_t pid, CGWindowID window, const std::string& notification)> axNotify;

    // the Dock
    std::vector<DockItemRecord> dockItems;
    std::uint32_t nextDockItemId = 1;
    std::optional<pid_t> dockPid;   // the running Dock process
    pid_t nextDockPid = 300;        // apart from the applications' pids, as a system process's are
    double dockIconSize = 48;

    // screen capture
    bool failShareableContent = false;
    std::set<CGWindowID> failedCaptures;
    std::atomic<std::uint64_t> captureCount{0};

    // The system's appearance (System Settings > Appearance).
    bool darkAppearance = false;

    // The window server restores one of Durazizi's minimized windows (a
    // click on its Dock tile); called with `mutex` held.
    std::function<void(std::int64_t windowNumber)> restoreOwnWindow;

    // what Durazizi did to the world (the latest kKeptRecords)
    std::vector<std::string> openedURLs;

    // --- queries (callers hold `mutex`) ---------------------------------------
    const AppRecord* app(pid_t pid) const;
    AppRecord* app(pid_t pid);
    const AppRecord* runningApp(pid_t pid) const;
    const WindowRecord* window(CGWindowID id) const;
    WindowRecord* window(CGWindowID id);

    // The primary display's height (the display whose top-left is 0,0; else
    // the first one), which converts between top-left and Cocoa coordinates.
    double primaryHeight() const;
    const ScreenRecord* primaryScreen() const;
    kit::Rect visibleFrame(const ScreenRecord& screen) const;   // top-left
    // The display whose horizontal extent holds x, preferring the one that
    // also holds y, else the one vertically nearest.
    const ScreenRecord* screenForX(double x, double y) const;
    bool inMenuBar(kit::Point topLeft) const;

    // The Dock, laid out on the primary display: one frame per item (top-left),
    // empty when the Dock is not running or there is no display.
    std::vector<kit::Rect> dockLayout() const;
    // The strip along the display's bottom edge that the Dock covers.
    std::optional<kit::Rect> dockStrip() const;
    const DockItemRecord* dockItem(std::uint32_t id) const;

    // An app's windows front to back, as AXWindows lists them: those on the
    // current Space of each display, then the minimized ones.
    std::vector<CGWindowID> windowsOf(pid_t pid) const;
    // The focused window of an app: its front-most window on a current Space
    // that is not minimized.
    std::optional<CGWindowID> focusedWindow(pid_t pid) const;

    // --- changes (callers hold `mutex`) ----------------------------------------
    pid_t allocatePid(std::optional<pid_t> wanted);
    CGWindowID allocateWindowId(std::optional<CGWindowID> wanted);
    // The display is unplugged; windows whose centre was on it, or which lie
    // on no display any more, land on the primary display at the same place
    // relative to its top-left, kept inside its visible frame; a pointer on
    // it moves to the primary display the same way. False when there is no
    // such display.
    bool unplugScreen(std::size_t index);
    void raise(CGWindowID id);
    void closeWindow(CGWindowID id);
    // The window's application announces a change, as applications do to
    // accessibility observers.
    void notifyAX(pid_t pid, CGWindowID window, const std::string& notification) const;
    void terminate(pid_t pid);
    // The app becomes frontmost (switching Space when it has no window on a
    // current one) and its focused window comes to the front.
    void activate(pid_t pid);
    // The app becomes the active one without raising a window (a click
    // raises the window it lands on itself).
    void setFrontmost(pid_t pid);
    // The active app gives up being active: the app that was active before
    // it becomes active again, else the Finder. Nothing when `pid` is not active.
    void activateNextAfter(pid_t pid);
    // Durazizi's Dock tile comes (after the other applications' tiles) and goes
    // with its being a regular application; `icon` is its bundle's icon.
    void addOwnDockTile(kit::ImageRef icon);
    void removeOwnDockTile();
    // A minimized window of Durazizi's sits in the Dock, before the Trash.
    void addMinimizedOwnWindow(std::int64_t windowNumber, const std::string& title);
    void removeMinimizedOwnWindow(std::int64_t windowNumber);
    // Adds the application's Dock item unless one for that bundle is there.
    void addDockApplication(const ProcessIdentity& app);
    // The Dock process starts (with a new pid) or quits.
    void launchDock();
    void quitDock();
    // What a click on a Dock item does: opens an application, or restores a
    // minimized window of Durazizi's.
    void openDockItem(const DockItemRecord& item);
    // What a click on a Dock application item does: the app activates, and is
    // launched first (a new process, if it had quit) when it is not running.
    void openDockApplication(const DockItemRecord& item);
    // Starts the most recent process of the first bundle that matches (a
    // new process if it had quit) unless it runs; 0 when none matches.
    pid_t launch(const std::function<bool(const ProcessIdentity&)>& matches);
};

}  // namespace sim
