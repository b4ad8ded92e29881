#pragma once

#include <iosfwd>
#include <optional>
#include <string>

namespace scenario {

struct RunOptions {
    // A home folder to use and keep; without it the run makes a private one
    // and removes it at the end.
    std::optional<std::string> home;
    // Where the scenario file lies: relative paths in it start there.
    std::string scenarioFolder = ".";
};

// Checks the whole scenario, then runs it: query answers go to `out`, the
// reason for stopping to `err`. Returns the exit status: 0, 2 for a
// malformed line or a command that cannot be carried out, 1 when the home
// folder cannot be set up.
int runScenario(std::istream& in, std::ostream& out, std::ostream& err, const RunOptions& options = {});

}  // namespace scenario
