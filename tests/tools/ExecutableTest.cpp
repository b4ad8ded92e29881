#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
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

    // Panels with text measure it through Fontconfig, whose caches live as long as the process.
    const std::string lsan = "LSAN_OPTIONS=suppressions='" + source + "/scripts/lsan.supp:print_suppressions=0' ";
    for (const char* example : {"welcome.scn", "previews.scn", "now-playing.scn", "calendar.scn", "spaces.scn"}) {
        const Outcome outcome = shell(lsan + "'" + sim + "' run '" + source + "/examples/" + example + "'");
        EXPECT_EQ(outcome.status, 0) << example;
        std::istringstream lines(outcome.out);
        int count = 0;
        for (std::string line; std::getline(lines, line); ++count) {
            EXPECT_TRUE(line.starts_with("{") && line.ends_with("}")) << example << ": " << line;
        }
        EXPECT_GE(count, 4) << example;
        if (std::string(example) == "previews.scn") {
            EXPECT_NE(outcome.out.find("{\"visible\":true,\"pid\":501,"), std::string::npos) << outcome.out;
        }
        if (std::string(example) == "spaces.scn") {
            EXPECT_NE(outcome.out.find("\"spaceLabel\":\"Other Space\""), std::string::npos) << outcome.out;
        }
        if (std::string(example) == "calendar.scn") {
            EXPECT_NE(outcome.out.find("\"header\":\"Upcoming\""), std::string::npos) << outcome.out;
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

// A picture taken by the program itself, with the suppressions the docs give
// for the sanitizer build: it exits cleanly (a leak or an undefined-behaviour
// report would change the status) and leaves a PNG.
TEST(DuraziziSimExecutable, TakesASnapshotAndExitsCleanly) {
    const std::string sim = environment("DURAZIZI_SIM");
    const std::string source = environment("DURAZIZI_SOURCE_DIR");
    if (sim.empty() || source.empty()) GTEST_SKIP() << "run through CTest, which names the executable";
    char made[] = "/tmp/durazizi-sim-snapshot-XXXXXX";
    ASSERT_NE(::mkdtemp(made), nullptr);
    const std::string folder = made;
    std::ofstream(folder + "/desk.scn") << "screen 0,0,800,600\ndock\napp com.example.Editor \"Editor\"\n"
                                           "window 500 frame=100,100,400,300\ndefaults termsVersionAccepted int 1\n"
                                           "launch\nadvance 1s\nhover-dock \"Editor\"\nadvance 1s\nsnapshot desk.png\n";

    const Outcome outcome = shell("cd '" + folder + "' && LSAN_OPTIONS=suppressions='" + source +
                                  "/scripts/lsan.supp:print_suppressions=0' '" + sim + "' run desk.scn 2>&1");
    EXPECT_EQ(outcome.status, 0) << outcome.out;
    EXPECT_EQ(outcome.out, "");
    std::ifstream picture(folder + "/desk.png", std::ios::binary);
    char signature[4] = {};
    picture.read(signature, sizeof signature);
    EXPECT_EQ(std::string(signature + 1, 3), "PNG");
    std::filesystem::remove_all(folder);
}

}  // namespace
