#include "ax/WindowList.h"

#include <algorithm>
#include <optional>
#include <set>

#include "app/Settings.h"
#include "ax/AX.h"
#include "platform/Platform.h"

namespace durazizi::WindowList {

namespace {

struct Filter {
    bool strict = true;
    bool includeMinimized = false;
    bool includePalettes = false;
};

bool isPalette(const std::string& subrole) {
    return subrole == AX::kAXFloatingWindowSubrole || subrole == AX::kAXSystemFloatingWindowSubrole;
}

bool acceptsSubrole(const std::string& subrole, const Filter& filter) {
    if (filter.strict) {
        if (subrole == AX::kAXStandardWindowSubrole || subrole == AX::kAXDialogSubrole ||
            subrole == AX::kAXSystemDialogSubrole) {
            return true;
        }
        return filter.includePalettes && isPalette(subrole);
    }
    // Some applications give their document windows odd subroles or none at
    // all; the lenient pass takes them, palettes only when asked for.
    return filter.includePalettes || !isPalette(subrole);
}

kit::Rect boundsOf(const AX::Element& window) {
    auto position = AX::point(window, AX::kAXPositionAttribute);
    if (!position) return {};
    auto size = AX::size(window, AX::kAXSizeAttribute);
    if (!size) return {};
    return {*position, *size};
}

// One filtering pass over the candidate windows, in their order.
std::vector<Listed> collect(const std::vector<AX::Element>& candidates, platform::pid_t pid, const Filter& filter) {
    std::vector<Listed> entries;
    std::set<platform::CGWindowID> seen;
    for (const AX::Element& window : candidates) {
        std::string subrole = AX::string(window, AX::kAXSubroleAttribute).value_or("");
        if (!acceptsSubrole(subrole, filter)) continue;

        // The window number is the only link to the window server; without
        // one the window can be neither captured nor found again.
        platform::CGWindowID number = 0;
        if (AX::getWindow(window, &number) != platform::kAXErrorSuccess || number == 0) continue;
        if (seen.contains(number)) continue;

        bool minimized = AX::boolValue(window, AX::kAXMinimizedAttribute);
        // A skipped minimized element does not claim its number: a later
        // element with the same number may still be listed.
        if (minimized && !filter.includeMinimized) continue;
        seen.insert(number);

        WindowEntry entry;
        entry.id = number;
        entry.pid = pid;
        entry.bounds = boundsOf(window);
        entry.title = AX::string(window, AX::kAXTitleAttribute).value_or("");
        entry.layer = 0;
        entry.isOnScreen = !minimized;
        entries.push_back({std::move(entry), window});
    }
    return entries;
}

}  // namespace

std::vector<WindowEntry> windows(platform::pid_t pid, bool includeMinimized, bool includePalettes) {
    return ordered(collected(pid, includeMinimized, includePalettes));
}

std::vector<WindowEntry> collected(platform::pid_t pid, bool includeMinimized, bool includePalettes) {
    std::vector<WindowEntry> entries;
    for (Listed& listed : listedWindows(pid, includeMinimized, includePalettes)) entries.push_back(std::move(listed.entry));
    return entries;
}

std::vector<Listed> listedWindows(platform::pid_t pid, bool includeMinimized, bool includePalettes) {
    auto& host = platform::current();
    // Our own panels are no business of the previews, and asking our own
    // process through accessibility would block the main thread on itself.
    if (pid == host.workspace().processIdentifier()) return {};

    AX::Element application = host.accessibility().createApplication(pid);
    std::vector<AX::Element> candidates;
    for (const AX::Element& element : AX::children(application, AX::kAXWindowsAttribute)) {
        if (AX::string(element, AX::kAXRoleAttribute) == AX::kAXWindowRole) candidates.push_back(element);
    }

    Filter filter{.strict = true, .includeMinimized = includeMinimized, .includePalettes = includePalettes};
    std::vector<Listed> entries = collect(candidates, pid, filter);
    if (entries.empty()) {
        filter.strict = false;
        entries = collect(candidates, pid, filter);
    }
    return entries;
}

std::vector<WindowEntry> ordered(std::vector<WindowEntry> list) {
    switch (Settings::orderBy()) {
    case Settings::OrderBy::creationTime:
        // Window numbers grow as the window server makes windows.
        std::stable_sort(list.begin(), list.end(),
                         [](const WindowEntry& a, const WindowEntry& b) { return a.id < b.id; });
        break;
    case Settings::OrderBy::title: {
        // The user's locale decides, as in the Finder: accents count, case does not.
        platform::Locale& locale = platform::current().locale();
        std::stable_sort(list.begin(), list.end(), [&locale](const WindowEntry& a, const WindowEntry& b) {
            return locale.localizedCaseInsensitiveCompare(a.title, b.title) < 0;
        });
        break;
    }
    case Settings::OrderBy::appName:
        // One application's windows: its own order stands.
        break;
    }
    if (Settings::boolValue("window_preview_order_spacefront")) {
        std::stable_partition(list.begin(), list.end(), [](const WindowEntry& e) { return e.isOnScreen; });
    }
    return list;
}

std::vector<WindowEntry> otherSpaceWindows(platform::pid_t pid, const std::set<platform::CGWindowID>& reachable,
                                           bool includePalettes) {
    auto& host = platform::current();
    if (pid == host.workspace().processIdentifier()) return {};
    const auto all = host.windowServer().copyWindowInfo(platform::kCGWindowListOptionAll, 0);
    if (!all) return {};
    std::vector<WindowEntry> entries;
    std::set<platform::CGWindowID> seen;
    for (const platform::CGWindowInfo& window : *all) {
        if (window.ownerPID != pid || window.isOnscreen || window.number == 0) continue;
        // Palettes float one layer up; menus, tooltips and the like sit higher still.
        const bool layerFits = window.layer == platform::levels::normal ||
                               (includePalettes && window.layer == platform::levels::floating);
        if (!layerFits) continue;
        // Minimized windows, and every window accessibility reaches, are
        // the accessibility list's business: one window, one tile.
        if (reachable.contains(window.number) || !seen.insert(window.number).second) continue;
        // Applications keep invisible helper windows on the document layer;
        // what cannot be captured or is fully transparent is not a window a
        // user would look for.
        if (!(window.bounds.width() > 1) || !(window.bounds.height() > 1) || !(window.alpha > 0)) continue;
        WindowEntry entry;
        entry.id = window.number;
        entry.pid = pid;
        entry.title = window.name.value_or("");
        entry.bounds = window.bounds;
        entry.layer = window.layer;
        entry.isOnScreen = false;
        entry.isOnOtherSpace = true;
        entries.push_back(std::move(entry));
    }
    return entries;
}

}  // namespace durazizi::WindowList
