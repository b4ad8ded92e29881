#include <string>

#include "tools/scenario/Commands.h"
#include "tools/scenario/World.h"

namespace scenario {

namespace {

using Result = std::optional<std::string>;

// The event flags of mods= and flags= together.
std::uint64_t eventFlags(Args& args, bool withFlags) {
    std::uint64_t flags = args.optionModifiers("mods").value_or(0);
    if (withFlags) flags |= args.optionEventFlags("flags").value_or(0);
    return flags;
}

// An optional point: where the pointer already is when none is given.
std::optional<kit::Point> optionalPoint(Args& args) {
    if (!args.hasMore()) return std::nullopt;
    return args.point("a point");
}

kit::Point at(World& world, const std::optional<kit::Point>& point) {
    return point.value_or(world.desktop().input().location());
}

}  // namespace

Action parseMove(Args& args) {
    const kit::Point point = args.point("a point");
    return [point](World& world, std::ostream&) -> Result {
        world.desktop().input().move(point);
        return std::nullopt;
    };
}

Action parseDown(Args& args) {
    const auto point = optionalPoint(args);
    const std::uint64_t flags = eventFlags(args, true);
    return [point, flags](World& world, std::ostream&) -> Result {
        if (world.buttonDown()) return "down: the left button is already down";
        world.setButtonDown(true);
        world.desktop().input().mouseDown(at(world, point), flags);
        return std::nullopt;
    };
}

Action parseDrag(Args& args) {
    const kit::Point point = args.point("a point");
    return [point](World& world, std::ostream&) -> Result {
        if (!world.buttonDown()) return "drag: the left button is not down";
        world.desktop().input().move(point);
        return std::nullopt;
    };
}

Action parseUp(Args& args) {
    const auto point = optionalPoint(args);
    return [point](World& world, std::ostream&) -> Result {
        if (!world.buttonDown()) return "up: the left button is not down";
        world.setButtonDown(false);
        world.desktop().input().mouseUp(at(world, point));
        return std::nullopt;
    };
}

Action parseClick(Args& args) {
    const kit::Point point = args.point("a point");
    const std::uint64_t flags = eventFlags(args, false);
    return [point, flags](World& world, std::ostream&) -> Result {
        if (world.buttonDown()) return "click: the left button is already down";
        world.desktop().input().click(point, flags);
        return std::nullopt;
    };
}

Action parseKey(Args& args) {
    const std::int64_t code = args.integer("a virtual key code", 0, 127);
    const std::uint64_t flags = eventFlags(args, true);
    return [code, flags](World& world, std::ostream&) -> Result {
        world.desktop().input().keyDown(code, flags);
        return std::nullopt;
    };
}

Action parseScroll(Args& args) {
    const kit::Point point = args.point("a point");
    const double delta = args.number("a scroll delta");
    const std::string unit = args.optionText("unit").value_or("line");
    if (unit != "line" && unit != "point") args.fail("option 'unit' is line or point, got '" + unit + "'");
    const bool lines = unit == "line";
    return [point, delta, lines](World& world, std::ostream&) -> Result {
        world.desktop().input().scrollWheel(point, lines ? delta : 0, lines ? 10 * delta : delta);
        return std::nullopt;
    };
}

}  // namespace scenario
