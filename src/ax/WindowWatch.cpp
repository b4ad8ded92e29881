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

Signature signature(platform::pid_t pid) {
    const AX::Element application = platform::current().accessibility().createApplication(pid);
    Signature result;
    for (const AX::Element& window : AX::children(application, AX::kAXWindowsAttribute)) {
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
    platform::AXObserverRef observer;            // none: only the checks
    std::set<platform::CGWindowID> registered;   // windows whose own notifications we hear
    std::vector<WindowEntry> list;
    Signature seen;
    double checkedAt = platform::kDistantPast;
    // Set by notifications, which the main run loop delivers.
    bool stale = true;
};

std::vector<WindowEntry> WindowWatch::windows(platform::pid_t pid, bool includeMinimized, bool includePalettes,
                                              double now) {
    // Our own windows are no business of the previews, and a message to our
    // own process would wait on the very thread that sends it.
    if (pid == platform::current().workspace().processIdentifier()) return {};
    if (!watched_ || watched_->pid != pid || watched_->includeMinimized != includeMinimized ||
        watched_->includePalettes != includePalettes) {
        auto fresh = std::make_shared<Watched>();
        fresh->pid = pid;
        fresh->includeMinimized = includeMinimized;
        fresh->includePalettes = includePalettes;
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
        watched.seen = signature(pid);
        read(watched);
        watched.checkedAt = now;
    } else if (now - watched.checkedAt >= kCheckInterval) {
        watched.checkedAt = now;
        // The check's answer is the new signature: no second round of messages.
        if (Signature current = signature(pid); current != watched.seen) {
            watched.seen = std::move(current);
            read(watched);
        }
    }
    return WindowList::ordered(watched.list);
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
