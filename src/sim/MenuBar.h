#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/Locale.h"
#include "sim/Service.h"

namespace sim {

class SimApplication;
class SimClock;
class SimLocale;
struct World;

// One title of the menu bar, left to right.
struct MenuTitle {
    std::string text;     // empty for the Apple menu, drawn as the logo
    bool bold = false;    // the application menu, titled with the app's name
};

// The system's menu bar as a user sees it: the Apple menu, the active
// application's menus, the status items and the clock.
class MenuBar final : public Service {
public:
    MenuBar(World& world, const SimApplication& application, SimLocale& locale, const SimClock& clock)
        : world_(world), application_(application), locale_(locale), clock_(clock) {}

    // The Apple menu, then the active application's menu titles: Durazizi's
    // from its main menu, another application's the standard ones. The
    // Finder's when no application is active.
    std::vector<MenuTitle> menus() const;
    // The clock's text: the day, date and time in the account's locale and
    // time zone, as the menu bar clock shows them ("Mon 7 Dec 09:41").
    std::string clock() const;
    // Durazizi's status item is drawn pressed (its panel is open).
    bool statusItemHighlighted() const;

    void fingerprint(Fingerprint& f) const override;

private:
    World& world_;
    const SimApplication& application_;
    SimLocale& locale_;
    const SimClock& clock_;
    // Building a formatter is costly; it is kept while the locale and the
    // time zone stay.
    mutable std::string formatterKey_;
    mutable std::shared_ptr<platform::DateFormatter> formatter_;
};

}  // namespace sim
