#include <string>

#include "tools/scenario/Commands.h"
#include "tools/scenario/World.h"

namespace scenario {

namespace {

using Result = std::optional<std::string>;

// Modifiers and extra flags are checked so a scenario stays valid once the
// simulated events carry them; for now the pointer events do not.
void acceptModifiers(Args& args, bool withFlags) {
    (void)args.optionModifiers("mods");
    if (withFlags) (void)args.optionEventFlags("flags");
}

// An optional point: where the pointer already is when none is given.
std::optional<kit::Point> optionalPoint(Args& args) {
    if (!args.hasMore()) return std::nullopt;
    return args.point("a point");
}

kit::Point at(World& world, const std::optional<kit::Point>& point) {
    return point.value_or(world.desktop().pointer());
}

}  // namespace

Action parseMove(Args& args) {
    const kit::Point point = args.point("a point");
    return [point](World& world, std::ostream&) -> Result {
        world.desktop().movePointer(point);
        return std::nullopt;
    };
}

Action parseDown(Args& args) {
    const auto point = optionalPoint(args);
    acceptModifiers(args, true);
    return [point](World& world, std::ostream&) -> Result {
        if (world.buttonDown()) return "down: the left button is already down";
        world.setButtonDown(true);
        world.desktop().mouseDown(at(world, point));
        return std::nullopt;
    };
}

Action parseDrag(Args& args) {
    const kit::Point point = args.point("a point");
    return [point](World& world, std::ostream&) -> Result {
        if (!world.buttonDown()) return "drag: the left button is not down";
        world.desktop().movePointer(point);
        return std::nullopt;
    };
}

Action parseUp(Args& args) {
    const auto point = optionalPoint(args);
    return [point](World& world, std::ostream&) -> Result {
        if (!world.buttonDown()) return "up: the left button is not down";
        world.setButtonDown(false);
        world.desktop().mouseUp(at(world, point));
        return std::nullopt;
    };
}

Action parseClick(Args& args) {
    const kit::Point point = args.point("a point");
    acceptModifiers(args, false);
    return [point](World& world, std::ostream&) -> Result {
        if (world.buttonDown()) return "click: the left button is already down";
        world.desktop().click(point);
        return std::nullopt;
    };
}

}  // namespace scenario
