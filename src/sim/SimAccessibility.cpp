#include "sim/SimAccessibility.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cmath>
#include <utility>

#include "kit/URL.h"
#include "sim/KeptRecords.h"
#include "sim/SimRunLoop.h"
#include "sim/Spaces.h"

namespace sim {

using platform::AXError;
using platform::CFArray;
using platform::CFType;
using Kind = SimElement::Kind;

namespace {

// Notifications an application posts for one window: macOS delivers them to
// observers registered on that window's element, not to those registered on
// the application element. The others (a window created, the focused window
// changed) are the application's own and go to the application element.
bool isWindowLevel(const std::string& notification) {
    return notification == "AXUIElementDestroyed" || notification == "AXWindowMiniaturized" ||
           notification == "AXWindowDeminiaturized" || notification == "AXTitleChanged" ||
           notification == "AXWindowMoved" || notification == "AXWindowResized";
}

}  // namespace

platform::AXUIElementRef SimAccessibility::make(Kind kind, pid_t pid, CGWindowID window, int level) const {
    return std::make_shared<SimElement>(world_.serial, kind, pid, window, level);
}

platform::AXUIElementRef SimAccessibility::makeDockItem(pid_t dockPid, std::uint32_t item) const {
    auto element = std::make_shared<SimElement>(world_.serial, Kind::DockItem, dockPid);
    element->item = item;
    return element;
}

platform::AXUIElementRef SimAccessibility::createSystemWide() { return make(Kind::SystemWide); }

platform::AXUIElementRef SimAccessibility::createApplication(pid_t pid) { return make(Kind::Application, pid); }

bool SimAccessibility::isProcessTrusted() {
    std::lock_guard lock(world_.mutex);
    return world_.accessibilityTrusted;
}

bool SimAccessibility::isProcessTrustedWithOptions(bool prompt) {
    std::lock_guard lock(world_.mutex);
    // The prompt only opens System Settings; trust changes when the user acts there.
    if (prompt) ++world_.accessibilityPrompts;
    return world_.accessibilityTrusted;
}

AXError SimAccessibility::admit(const platform::AXUIElementRef& ref, const SimElement** element, double* stall) {
    // Apple documents the accessibility API as safe on the main thread only,
    // and the native backend asserts it: a caller elsewhere must fail here as
    // loudly as it would on a Mac, not pass because the sim does not care.
    if (!runLoop_.isMainThread()) {
        std::fputs("sim: an accessibility message was sent off the main thread\n", stderr);
        std::abort();
    }
    world_.axCalls.fetch_add(1, std::memory_order_relaxed);
    if (!world_.accessibilityTrusted) return platform::kAXErrorAPIDisabled;
    const auto* e = dynamic_cast<const SimElement*>(ref.get());
    if (!e) return platform::kAXErrorIllegalArgument;
    if (e->world != world_.serial) return platform::kAXErrorInvalidUIElement;
    *element = e;
    if (e->kind == Kind::SystemWide) return platform::kAXErrorSuccess;

    const AppRecord* app = world_.runningApp(e->pid);
    if (!app) return platform::kAXErrorInvalidUIElement;
    // A process that lost its accessibility answers at once with this error;
    // a hung one lets the caller's messaging timeout pass first.
    if (world_.axDead.count(e->pid)) return platform::kAXErrorCannotComplete;
    if (stall && world_.axHung.count(e->pid)) {
        *stall = timeoutFor(*e);
        return platform::kAXErrorCannotComplete;
    }

    if (e->kind == Kind::Window || e->kind == Kind::Content || e->kind == Kind::CloseButton) {
        const WindowRecord* w = world_.window(e->window);
        if (!w || w->pid != e->pid) return platform::kAXErrorInvalidUIElement;
        if (e->kind == Kind::Content && e->level >= w->depth) return platform::kAXErrorInvalidUIElement;
        if (e->kind == Kind::CloseButton && !w->closeButton) return platform::kAXErrorInvalidUIElement;
    }
    if (e->kind == Kind::DockList || e->kind == Kind::DockItem) {
        // The elements of a Dock that quit stay dead when a new Dock starts.
        if (world_.dockPid != e->pid) return platform::kAXErrorInvalidUIElement;
        if (e->kind == Kind::DockItem && !world_.dockItem(e->item)) return platform::kAXErrorInvalidUIElement;
    }
    return platform::kAXErrorSuccess;
}

AXError SimAccessibility::unanswered(Lock& lock, double stall) {
    lock.unlock();
    runLoop_.stall(stall);
    return platform::kAXErrorCannotComplete;
}

double SimAccessibility::timeoutFor(const SimElement& e) const {
    if (e.kind != Kind::SystemWide && e.messagingTimeout > 0) return e.messagingTimeout;
    if (e.kind != Kind::SystemWide) {
        auto it = applicationTimeouts_.find(e.pid);
        if (it != applicationTimeouts_.end()) return it->second;
    }
    return defaultTimeout_ > 0 ? defaultTimeout_ : kDefaultMessagingTimeout;
}

AXError SimAccessibility::copyAttributeValue(const platform::AXUIElementRef& ref, const std::string& attribute,
                                             CFType* value) {
    Lock lock(world_.mutex);
    const SimElement* e = nullptr;
    double stall = 0;
    if (AXError err = admit(ref, &e, &stall); err != platform::kAXErrorSuccess)
        return stall > 0 ? unanswered(lock, stall) : err;
    if (!value) return platform::kAXErrorIllegalArgument;
    return read(*e, attribute, value);
}

AXError SimAccessibility::read(const SimElement& e, const std::string& attribute, CFType* value) {
    if (e.kind != Kind::SystemWide && world_.failedReads.count({e.pid, attribute}))
        return platform::kAXErrorCannotComplete;

    if (e.kind == Kind::Application || e.kind == Kind::Window || e.kind == Kind::Content) {
        CGWindowID window = e.kind == Kind::Application ? 0 : e.window;
        int level = e.kind == Kind::Content ? e.level : -1;
        auto it = world_.overrides.find({e.pid, window, level, attribute});
        if (it != world_.overrides.end()) {
            if (!it->second) return platform::kAXErrorNoValue;
            *value = *it->second;
            return platform::kAXErrorSuccess;
        }
    }

    switch (e.kind) {
    case Kind::SystemWide:
        if (attribute == "AXRole") {
            *value = CFType("AXSystemWide");
            return platform::kAXErrorSuccess;
        }
        if (attribute == "AXFocusedApplication") {
            if (!world_.frontmost) return platform::kAXErrorNoValue;
            *value = CFType(make(Kind::Application, *world_.frontmost));
            return platform::kAXErrorSuccess;
        }
        return platform::kAXErrorAttributeUnsupported;
    case Kind::MenuBar:
        if (attribute == "AXRole") {
            *value = CFType("AXMenuBar");
            return platform::kAXErrorSuccess;
        }
        if (attribute == "AXParent") return platform::kAXErrorNoValue;
        if (attribute == "AXChildren") {
            *value = CFType(CFArray{});
            return platform::kAXErrorSuccess;
        }
        return platform::kAXErrorAttributeUnsupported;
    case Kind::Application:
        if (world_.dockPid == e.pid) return readDockApplication(e, attribute, value);
        return readApplication(e, attribute, value);
    case Kind::DockList:
        return readDockList(e, attribute, value);
    case Kind::DockItem: {
        std::vector<kit::Rect> frames = world_.dockLayout();
        for (std::size_t i = 0; i < world_.dockItems.size() && i < frames.size(); ++i)
            if (world_.dockItems[i].id == e.item) return readDockItem(e, world_.dockItems[i], frames[i], attribute, value);
        return platform::kAXErrorInvalidUIElement;
    }
    case Kind::Window:
        return readWindow(e, *world_.window(e.window), attribute, value);
    case Kind::Content:
        return readContent(e, *world_.window(e.window), attribute, value);
    case Kind::CloseButton:
        return readCloseButton(e, *world_.window(e.window), attribute, value);
    }
    return platform::kAXErrorAttributeUnsupported;
}

AXError SimAccessibility::readApplication(const SimElement& e, const std::string& attribute, CFType* value) {
    const AppRecord& app = *world_.app(e.pid);
    if (attribute == "AXRole") {
        *value = CFType("AXApplication");
    } else if (attribute == "AXTitle") {
        *value = CFType(app.identity->name);
    } else if (attribute == "AXWindows" || attribute == "AXChildren") {
        CFArray windows;
        for (CGWindowID id : world_.windowsOf(e.pid)) windows.emplace_back(make(Kind::Window, e.pid, id));
        *value = CFType(std::move(windows));
    } else if (attribute == "AXFocusedWindow" || attribute == "AXMainWindow") {
        auto focused = world_.focusedWindow(e.pid);
        if (!focused) return platform::kAXErrorNoValue;
        *value = CFType(make(Kind::Window, e.pid, *focused));
    } else if (attribute == "AXFrontmost") {
        *value = CFType(world_.frontmost == e.pid);
    } else if (attribute == "AXHidden") {
        *value = CFType(false);
    } else if (attribute == "AXParent") {
        return platform::kAXErrorNoValue;
    } else {
        return platform::kAXErrorAttributeUnsupported;
    }
    return platform::kAXErrorSuccess;
}

AXError SimAccessibility::readDockApplication(const SimElement& e, const std::string& attribute, CFType* value) {
    if (attribute == "AXRole") {
        *value = CFType("AXApplication");
    } else if (attribute == "AXTitle") {
        *value = CFType(kDockName);
    } else if (attribute == "AXChildren") {
        *value = CFType(CFArray{CFType(make(Kind::DockList, e.pid))});
    } else if (attribute == "AXWindows") {
        *value = CFType(CFArray{});
    } else if (attribute == "AXFocusedWindow" || attribute == "AXMainWindow" || attribute == "AXParent") {
        return platform::kAXErrorNoValue;
    } else if (attribute == "AXFrontmost" || attribute == "AXHidden") {
        *value = CFType(false);
    } else {
        return platform::kAXErrorAttributeUnsupported;
    }
    return platform::kAXErrorSuccess;
}

AXError SimAccessibility::readDockList(const SimElement& e, const std::string& attribute, CFType* value) {
    if (attribute == "AXRole") {
        *value = CFType("AXList");
    } else if (attribute == "AXRoleDescription") {
        *value = CFType("list");
    } else if (attribute == "AXOrientation") {
        *value = CFType("AXHorizontalOrientation");
    } else if (attribute == "AXParent" || attribute == "AXTopLevelUIElement") {
        *value = CFType(make(Kind::Application, e.pid));
    } else if (attribute == "AXChildren" || attribute == "AXVisibleChildren") {
        CFArray items;
        for (const DockItemRecord& item : world_.dockItems) items.emplace_back(makeDockItem(e.pid, item.id));
        *value = CFType(std::move(items));
    } else if (attribute == "AXPosition" || attribute == "AXSize") {
        std::optional<kit::Rect> strip = world_.dockStrip();
        if (!strip) return platform::kAXErrorNoValue;
        *value = attribute == "AXPosition" ? CFType(platform::AXValue::create(strip->origin))
                                           : CFType(platform::AXValue::create(strip->size));
    } else {
        return platform::kAXErrorAttributeUnsupported;
    }
    return platform::kAXErrorSuccess;
}

namespace {

const char* dockSubrole(DockItemKind kind) {
    switch (kind) {
        case DockItemKind::Application: return "AXApplicationDockItem";
        case DockItemKind::Folder: return "AXFolderDockItem";
        case DockItemKind::Trash: return "AXTrashDockItem";
        case DockItemKind::Separator: return "AXSeparatorDockItem";
        case DockItemKind::Minimized: return "AXMinimizedWindowDockItem";
    }
    return "AXDockItem";
}

// The Dock hands out bundle and folder URLs with a trailing slash, as
// NSURL does for directories.
std::string directoryURL(const std::string& path) {
    std::string text = kit::URL::fileURL(path).absoluteString();
    if (text.empty() || text.back() != '/') text += '/';
    return text;
}

// Where the simulated user's folders live.
constexpr const char* kUserHome = "/Users/user";

}  // namespace

AXError SimAccessibility::readDockItem(const SimElement& e, const DockItemRecord& item, const kit::Rect& frame,
                                       const std::string& attribute, CFType* value) {
    if (attribute == "AXRole") {
        *value = CFType("AXDockItem");
    } else if (attribute == "AXSubrole") {
        *value = CFType(dockSubrole(item.kind));
    } else if (attribute == "AXTitle") {
        *value = CFType(item.title);
    } else if (attribute == "AXPosition") {
        *value = CFType(platform::AXValue::create(frame.origin));
    } else if (attribute == "AXSize") {
        *value = CFType(platform::AXValue::create(frame.size));
    } else if (attribute == "AXURL") {
        if (item.kind == DockItemKind::Application) {
            *value = CFType(platform::CFURL{directoryURL(item.bundlePath)});
        } else if (item.kind == DockItemKind::Folder) {
            *value = CFType(platform::CFURL{directoryURL(std::string(kUserHome) + "/" + item.title)});
        } else {
            return platform::kAXErrorNoValue;
        }
    } else if (attribute == "AXIsApplicationRunning") {
        if (item.kind != DockItemKind::Application) return platform::kAXErrorAttributeUnsupported;
        bool running = false;
        for (const auto& [pid, app] : world_.apps)
            if (!app.own && app.running() && app.identity->bundlePath == item.bundlePath) running = true;
        *value = CFType(running);
    } else if (attribute == "AXParent") {
        *value = CFType(make(Kind::DockList, e.pid));
    } else if (attribute == "AXTopLevelUIElement") {
        *value = CFType(make(Kind::Application, e.pid));
    } else if (attribute == "AXChildren") {
        *value = CFType(CFArray{});
    } else {
        return platform::kAXErrorAttributeUnsupported;
    }
    return platform::kAXErrorSuccess;
}

AXError SimAccessibility::readWindow(const SimElement& e, const WindowRecord& w, const std::string& attribute,
                                     CFType* value) {
    if (attribute == "AXRole") {
        *value = CFType("AXWindow");
    } else if (attribute == "AXSubrole") {
        if (w.subrole.empty()) return platform::kAXErrorNoValue;
        *value = CFType(w.subrole);
    } else if (attribute == "AXTitle") {
        *value = CFType(w.title);
    } else if (attribute == "AXPosition") {
        *value = CFType(platform::AXValue::create(w.frame.origin));
    } else if (attribute == "AXSize") {
        *value = CFType(platform::AXValue::create(w.frame.size));
    } else if (attribute == "AXMinimized") {
        *value = CFType(w.minimized);
    } else if (attribute == "AXCloseButton") {
        if (!w.closeButton) return platform::kAXErrorNoValue;
        *value = CFType(make(Kind::CloseButton, e.pid, w.id));
    } else if (attribute == "AXParent") {
        *value = CFType(make(Kind::Application, e.pid));
    } else if (attribute == "AXChildren") {
        CFArray children;
        if (w.closeButton) children.emplace_back(make(Kind::CloseButton, e.pid, w.id));
        if (w.depth > 0) children.emplace_back(make(Kind::Content, e.pid, w.id, 0));
        *value = CFType(std::move(children));
    } else if (attribute == "AXMain" || attribute == "AXFocused") {
        *value = CFType(world_.focusedWindow(e.pid) == w.id);
    } else {
        return platform::kAXErrorAttributeUnsupported;
    }
    return platform::kAXErrorSuccess;
}

AXError SimAccessibility::readContent(const SimElement& e, const WindowRecord& w, const std::string& attribute,
                                      CFType* value) {
    bool deepest = e.level == w.depth - 1;
    if (attribute == "AXRole") {
        *value = CFType(deepest ? "AXTextArea" : "AXGroup");
    } else if (attribute == "AXParent") {
        *value = CFType(e.level == 0 ? make(Kind::Window, e.pid, w.id) : make(Kind::Content, e.pid, w.id, e.level - 1));
    } else if (attribute == "AXChildren") {
        CFArray children;
        if (!deepest) children.emplace_back(make(Kind::Content, e.pid, w.id, e.level + 1));
        *value = CFType(std::move(children));
    } else if (attribute == "AXWindow" || attribute == "AXTopLevelUIElement") {
        *value = CFType(make(Kind::Window, e.pid, w.id));
    } else {
        return platform::kAXErrorAttributeUnsupported;
    }
    return platform::kAXErrorSuccess;
}

AXError SimAccessibility::readCloseButton(const SimElement& e, const WindowRecord& w, const std::string& attribute,
                                          CFType* value) {
    if (attribute == "AXRole") {
        *value = CFType("AXButton");
    } else if (attribute == "AXSubrole") {
        *value = CFType("AXCloseButton");
    } else if (attribute == "AXParent" || attribute == "AXWindow" || attribute == "AXTopLevelUIElement") {
        *value = CFType(make(Kind::Window, e.pid, w.id));
    } else if (attribute == "AXPosition") {
        *value = CFType(platform::AXValue::create(closeButtonRect(w).origin));
    } else if (attribute == "AXSize") {
        *value = CFType(platform::AXValue::create(closeButtonRect(w).size));
    } else if (attribute == "AXEnabled") {
        *value = CFType(true);
    } else {
        return platform::kAXErrorAttributeUnsupported;
    }
    return platform::kAXErrorSuccess;
}

AXError SimAccessibility::setAttributeValue(const platform::AXUIElementRef& ref, const std::string& attribute,
                                            const CFType& value) {
    Lock lock(world_.mutex);
    const SimElement* e = nullptr;
    double stall = 0;
    if (AXError err = admit(ref, &e, &stall); err != platform::kAXErrorSuccess)
        return stall > 0 ? unanswered(lock, stall) : err;
    if (e->kind == Kind::Window) noteWindowWrite(attribute, value);
    if (e->kind != Kind::SystemWide && world_.failedWrites.count({e->pid, attribute}))
        return platform::kAXErrorCannotComplete;

    if (e->kind == Kind::Window) return writeWindow(*world_.window(e->window), attribute, value);
    if (e->kind == Kind::Application && attribute == "AXFrontmost") {
        auto flag = std::get_if<bool>(&value.value);
        if (!flag) return platform::kAXErrorIllegalArgument;
        if (*flag) world_.activate(e->pid);
        return platform::kAXErrorSuccess;
    }
    return platform::kAXErrorAttributeUnsupported;
}

AXError SimAccessibility::writeWindow(WindowRecord& w, const std::string& attribute, const CFType& value) {
    if (attribute == "AXPosition") {
        const platform::AXValue* v = value.axValue();
        kit::Point p;
        if (!v || !platform::AXValueGetValue(*v, platform::kAXValueCGPointType, &p))
            return platform::kAXErrorIllegalArgument;
        if (w.refusesMove) return platform::kAXErrorCannotComplete;
        // Apps keep a window's top edge below the menu bar of the display it lands on.
        if (const ScreenRecord* screen = world_.screenForX(p.x, p.y))
            p.y = std::max(p.y, screen->frame.minY() + kMenuBarHeight);
        w.frame.origin = p;
        return platform::kAXErrorSuccess;
    }
    if (attribute == "AXSize") {
        const platform::AXValue* v = value.axValue();
        kit::Size s;
        if (!v || !platform::AXValueGetValue(*v, platform::kAXValueCGSizeType, &s))
            return platform::kAXErrorIllegalArgument;
        if (w.refusesResize) return platform::kAXErrorCannotComplete;
        w.frame.size = {std::max(s.width, w.minimumSize.width), std::max(s.height, w.minimumSize.height)};
        return platform::kAXErrorSuccess;
    }
    if (attribute == "AXMinimized") {
        auto flag = std::get_if<bool>(&value.value);
        if (!flag) return platform::kAXErrorIllegalArgument;
        bool wasMinimized = w.minimized;
        w.minimized = *flag;
        if (wasMinimized != w.minimized)
            world_.notifyAX(w.pid, w.id, w.minimized ? "AXWindowMiniaturized" : "AXWindowDeminiaturized");
        // Coming back from the Dock puts the window in front.
        if (wasMinimized && !w.minimized) world_.raise(w.id);
        return platform::kAXErrorSuccess;
    }
    if (attribute == "AXMain" || attribute == "AXFocused") {
        auto flag = std::get_if<bool>(&value.value);
        if (!flag) return platform::kAXErrorIllegalArgument;
        if (*flag) world_.raise(w.id);
        return platform::kAXErrorSuccess;
    }
    return platform::kAXErrorAttributeUnsupported;
}

AXError SimAccessibility::performAction(const platform::AXUIElementRef& ref, const std::string& action) {
    Lock lock(world_.mutex);
    const SimElement* e = nullptr;
    double stall = 0;
    if (AXError err = admit(ref, &e, &stall); err != platform::kAXErrorSuccess)
        return stall > 0 ? unanswered(lock, stall) : err;
    if (e->kind == Kind::Window && action == "AXRaise") {
        // Raising orders the window front within the app and makes it the
        // app's focused window; it does not activate the app.
        world_.raise(e->window);
        return platform::kAXErrorSuccess;
    }
    if (e->kind == Kind::CloseButton && action == "AXPress") {
        world_.closeWindow(e->window);
        return platform::kAXErrorSuccess;
    }
    return platform::kAXErrorActionUnsupported;
}

AXError SimAccessibility::copyElementAtPosition(const platform::AXUIElementRef& ref, float x, float y,
                                                platform::AXUIElementRef* element) {
    Lock lock(world_.mutex);
    const SimElement* e = nullptr;
    double stall = 0;
    if (AXError err = admit(ref, &e, &stall); err != platform::kAXErrorSuccess)
        return stall > 0 ? unanswered(lock, stall) : err;
    if (!element) return platform::kAXErrorIllegalArgument;
    AXError err = platform::kAXErrorIllegalArgument;
    if (e->kind == Kind::SystemWide) err = hitTest(*e, std::nullopt, {x, y}, element, &stall);
    if (e->kind == Kind::Application) err = hitTest(*e, e->pid, {x, y}, element, &stall);
    return stall > 0 ? unanswered(lock, stall) : err;
}

// The system-wide element asks whichever process owns the point, so a hit
// on a hung process's window or Dock waits for it like any other message.
AXError SimAccessibility::hitTest(const SimElement& caller, std::optional<pid_t> onlyPid, kit::Point p,
                                  platform::AXUIElementRef* element, double* stall) {
    if (world_.inMenuBar(p)) {
        pid_t owner = onlyPid ? *onlyPid : world_.frontmost.value_or(world_.ownPid);
        *element = make(Kind::MenuBar, owner);
        return platform::kAXErrorSuccess;
    }
    // The Dock floats above every application window.
    if (world_.dockPid && (!onlyPid || *onlyPid == *world_.dockPid)) {
        const bool hung = world_.axHung.count(*world_.dockPid) > 0;
        std::vector<kit::Rect> frames = world_.dockLayout();
        for (std::size_t i = 0; i < frames.size(); ++i) {
            if (!frames[i].cgContains(p)) continue;
            if (hung) {
                *stall = timeoutFor(caller);
                return platform::kAXErrorCannotComplete;
            }
            *element = makeDockItem(*world_.dockPid, world_.dockItems[i].id);
            return platform::kAXErrorSuccess;
        }
        std::optional<kit::Rect> strip = world_.dockStrip();
        if (strip && strip->cgContains(p)) {
            if (hung) {
                *stall = timeoutFor(caller);
                return platform::kAXErrorCannotComplete;
            }
            *element = make(Kind::DockList, *world_.dockPid);
            return platform::kAXErrorSuccess;
        }
        if (onlyPid) return platform::kAXErrorNoValue;
    }
    for (CGWindowID id : world_.zOrder) {
        const WindowRecord* w = world_.window(id);
        if (!w || !shownOnScreen(world_, *w) || (onlyPid && w->pid != *onlyPid)) continue;
        if (!w->frame.cgContains(p)) continue;
        if (!world_.runningApp(w->pid)) continue;
        if (world_.axDead.count(w->pid)) return platform::kAXErrorCannotComplete;
        if (world_.axHung.count(w->pid)) {
            *stall = timeoutFor(caller);
            return platform::kAXErrorCannotComplete;
        }
        if (w->closeButton && closeButtonRect(*w).cgContains(p))
            *element = make(Kind::CloseButton, w->pid, w->id);
        else if (w->depth > 0)
            *element = make(Kind::Content, w->pid, w->id, w->depth - 1);
        else
            *element = make(Kind::Window, w->pid, w->id);
        return platform::kAXErrorSuccess;
    }
    return platform::kAXErrorNoValue;
}

AXError SimAccessibility::getWindow(const platform::AXUIElementRef& ref, CGWindowID* windowID) {
    Lock lock(world_.mutex);
    const SimElement* e = nullptr;
    double stall = 0;
    if (AXError err = admit(ref, &e, &stall); err != platform::kAXErrorSuccess)
        return stall > 0 ? unanswered(lock, stall) : err;
    if (e->kind != Kind::Window || !windowID) return platform::kAXErrorIllegalArgument;
    auto it = world_.windowNumberOverrides.find(e->window);
    if (it != world_.windowNumberOverrides.end()) {
        if (!it->second) return platform::kAXErrorFailure;
        *windowID = *it->second;
        return platform::kAXErrorSuccess;
    }
    *windowID = e->window;
    return platform::kAXErrorSuccess;
}

AXError SimAccessibility::getPid(const platform::AXUIElementRef& ref, pid_t* pid) {
    const auto* e = dynamic_cast<const SimElement*>(ref.get());
    if (!e || !pid) return platform::kAXErrorIllegalArgument;
    // The system-wide element belongs to no process.
    if (e->kind == Kind::SystemWide) return platform::kAXErrorIllegalArgument;
    *pid = e->pid;
    return platform::kAXErrorSuccess;
}

AXError SimAccessibility::setMessagingTimeout(const platform::AXUIElementRef& ref, float timeoutInSeconds) {
    const auto* e = dynamic_cast<const SimElement*>(ref.get());
    if (!e || !(timeoutInSeconds >= 0) || !std::isfinite(timeoutInSeconds)) return platform::kAXErrorIllegalArgument;
    std::lock_guard lock(world_.mutex);
    if (e->world != world_.serial) return platform::kAXErrorInvalidUIElement;
    const double timeout = timeoutInSeconds;
    switch (e->kind) {
    case Kind::SystemWide:
        defaultTimeout_ = timeout;
        break;
    case Kind::Application:
        if (timeout > 0) applicationTimeouts_[e->pid] = timeout;
        else applicationTimeouts_.erase(e->pid);
        break;
    default:
        e->messagingTimeout = timeout;
        break;
    }
    return platform::kAXErrorSuccess;
}

void SimAccessibility::beginProcess() {
    std::lock_guard lock(world_.mutex);
    defaultTimeout_ = 0;
    applicationTimeouts_.clear();
}

// --- faults and instrumentation ---------------------------------------------------

void SimAccessibility::failRead(pid_t pid, const std::string& attribute) {
    std::lock_guard lock(world_.mutex);
    world_.failedReads.insert({pid, attribute});
}

void SimAccessibility::failWrite(pid_t pid, const std::string& attribute) {
    std::lock_guard lock(world_.mutex);
    world_.failedWrites.insert({pid, attribute});
}

void SimAccessibility::setDead(pid_t pid) {
    std::lock_guard lock(world_.mutex);
    world_.axDead.insert(pid);
}

void SimAccessibility::setHung(pid_t pid, bool hung) {
    std::lock_guard lock(world_.mutex);
    if (hung) world_.axHung.insert(pid);
    else world_.axHung.erase(pid);
}

void SimAccessibility::overrideAttribute(const ElementPath& element, const std::string& attribute,
                                         std::optional<platform::CFType> value) {
    std::lock_guard lock(world_.mutex);
    int level = element.window == 0 || element.contentLevel < 0 ? -1 : element.contentLevel;
    world_.overrides[{element.pid, element.window, level, attribute}] = std::move(value);
}

void SimAccessibility::overrideWindowNumber(CGWindowID window, std::optional<CGWindowID> number) {
    std::lock_guard lock(world_.mutex);
    world_.windowNumberOverrides[window] = number;
}

std::uint64_t SimAccessibility::calls() const { return world_.axCalls.load(); }

// --- observers --------------------------------------------------------------------

struct SimAccessibility::Observer final : platform::AXObserver {
    pid_t pid = 0;
    platform::AXObserverCallback callback;
    // (window number, name); window 0 is the application element.
    std::set<std::pair<CGWindowID, std::string>> registrations;
};

SimAccessibility::SimAccessibility(World& world, SimRunLoop& runLoop) : world_(world), runLoop_(runLoop) {
    std::lock_guard lock(world_.mutex);
    world_.axNotify = [this](pid_t pid, CGWindowID window, const std::string& notification) {
        deliver(pid, window, notification);
    };
}

SimAccessibility::~SimAccessibility() {
    std::lock_guard lock(world_.mutex);
    world_.axNotify = nullptr;
}

void SimAccessibility::failObservers(pid_t pid) {
    std::lock_guard lock(world_.mutex);
    observersFail_.insert(pid);
}

AXError SimAccessibility::createObserver(pid_t pid, platform::AXObserverCallback callback,
                                         platform::AXObserverRef* observer) {
    if (!observer) return platform::kAXErrorIllegalArgument;
    *observer = nullptr;
    const platform::AXUIElementRef application = make(Kind::Application, pid);
    std::lock_guard lock(world_.mutex);
    const SimElement* e = nullptr;
    // Making an observer only sets up a port on our side: no message.
    if (AXError err = admit(application, &e, nullptr); err != platform::kAXErrorSuccess) return err;
    if (observersFail_.count(pid) || !callback) return platform::kAXErrorCannotComplete;
    auto made = std::make_shared<Observer>();
    made->pid = pid;
    made->callback = std::move(callback);
    std::erase_if(observers_, [](const std::weak_ptr<Observer>& o) { return o.expired(); });
    observers_.push_back(made);
    *observer = made;
    return platform::kAXErrorSuccess;
}

AXError SimAccessibility::addNotification(const platform::AXObserverRef& ref, const platform::AXUIElementRef& element,
                                          const std::string& notification) {
    auto* observer = dynamic_cast<Observer*>(ref.get());
    Lock lock(world_.mutex);
    const SimElement* e = nullptr;
    double stall = 0;
    if (AXError err = admit(element, &e, &stall); err != platform::kAXErrorSuccess)
        return stall > 0 ? unanswered(lock, stall) : err;
    if (!observer || e->pid != observer->pid) return platform::kAXErrorIllegalArgument;
    // The application takes any name on itself or on a window; what it then
    // delivers depends on the element (see isWindowLevel).
    if (e->kind != Kind::Application && e->kind != Kind::Window) return platform::kAXErrorNotificationUnsupported;
    const CGWindowID on = e->kind == Kind::Window ? e->window : 0;
    if (!observer->registrations.insert({on, notification}).second)
        return platform::kAXErrorNotificationAlreadyRegistered;
    return platform::kAXErrorSuccess;
}

void SimAccessibility::silence(pid_t pid) {
    std::lock_guard lock(world_.mutex);
    silent_.insert(pid);
}

void SimAccessibility::deliver(pid_t pid, CGWindowID window, const std::string& notification) {
    if (silent_.count(pid)) return;
    const platform::AXUIElementRef element = make(Kind::Window, pid, window);
    const std::pair<CGWindowID, std::string> key{isWindowLevel(notification) ? window : 0, notification};
    const bool destroyed = notification == "AXUIElementDestroyed";
    for (const auto& weak : observers_) {
        auto observer = weak.lock();
        if (!observer || observer->pid != pid || !observer->registrations.count(key)) continue;
        // On the main run loop, as the observer's run-loop source delivers;
        // an observer dropped in between hears nothing.
        runLoop_.asyncMain([weak, element, notification] {
            if (auto alive = weak.lock()) alive->callback(element, notification);
        });
    }
    // A destroyed element's registrations die with it.
    if (destroyed) {
        for (const auto& weak : observers_)
            if (auto observer = weak.lock(); observer && observer->pid == pid)
                std::erase_if(observer->registrations, [window](const auto& r) { return r.first == window; });
    }
}

void SimAccessibility::noteWindowWrite(const std::string& attribute, const CFType& value) {
    const platform::AXValue* v = value.axValue();
    if (!v) return;
    auto number = [](double d) { return std::to_string(static_cast<long long>(d)); };
    if (attribute == "AXSize")
        keepRecord(world_.axWindowWrites, attribute + " " + number(v->size.width) + "x" + number(v->size.height));
    else if (attribute == "AXPosition")
        keepRecord(world_.axWindowWrites, attribute + " " + number(v->point.x) + "," + number(v->point.y));
}

std::vector<std::string> SimAccessibility::takeWindowWrites() {
    std::lock_guard lock(world_.mutex);
    return std::exchange(world_.axWindowWrites, {});
}

std::uint64_t SimAccessibility::takeCalls() {
    std::lock_guard lock(world_.mutex);
    std::uint64_t total = world_.axCalls.load();
    std::uint64_t taken = total - world_.axCallsTaken;
    world_.axCallsTaken = total;
    return taken;
}

}  // namespace sim
