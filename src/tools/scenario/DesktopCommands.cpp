#include <ostream>
#include <string>
#include <vector>

#include "tools/scenario/Commands.h"
#include "tools/scenario/Json.h"
#include "tools/scenario/World.h"

namespace scenario {

using Result = std::optional<std::string>;

Action parseAppearance(Args& args) {
    const std::string mode = args.word("light or dark");
    if (args.error()) return {};
    if (mode != "light" && mode != "dark") {
        args.fail("expected light or dark, got '" + mode + "'");
        return {};
    }
    return [dark = mode == "dark"](World& world, std::ostream&) -> Result {
        world.desktop().appearance().setDark(dark);
        return std::nullopt;
    };
}

// The menu bar as it is drawn: the titles left to right (the Apple menu's
// is empty), the clock's text and the status item's pressed look.
Action parseMenuBarQuery() {
    return [](World& world, std::ostream& out) -> Result {
        const sim::MenuBar& bar = world.desktop().menuBar();
        std::vector<std::string> titles;
        for (const sim::MenuTitle& title : bar.menus()) titles.push_back(json::string(title.text));
        out << json::Object()
                   .add("menus", json::array(titles))
                   .add("clock", json::string(bar.clock()))
                   .add("statusItemHighlighted", json::boolean(world.running() && bar.statusItemHighlighted()))
                   .str()
            << '\n';
        out.flush();
        return std::nullopt;
    };
}

// The Dock's items as it lays them out, Durazizi's own tiles included.
Action parseDockQuery() {
    return [](World& world, std::ostream& out) -> Result {
        std::vector<std::string> items;
        for (const sim::DockItemInfo& item : world.desktop().dock().items()) {
            items.push_back(json::Object()
                                .add("title", json::string(item.title))
                                .add("frame", json::rect(item.frame))
                                .add("running", json::boolean(item.running))
                                .str());
        }
        out << json::Object().add("items", json::array(items)).str() << '\n';
        out.flush();
        return std::nullopt;
    };
}

}  // namespace scenario
