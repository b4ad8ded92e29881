#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "kit/Geometry.h"
#include "platform/CFType.h"
#include "platform/Constants.h"

namespace durazizi {

// One window of an application, as the preview panel shows it and later
// finds it again.
struct WindowEntry {
    platform::CGWindowID id = 0;   // window-server number; never 0, unique within one list
    platform::pid_t pid = 0;
    std::string title;             // empty when unreadable
    kit::Rect bounds;              // top-left coordinates; all zero when unreadable
    std::int64_t layer = 0;
    bool isOnScreen = true;        // false when the window is minimized or on another Space
    // On a Space no display shows: listed by the window server only, out of
    // accessibility's reach until its Space is shown.
    bool isOnOtherSpace = false;

    friend bool operator==(const WindowEntry&, const WindowEntry&) = default;
};

namespace WindowList {

// The document windows of a process, read from its accessibility tree and
// ordered by the user's settings. Empty for our own process, for a process
// that does not answer, and for one that shows no windows.
std::vector<WindowEntry> windows(platform::pid_t pid, bool includeMinimized, bool includePalettes);

// The same windows in the application's own order, front to back.
std::vector<WindowEntry> collected(platform::pid_t pid, bool includeMinimized, bool includePalettes);

// `collected`, each entry with the window's accessibility element.
struct Listed {
    WindowEntry entry;
    platform::AXUIElementRef element;
};
std::vector<Listed> listedWindows(platform::pid_t pid, bool includeMinimized, bool includePalettes);

// Applies "window_preview_order" and "window_preview_order_spacefront" to a
// collected list.
std::vector<WindowEntry> ordered(std::vector<WindowEntry> list);

// The windows of a process on Spaces that no display shows, from the window
// server's list: its document-window layer (and the palettes' layer when
// asked), large enough to be captured, not in `reachable` (the numbers of
// every window accessibility lists for it, minimized ones included), in the
// window server's order. Empty when the list cannot be had.
std::vector<WindowEntry> otherSpaceWindows(platform::pid_t pid, const std::set<platform::CGWindowID>& reachable,
                                           bool includePalettes);

}  // namespace WindowList
}  // namespace durazizi
