#include "ax/WindowWatch.h"

#include <utility>

#include "ax/AX.h"
#include "platform/Platform.h"

namespace durazizi {

namespace {

constexpr const char* kNotifications[] = {
    AX::kAXWindowCreatedNotification,       AX::kAXUIElementDestroyedNotification,
    AX::kAXWindowMiniaturizedNotification,  AX::kAXWindowDeminiaturizedNotification,
    AX::kAXTitleChangedNotification,        AX::kAXFocusedWindowChangedNotification,
};

}  // namespace

struct WindowWatch::Watched {
    platform::pid_t pid = 0;
    bool includeMinimized = false;
    bool includePalettes = false;
    platform::AXObserverRef observer;   // none: read again by the clock
    std::vector<WindowEntry> list;
    double readAt = 0;
    // Set by notifications, which the main run loop delivers.
    bool stale = true;
};

std::vector<WindowEntry> WindowWatch::windows(platform::pid_t pid, bool includeMinimized, bool includePalettes,
                                              double now) {
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
            for (const char* notification : kNotifications) {
                complete = accessibility.addNotification(observer, application, notification) ==
                               platform::kAXErrorSuccess && complete;
            }
            // An observer that misses some changes would show stale windows.
            if (complete) fresh->observer = std::move(observer);
        }
        watched_ = std::move(fresh);
    }
    Watched& watched = *watched_;
    const bool due = watched.observer ? watched.stale : watched.stale || now - watched.readAt >= kRereadInterval;
    if (due) {
        watched.stale = false;
        watched.list = WindowList::collected(pid, includeMinimized, includePalettes);
        watched.readAt = now;
    }
    return WindowList::ordered(watched.list);
}

void WindowWatch::reset() { watched_.reset(); }

}  // namespace durazizi
