#pragma once

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace scenario {

class World;

// What one line does when it runs. Queries write their JSON line to `out`.
// A problem that only shows at run time (an unknown process id, a menu item
// that is not there) is returned as the reason, and the run stops.
using Action = std::function<std::optional<std::string>(World& world, std::ostream& out)>;

struct Step {
    int line = 0;
    Action action;
};

struct LineResult {
    std::optional<Action> action;       // none for a blank or comment line
    std::optional<std::string> error;   // the line is malformed
};

// Lexes and checks one line completely; nothing runs.
LineResult parseLine(std::string_view line);

struct ParseError {
    int line = 0;
    std::string reason;
};

struct Script {
    std::vector<Step> steps;
    std::optional<ParseError> error;    // the first malformed line; `steps` is then empty
};

// Reads and checks the whole file before anything of it runs.
Script parseScript(std::istream& in);

}  // namespace scenario
