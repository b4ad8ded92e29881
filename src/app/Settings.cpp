#include "app/Settings.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string_view>

#include "kit/Saturate.h"
#include "platform/Constants.h"
#include "platform/Platform.h"

namespace durazizi::Settings {

namespace {

platform::Defaults& standardDefaults() { return platform::current().defaults(); }

// Reads the four keys of one family, in the order the preferences list them.
ModifierSet modifierSet(const std::string& family) {
    ModifierSet set = 0;
    if (boolValue(family + "control")) set |= platform::NSEventModifierFlagControl;
    if (boolValue(family + "alt")) set |= platform::NSEventModifierFlagOption;
    if (boolValue(family + "command")) set |= platform::NSEventModifierFlagCommand;
    if (boolValue(family + "shift")) set |= platform::NSEventModifierFlagShift;
    return set;
}

struct Bounds {
    double low;
    double high;
};

constexpr double kNoUpperBound = std::numeric_limits<double>::max();
// A delay may be as long as anyone wants; a day stands for "never" and keeps
// the timers' arithmetic far from overflow.
constexpr double kDaySeconds = 24 * 60 * 60;

// Upper bounds only where a larger value costs memory or time: the preview
// size and grid width decide how many pixels are captured and drawn, the
// calendar's days and events how much is expanded and laid out. Lower bounds
// keep sizes and counts positive and delays non-negative. The Dock offset
// alone goes below its stepper: a negative offset narrows the 8-point gap,
// down to the panel resting on the icon, never below it and off the bottom
// of the display; above, the panel's placement keeps it on the display.
const Bounds* boundsOf(std::string_view key) {
    static const std::map<std::string_view, Bounds> table = {
        {"activationDelayMs", {0, kDaySeconds * 1000}},
        {"docklets_dock_offset", {-8, kNoUpperBound}},
        {"window_preview_size", {120, 400}},
        {"window_preview_grid_width", {1, 12}},
        {"ical_preview_limit_events", {1, 50}},
        {"ical_preview_limit_days", {1, 30}},
        {"window_snapping_delay_near", {0, kDaySeconds}},
        {"window_snapping_delay_exact", {0, kDaySeconds}},
    };
    auto found = table.find(key);
    return found == table.end() ? nullptr : &found->second;
}

}  // namespace

std::optional<OrderBy> orderByFromRaw(std::int64_t raw) {
    switch (raw) {
    case 0: return OrderBy::creationTime;
    case 1: return OrderBy::title;
    case 2: return OrderBy::appName;
    default: return std::nullopt;
    }
}

std::optional<Theme> themeFromRaw(std::int64_t raw) {
    switch (raw) {
    case 0: return Theme::automatic;
    case 1: return Theme::light;
    case 2: return Theme::dark;
    default: return std::nullopt;
    }
}

std::optional<PopupAnimation> popupAnimationFromRaw(std::int64_t raw) {
    switch (raw) {
    case 0: return PopupAnimation::none;
    case 1: return PopupAnimation::fade;
    case 2: return PopupAnimation::snapIn;
    default: return std::nullopt;
    }
}

const char* label(OrderBy value) {
    switch (value) {
    case OrderBy::creationTime: return "Creation time";
    case OrderBy::title: return "Window title";
    case OrderBy::appName: return "Application name";
    }
    return "";
}

const char* label(Theme value) {
    switch (value) {
    case Theme::automatic: return "Automatic";
    case Theme::light: return "Light";
    case Theme::dark: return "Dark";
    }
    return "";
}

const char* label(PopupAnimation value) {
    switch (value) {
    case PopupAnimation::none: return "None";
    case PopupAnimation::fade: return "Fade";
    case PopupAnimation::snapIn: return "Snap in";
    }
    return "";
}

const std::map<std::string, platform::DefaultValue>& registeredDefaults() {
    using I = std::int64_t;
    static const std::map<std::string, platform::DefaultValue> table = {
        {"launchAtLogin", false},
        {"window_preview_enable", true},
        {"activationDelayMs", I{70}},
        {"window_preview_allspaces", true},
        {"window_preview_minimized", true},
        {"window_preview_include_palettes", false},
        {"window_preview_order", I{static_cast<I>(OrderBy::creationTime)}},
        {"window_preview_order_spacefront", false},
        {"window_preview_show_full", true},
        {"docklets_hide_on_dockitem_click", true},
        {"hideWhenPreviewClicked", true},
        {"window_preview_hideifonewindow", false},
        {"theme", I{static_cast<I>(Theme::automatic)}},
        {"window_preview_show_appname", true},
        {"window_preview_closebox", true},
        {"window_preview_indicators", true},
        {"docklets_dock_offset", I{0}},
        {"window_preview_size", I{220}},
        {"window_preview_grid_width", I{5}},
        {"preview_popup_animation", I{static_cast<I>(PopupAnimation::snapIn)}},
        {"docklets_draw_triangle", true},
        {"docklets_draw_highlight", true},
        {"window_preview_indicate_frontwindow", true},
        {"docklets_dark_invisible", true},
        {"window_snapping", true},
        {"window_snapping_delay_near", 0.5},
        {"window_snapping_delay_exact", 0.0},
        {"keyboard_arrange", true},
        {"keyboard_arrange_mod_control", true},
        {"keyboard_arrange_mod_alt", true},
        {"keyboard_arrange_mod_command", false},
        {"keyboard_arrange_mod_shift", false},
        {"titlebar_scroll_arrange", true},
        {"move_windows", true},
        {"move_windows_mod_control", true},
        {"move_windows_mod_alt", true},
        {"move_windows_mod_command", false},
        {"move_windows_mod_shift", false},
        {"resize_windows", true},
        {"resize_windows_mod_control", true},
        {"resize_windows_mod_alt", true},
        {"resize_windows_mod_command", false},
        {"resize_windows_mod_shift", true},
        {"itunes_preview_enable", true},
        {"itunes_scroll_volume", true},
        {"spotify_preview_enable", true},
        {"ical_preview_enable", true},
        {"ical_preview_limit_events", I{10}},
        {"ical_preview_limit_days", I{2}},
    };
    return table;
}

void registerDefaults() { standardDefaults().registerDefaults(registeredDefaults()); }

OrderBy orderBy() {
    return orderByFromRaw(integerValue("window_preview_order")).value_or(OrderBy::creationTime);
}

Theme theme() { return themeFromRaw(integerValue("theme")).value_or(Theme::automatic); }

PopupAnimation popupAnimation() {
    return popupAnimationFromRaw(integerValue("preview_popup_animation")).value_or(PopupAnimation::snapIn);
}

ModifierSet keyboardModifiers() { return modifierSet("keyboard_arrange_mod_"); }
ModifierSet resizeModifiers() { return modifierSet("resize_windows_mod_"); }
ModifierSet moveModifiers() { return modifierSet("move_windows_mod_"); }

bool boolValue(const std::string& key) { return standardDefaults().boolForKey(key); }
std::int64_t integerValue(const std::string& key) { return standardDefaults().integerForKey(key); }
double doubleValue(const std::string& key) { return standardDefaults().doubleForKey(key); }
void setBool(const std::string& key, bool value) { standardDefaults().setBool(value, key); }
void setInteger(const std::string& key, std::int64_t value) { standardDefaults().setInteger(value, key); }
void setDouble(const std::string& key, double value) { standardDefaults().setDouble(value, key); }

std::int64_t boundedInteger(const std::string& key) {
    const std::int64_t value = integerValue(key);
    const Bounds* bounds = boundsOf(key);
    if (!bounds) return value;
    return std::clamp(value, kit::saturatingCast<std::int64_t>(bounds->low),
                      kit::saturatingCast<std::int64_t>(bounds->high));
}

double boundedDouble(const std::string& key) {
    const double value = doubleValue(key);
    const Bounds* bounds = boundsOf(key);
    if (!bounds) return value;
    // NaN compares false with everything: it takes the registered default,
    // which lies inside the range.
    if (std::isnan(value)) {
        auto registered = registeredDefaults().find(key);
        const double* fallback =
            registered == registeredDefaults().end() ? nullptr : std::get_if<double>(&registered->second);
        return fallback ? *fallback : bounds->low;
    }
    return std::clamp(value, bounds->low, bounds->high);
}

}  // namespace durazizi::Settings
