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
std::vector<WindowEntry> collect(const std::vector<AX::Element>& candidates, platform::pid_t pid,
                                 const Filter& filter) {
    auto& ax = platform::current().accessibility();
    std::vector<WindowEntry> entries;
    std::set<platform::CGWindowID> seen;
    for (const AX::Element& window : candidates) {
        std::string subrole = AX::string(window, AX::kAXSubroleAttribute).value_or("");
        if (!acceptsSubrole(subrole, filter)) continue;

        // The window number is the only link to the window server; without
        // one the window can be neither captured nor found again.
        platform::CGWindowID number = 0;
        if (ax.getWindow(window, &number) != platform::kAXErrorSuccess || number == 0) continue;
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
        entries.push_back(std::move(entry));
    }
    return entries;
}

// --- case folding --------------------------------------------------------

constexpr char32_t kReplacementBase = 0xDC00;   // undecodable bytes map to U+DC80..U+DCFF

// Decodes one code point at `i` and advances past it. A byte that does not
// start a well-formed sequence stands for itself, escaped into the surrogate
// range, so that every string still has one decoded form.
char32_t decode(const std::string& s, std::size_t& i) {
    auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    unsigned char lead = byte(i);
    if (lead < 0x80) {
        ++i;
        return lead;
    }
    int length = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 && lead < 0xE0 ? 2 : 0;
    if (length == 0 || i + length > s.size()) {
        ++i;
        return kReplacementBase + lead;
    }
    char32_t cp = lead & (0x7F >> length);
    for (int k = 1; k < length; ++k) {
        unsigned char next = byte(i + k);
        if ((next & 0xC0) != 0x80) {
            ++i;
            return kReplacementBase + lead;
        }
        cp = (cp << 6) | (next & 0x3F);
    }
    static constexpr char32_t kMinimum[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kMinimum[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++i;
        return kReplacementBase + lead;
    }
    i += length;
    return cp;
}

bool inRange(char32_t c, char32_t first, char32_t last) { return c >= first && c <= last; }

// Simple case folding for the scripts window titles mostly use.
char32_t fold(char32_t c) {
    if (inRange(c, U'A', U'Z')) return c + 0x20;
    if (c < 0x80) return c;
    if (c == 0xB5) return 0x3BC;                                            // micro sign
    if (inRange(c, 0xC0, 0xDE) && c != 0xD7) return c + 0x20;               // Latin-1
    if (inRange(c, 0x100, 0x12F) || inRange(c, 0x132, 0x137) || inRange(c, 0x14A, 0x177)) {
        return c | 1;                                                       // Latin Extended-A, upper even
    }
    if (inRange(c, 0x139, 0x148) || inRange(c, 0x179, 0x17E)) {
        return (c & 1) ? c + 1 : c;                                         // Latin Extended-A, upper odd
    }
    if (c == 0x178) return 0xFF;
    if (c == 0x17F) return U's';
    if (c == 0x386) return 0x3AC;                                           // Greek
    if (inRange(c, 0x388, 0x38A)) return c + 0x25;
    if (c == 0x38C) return 0x3CC;
    if (inRange(c, 0x38E, 0x38F)) return c + 0x3F;
    if (inRange(c, 0x391, 0x3AB) && c != 0x3A2) return c + 0x20;
    if (c == 0x3C2) return 0x3C3;                                           // final sigma
    if (inRange(c, 0x400, 0x40F)) return c + 0x50;                          // Cyrillic
    if (inRange(c, 0x410, 0x42F)) return c + 0x20;
    if (inRange(c, 0x460, 0x481) || inRange(c, 0x48A, 0x4BF) || inRange(c, 0x4D0, 0x52F)) return c | 1;
    if (c == 0x4C0) return 0x4CF;
    if (inRange(c, 0x4C1, 0x4CE)) return (c & 1) ? c + 1 : c;
    if (inRange(c, 0x531, 0x556)) return c + 0x30;                          // Armenian
    if (inRange(c, 0x1E00, 0x1E95) || inRange(c, 0x1EA0, 0x1EFF)) return c | 1;   // Latin Extended Additional
    if (inRange(c, 0xFF21, 0xFF3A)) return c + 0x20;                        // fullwidth Latin
    return c;
}

}  // namespace

int caseInsensitiveCompare(const std::string& a, const std::string& b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        char32_t x = fold(decode(a, i));
        char32_t y = fold(decode(b, j));
        if (x != y) return x < y ? -1 : 1;
    }
    if (i < a.size()) return 1;
    if (j < b.size()) return -1;
    return 0;
}

std::vector<WindowEntry> windows(platform::pid_t pid, bool includeMinimized, bool includePalettes) {
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
    std::vector<WindowEntry> entries = collect(candidates, pid, filter);
    if (entries.empty()) {
        filter.strict = false;
        entries = collect(candidates, pid, filter);
    }
    return ordered(std::move(entries));
}

std::vector<WindowEntry> ordered(std::vector<WindowEntry> list) {
    switch (Settings::orderBy()) {
    case Settings::OrderBy::creationTime:
        // Window numbers grow as the window server makes windows.
        std::stable_sort(list.begin(), list.end(),
                         [](const WindowEntry& a, const WindowEntry& b) { return a.id < b.id; });
        break;
    case Settings::OrderBy::title:
        std::stable_sort(list.begin(), list.end(), [](const WindowEntry& a, const WindowEntry& b) {
            return caseInsensitiveCompare(a.title, b.title) < 0;
        });
        break;
    case Settings::OrderBy::appName:
        // One application's windows: its own order stands.
        break;
    }
    if (Settings::boolValue("window_preview_order_spacefront")) {
        std::stable_partition(list.begin(), list.end(), [](const WindowEntry& e) { return e.isOnScreen; });
    }
    return list;
}

}  // namespace durazizi::WindowList
