// Scenario files are written by hand and handed to durazizi-sim: every line
// is lexed and checked before any of it runs, so the whole reader sees the
// input here. Nothing is run.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "tools/scenario/Parser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    scenario::Script script = scenario::parseScript(in);
    // A failed file keeps no steps; a good one has a line number for each.
    if (script.error && !script.steps.empty()) __builtin_trap();
    for (const auto& step : script.steps) {
        if (step.line < 1 || !step.action) __builtin_trap();
    }
    return 0;
}
