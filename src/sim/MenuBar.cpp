#include "sim/MenuBar.h"

#include <cmath>

#include "sim/Fingerprint.h"
#include "sim/SimApplication.h"
#include "sim/SimClock.h"
#include "sim/SimLocale.h"
#include "sim/World.h"

namespace sim {

namespace {

// What an application that the world does not model further shows.
constexpr const char* kStandardMenus[] = {"File", "Edit", "View", "Window", "Help"};
constexpr const char* kFinderMenus[] = {"File", "Edit", "View", "Go", "Window", "Help"};
// A menu bar holds no more titles than fit a wide display; a main menu
// longer than that is cut where the bar would end anyway.
constexpr std::size_t kMaxTitles = 24;

}  // namespace

std::vector<MenuTitle> MenuBar::menus() const {
    std::vector<MenuTitle> titles{{"", false}};
    pid_t front = kFinderPid;
    std::string name = kFinderName;
    {
        std::lock_guard lock(world_.mutex);
        if (world_.frontmost) {
            if (const AppRecord* app = world_.runningApp(*world_.frontmost)) {
                front = *world_.frontmost;
                name = app->identity->name;
            }
        }
        if (front == kFinderPid && !world_.runningApp(kFinderPid)) return titles;
    }
    titles.push_back({name, true});
    if (front == world_.ownPid) {
        // Durazizi's own main menu: the first item is the application menu,
        // already shown by name; the others show their menus' titles.
        if (platform::MenuRef menu = application_.mainMenu()) {
            const auto& items = menu->items();
            for (std::size_t i = 1; i < items.size() && titles.size() < kMaxTitles; ++i) {
                const platform::MenuItem& item = items[i];
                if (item.isSeparator) continue;
                const bool named = item.submenu && !item.submenu->title().empty();
                std::string title = named ? item.submenu->title() : item.title;
                if (!title.empty()) titles.push_back({std::move(title), false});
            }
        }
        return titles;
    }
    if (front == kFinderPid) {
        for (const char* title : kFinderMenus) titles.push_back({title, false});
    } else {
        for (const char* title : kStandardMenus) titles.push_back({title, false});
    }
    return titles;
}

std::string MenuBar::clock() const {
    const std::string key = locale_.currentLocaleIdentifier() + "|" + locale_.currentTimeZoneName();
    if (!formatter_ || key != formatterKey_) {
        // Weekday, day, month and the time in the locale's hour cycle, in the
        // order the locale writes them.
        formatter_ = locale_.dateFormatterFromTemplate("EEEdMMMjmm");
        formatterKey_ = key;
    }
    const double now = std::floor(clock_.read());
    const std::string formatted = formatter_->stringFromDate(now);
    // The menu bar's clock separates its fields with spaces alone.
    std::string text;
    for (char c : formatted) {
        if (c == ',') continue;
        if (c == ' ' && (text.empty() || text.back() == ' ')) continue;
        text.push_back(c);
    }
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

bool MenuBar::statusItemHighlighted() const { return application_.statusItemHighlighted(); }

void MenuBar::fingerprint(Fingerprint& f) const {
    for (const MenuTitle& title : menus()) f.add(title.text);
    f.add(statusItemHighlighted());
    f.add(locale_.currentLocaleIdentifier());
    f.add(locale_.currentTimeZoneName());
}

}  // namespace sim
