// Mission Control's Spaces: `space add|switch` and `query spaces`.
#include <limits>
#include <ostream>

#include "tools/scenario/Commands.h"
#include "tools/scenario/Json.h"
#include "tools/scenario/World.h"

namespace scenario {

namespace {

using Result = std::optional<std::string>;
constexpr std::int64_t kMaxSpaceId = std::numeric_limits<std::uint32_t>::max();
// More displays than any Mac drives.
constexpr std::int64_t kMaxDisplay = 63;

}  // namespace

Action parseSpace(Args& args) {
    const std::string what = args.word("add or switch");
    if (what == "add") {
        const auto display = static_cast<std::size_t>(args.optionInteger("display", 0, kMaxDisplay).value_or(0));
        return [display](World& world, std::ostream&) -> Result {
            if (!world.desktop().spaces().add(display)) return "space: there is no display " + std::to_string(display);
            return std::nullopt;
        };
    }
    if (what == "switch") {
        const auto id = static_cast<sim::SpaceID>(args.integer("a Space id", 1, kMaxSpaceId));
        return [id](World& world, std::ostream&) -> Result {
            if (!world.desktop().spaces().switchTo(id)) return "space: there is no Space " + std::to_string(id);
            return std::nullopt;
        };
    }
    if (!args.error()) args.fail("expected add or switch, got '" + what + "'");
    return {};
}

Action parseSpacesQuery(Args&) {
    return [](World& world, std::ostream& out) -> Result {
        const sim::Spaces::Listing listing = world.desktop().spaces().list();
        std::vector<std::string> current;
        for (sim::SpaceID id : listing.current) current.push_back(json::integer(id));
        std::vector<std::string> spaces;
        for (const sim::SpaceRecord& space : listing.spaces) {
            spaces.push_back(json::Object()
                                 .add("id", json::integer(space.id))
                                 .add("display", json::integer(static_cast<std::int64_t>(space.display)))
                                 .str());
        }
        out << json::Object().add("current", json::array(current)).add("spaces", json::array(spaces)).str() << '\n';
        return std::nullopt;
    };
}

}  // namespace scenario
