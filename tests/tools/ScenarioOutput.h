#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "tools/scenario/Runner.h"

namespace scenariotest {

// What a scenario run printed, as a user at a terminal would see it.
struct Printed {
    int status = -1;
    std::vector<std::string> lines;   // standard output, one entry per line
    std::string err;
};

inline Printed run(const std::string& text, const scenario::RunOptions& options = {}) {
    std::istringstream in(text);
    std::ostringstream out;
    std::ostringstream err;
    Printed result;
    result.status = scenario::runScenario(in, out, err, options);
    std::istringstream printed(out.str());
    for (std::string line; std::getline(printed, line);) result.lines.push_back(line);
    result.err = err.str();
    return result;
}

}  // namespace scenariotest
