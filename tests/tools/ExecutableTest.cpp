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

namespace {

// Width and height from a PNG's header, or zeros when it is not one.
std::pair<std::uint32_t, std::uint32_t> pngSize(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    unsigned char header[24] = {};
    if (!in.read(reinterpret_cast<char*>(header), sizeof header) || header[1] != 'P' || header[12] != 'I') return {0, 0};
    auto word = [&](int at) {
        return (std::uint32_t{header[at]} << 24) | (std::uint32_t{header[at + 1]} << 16) |
               (std::uint32_t{header[at + 2]} << 8) | header[at + 3];
    };
    return {word(16), word(20)};
}

// The bundle's icon set as iconutil wants it: every name at its pixel size.
TEST(DuraziziIconExecutable, WritesEveryPictureOfTheIconSet) {
    const std::string tool = environment("DURAZIZI_ICON");
    if (tool.empty()) GTEST_SKIP() << "run through CTest, which names the executable";
    const std::filesystem::path out = std::filesystem::temp_directory_path() /
                                      ("durazizi-iconset-" + std::to_string(::getpid())) / "AppIcon.iconset";
    ASSERT_EQ(shell("'" + tool + "' '" + out.string() + "'").status, 0);
    const std::pair<const char*, std::uint32_t> expected[] = {
        {"icon_16x16.png", 16},     {"icon_16x16@2x.png", 32},   {"icon_32x32.png", 32},
        {"icon_32x32@2x.png", 64},  {"icon_128x128.png", 128},   {"icon_128x128@2x.png", 256},
        {"icon_256x256.png", 256},  {"icon_256x256@2x.png", 512}, {"icon_512x512.png", 512},
        {"icon_512x512@2x.png", 1024}};
    for (const auto& [file, pixels] : expected) {
        EXPECT_EQ(pngSize(out / file), std::make_pair(pixels, pixels)) << file;
    }
    EXPECT_EQ(shell("'" + tool + "' 2>/dev/null").status, 2);
    std::filesystem::remove_all(out.parent_path());
}

}  // namespace
