#include "ax/WindowWatch.h"

#include <set>
#include <string>
#include <tuple>
#include <utility>

#include "ax/AX.h"
#include "platform/Platform.h"

namespace durazizi {

namespace {

// Posted by the application about itself: registered on its element.
constexpr const char* kApplicationNotifications[] = {
    AX::kAXWindowCreatedNotification,
    AX::kAXFocusedWindowChangedNotification,
};
// Posted about one window: registered on that window's element.
constexpr const char* kWindowNotifications[] = {
    AX::kAXUIElementDestroyedNotification,
    AX::kAXWindowMiniaturizedNotification,
    AX::kAXWindowDeminiaturizedNotification,
    AX::kAXTitleChangedNotification,
};

// What the check compares: each window the application lists, in its order,
// by number, title and minimized state. Empty when the application does not
// answer, which also differs from any list with windows in it.
using Signature = std::vector<std::tuple<platform::CGWindowID, std::string, bool>>;

Signature signature(platform::pid_t pid, bool* answered) {
    const AX::Element application = platform::current().accessibility().createApplication(pid);
    Signature result;
    platform::CFType windows;
    *answered = AX::copyAttributeValue(application, AX::kAXWindowsAttribute, &windows) == platform::kAXErrorSuccess;
    if (!*answered || !windows.array()) return result;
    for (const platform::CFType& member : *windows.array()) {
        const AX::Element* element = member.element();
        if (!element || !*element) continue;
        const AX::Element& window = *element;
        platform::CGWindowID number = 0;
        if (AX::getWindow(window, &number) != platform::kAXErrorSuccess) number = 0;
        result.emplace_back(number, AX::string(window, AX::kAXTitleAttribute).value_or(""),
                            AX::boolValue(window, AX::kAXMinimizedAttribute));
    }
    return result;
}

}  // namespace

struct WindowWatch::Watched {
    platform::pid_t pid = 0;
    bool includeMinimized = false;
    bool includePalettes = false;
    bool allSpaces = false;
    platform::AXObserverRef observer;            // none: only the checks
    std::set<platform::CGWindowID> registered;   // windows whose own notifications we hear
    std::vector<WindowEntry> list;
    Signature seen;
    bool answered = false;               // the application gave its window list when last asked
    std::vector<WindowEntry> otherSpaces;   // in the window server's order
    double checkedAt = platform::kDistantPast;
    // Set by notifications, which the main run loop delivers.
    bool stale = true;
};

std::vector<WindowEntry> WindowWatch::windows(platform::pid_t pid, bool includeMinimized, bool includePalettes,
                                              bool allSpaces, double now) {
    // Our own windows are no business of the previews, and a message to our
    // own process would wait on the very thread that sends it.
    if (pid == platform::current().workspace().processIdentifier()) return {};
    if (!watched_ || watched_->pid != pid || watched_->includeMinimized != includeMinimized ||
        watched_->includePalettes != includePalettes || watched_->allSpaces != allSpaces) {
        auto fresh = std::make_shared<Watched>();
        fresh->pid = pid;
        fresh->includeMinimized = includeMinimized;
        fresh->includePalettes = includePalettes;
        fresh->allSpaces = allSpaces;
        auto& accessibility = platform::current().accessibility();
        platform::AXObserverRef observer;
        const std::weak_ptr<Watched> weak = fresh;
        const auto stale = [weak](const platform::AXUIElementRef&, const std::string&) {
            if (auto watched = weak.lock()) watched->stale = true;
        };
        if (accessibility.createObserver(pid, stale, &observer) == platform::kAXErrorSuccess && observer) {
            const platform::AXUIElementRef application = accessibility.createApplication(pid);
            bool complete = true;
            for (const char* notification : kApplicationNotifications) {
                complete = AX::addNotification(observer, application, notification) == platform::kAXErrorSuccess &&
                           complete;
            }
            if (complete) fresh->observer = std::move(observer);
        }
        watched_ = std::move(fresh);
    }
    Watched& watched = *watched_;
    if (watched.stale) {
        watched.seen = signature(pid, &watched.answered);
        read(watched);
        readOtherSpaces(watched);
        watched.checkedAt = now;
    } else if (now - watched.checkedAt >= kCheckInterval) {
        watched.checkedAt = now;
        // The check's answer is the new signature: no second round of messages.
        bool answered = false;
        if (Signature current = signature(pid, &answered); current != watched.seen || answered != watched.answered) {
            watched.seen = std::move(current);
            watched.answered = answered;
            read(watched);
        }
        // Windows on other Spaces post nothing we could hear (a window made
        // or moved there is news to no observer): the window server's list,
        // one call that messages no application, is read on every check.
        readOtherSpaces(watched);
    }
    std::vector<WindowEntry> result = WindowList::ordered(watched.list);
    // After the windows of the current Spaces, whatever the order settings.
    for (WindowEntry& entry : WindowList::ordered(watched.otherSpaces)) result.push_back(std::move(entry));
    return result;
}

void WindowWatch::readOtherSpaces(Watched& watched) {
    watched.otherSpaces.clear();
    // An application that does not answer cannot tell its minimized windows
    // from those on other Spaces: the window server marks both off screen.
    if (!watched.allSpaces || !watched.answered) return;
    std::set<platform::CGWindowID> reachable;
    for (const auto& [number, title, minimized] : watched.seen)
        if (number != 0) reachable.insert(number);
    watched.otherSpaces = WindowList::otherSpaceWindows(watched.pid, reachable, watched.includePalettes);
}

// The full read, which also registers for the notifications of windows not
// heard from yet. The caller has taken the signature it is compared by.
void WindowWatch::read(Watched& watched) {
    watched.stale = false;
    std::vector<WindowEntry> list;
    for (WindowList::Listed& listed :
         WindowList::listedWindows(watched.pid, watched.includeMinimized, watched.includePalettes)) {
        if (watched.observer && !watched.registered.contains(listed.entry.id)) {
            bool complete = true;
            for (const char* notification : kWindowNotifications) {
                const platform::AXError error = AX::addNotification(watched.observer, listed.element, notification);
                complete = (error == platform::kAXErrorSuccess ||
                            error == platform::kAXErrorNotificationAlreadyRegistered) &&
                           complete;
            }
            // Tried again on the next read when the window did not take them all.
            if (complete) watched.registered.insert(listed.entry.id);
        }
        list.push_back(std::move(listed.entry));
    }
    watched.list = std::move(list);
}

void WindowWatch::reset() { watched_.reset(); }

}  // namespace durazizi
