#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

namespace {

struct Outcome {
    int status = -1;
    std::string out;
};

Outcome shell(const std::string& command) {
    Outcome outcome;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return outcome;
    std::array<char, 4096> buffer{};
    while (std::size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe)) outcome.out.append(buffer.data(), n);
    const int raw = ::pclose(pipe);
    outcome.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return outcome;
}

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// The program as a user runs it: one JSON object per line on standard
// output, and an exit status that tells a bad scenario (2) from a missing one (1).
TEST(DuraziziSimExecutable, RunsTheExampleScenarios) {
    const std::string sim = environment("DURAZIZI_SIM");
    const std::string source = environment("DURAZIZI_SOURCE_DIR");
    if (sim.empty() || source.empty()) GTEST_SKIP() << "run through CTest, which names the executable";

    for (const char* example : {"welcome.scn", "previews.scn", "now-playing.scn"}) {
        const Outcome outcome = shell("'" + sim + "' run '" + source + "/examples/" + example + "'");
        EXPECT_EQ(outcome.status, 0) << example;
        std::istringstream lines(outcome.out);
        int count = 0;
        for (std::string line; std::getline(lines, line); ++count) {
            EXPECT_TRUE(line.starts_with("{") && line.ends_with("}")) << example << ": " << line;
        }
        EXPECT_GE(count, 5) << example;
        if (std::string(example) == "previews.scn") {
            EXPECT_NE(outcome.out.find("{\"visible\":true,\"pid\":501,"), std::string::npos) << outcome.out;
        }
        if (std::string(example) == "now-playing.scn") {
            EXPECT_NE(outcome.out.find("\"title\":\"Glass Garden\""), std::string::npos) << outcome.out;
        }
    }

    // From standard input, a malformed line: status 2 and nothing on standard output.
    const Outcome malformed = shell("printf 'query app\\nadvance soon\\n' | '" + sim + "' run - 2>/dev/null");
    EXPECT_EQ(malformed.status, 2);
    EXPECT_EQ(malformed.out, "");
    EXPECT_EQ(shell("'" + sim + "' 2>/dev/null").status, 2);
    EXPECT_EQ(shell("'" + sim + "' run /nonexistent/scenario.scn 2>/dev/null").status, 1);
}

}  // namespace
