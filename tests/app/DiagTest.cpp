#include "app/Diag.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <thread>

#include "linux/PlistDefaults.h"
#include "linux/XdgFiles.h"
#include "linux/XdgPaths.h"
#include "support/InstalledDesktop.h"

namespace fs = std::filesystem;
using namespace durazizi;

namespace {

// A user whose home holds the real defaults file and XDG folders, running on
// the simulated desktop as a fresh process.
struct UserSession {
    fs::path home;
    linuxhost::XdgPaths paths;
    testsupport::InstalledDesktop installed;
    std::shared_ptr<linuxhost::PlistDefaults> defaults;

    UserSession() {
        char pattern[] = "/tmp/durazizi-diag-XXXXXX";
        home = ::mkdtemp(pattern);
        paths = linuxhost::XdgPaths::forHome(home.string());
        defaults = std::make_shared<linuxhost::PlistDefaults>(
            linuxhost::PlistDefaults::pathFor(paths.configHome, linuxhost::kBundleIdentifier));
        installed.desktop.useDefaults(defaults);
        installed.desktop.useFiles(std::make_shared<linuxhost::XdgFiles>(paths.stateHome, paths.tempDir));
    }
    ~UserSession() {
        std::error_code ignored;
        fs::remove_all(home, ignored);
    }
    fs::path logFile() const { return fs::path(paths.stateHome) / "durazizi/Logs/Durazizi.log"; }
    void restartProcess() { platform::install(&installed.desktop); }
};

// A host without a user library folder.
class NoLibraryFiles final : public platform::Files {
public:
    explicit NoLibraryFiles(std::string temp) : temp_(std::move(temp)) {}
    std::vector<std::string> urlsForDirectory(platform::SearchPathDirectory, platform::SearchPathDomainMask) override {
        return {};
    }
    std::string temporaryDirectory() override { return temp_; }

private:
    std::string temp_;
};

std::vector<std::string> linesOf(const fs::path& file) {
    std::ifstream in(file);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

// The message of a line shaped "[YYYY-MM-DD HH:MM:SS +0000] message".
std::optional<std::string> stampedMessage(const std::string& line) {
    const std::string shape = "[dddd-dd-dd dd:dd:dd +0000] ";
    if (line.size() < shape.size()) return std::nullopt;
    for (std::size_t i = 0; i < shape.size(); ++i) {
        bool fits = shape[i] == 'd' ? (line[i] >= '0' && line[i] <= '9') : line[i] == shape[i];
        if (!fits) return std::nullopt;
    }
    return line.substr(shape.size());
}

}  // namespace

TEST(Diag, OffUnlessTheHiddenPreferenceIsOnAndThenLeavesNoTrace) {
    for (std::optional<bool> setting : {std::optional<bool>(), std::optional<bool>(false)}) {
        UserSession session;
        if (setting) session.defaults->setBool(*setting, "DuraziziDebugLog");
        Diag::log("should go nowhere");
        EXPECT_EQ(Diag::path(), session.logFile().string());
        EXPECT_FALSE(fs::exists(fs::path(session.paths.stateHome)));
    }
}

TEST(Diag, FirstLineCreatesTheLogAndLaterLinesAppend) {
    UserSession session;
    session.installed.desktop.setWallClock(sim::kDefaultWallClock + 0.75);
    session.defaults->setBool(true, "DuraziziDebugLog");

    Diag::log("first");
    ASSERT_TRUE(fs::exists(session.logFile()));
    EXPECT_EQ(readFile(session.logFile()), "[2026-12-07 09:00:00 +0000] first\n");

    session.installed.desktop.setWallClock(sim::kDefaultWallClock + 3661);
    Diag::log("second, with ünïcode");
    EXPECT_EQ(readFile(session.logFile()),
              "[2026-12-07 09:00:00 +0000] first\n[2026-12-07 10:01:01 +0000] second, with ünïcode\n");

    // The next process appends after what is already there.
    session.restartProcess();
    Diag::log("third");
    auto lines = linesOf(session.logFile());
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(stampedMessage(lines[2]), "third") << lines[2];
}

TEST(Diag, WithoutALibraryFolderTheLogGoesToTheTemporaryFolder) {
    UserSession session;
    fs::create_directories(session.paths.tempDir);
    session.installed.desktop.useFiles(std::make_shared<NoLibraryFiles>(session.paths.tempDir));
    session.defaults->setBool(true, "DuraziziDebugLog");

    Diag::log("in temp");
    EXPECT_EQ(Diag::path(), session.paths.tempDir + "Durazizi.log");
    EXPECT_THAT(readFile(session.paths.tempDir + "Durazizi.log"), testing::EndsWith("] in temp\n"));
}

TEST(Diag, TheSwitchIsReadOncePerProcess) {
    UserSession session;
    Diag::log("off at first use");
    session.defaults->setBool(true, "DuraziziDebugLog");
    Diag::log("still off in this process");
    EXPECT_FALSE(fs::exists(session.logFile()));

    session.restartProcess();
    Diag::log("on after relaunch");
    session.defaults->setBool(false, "DuraziziDebugLog");
    Diag::log("still on in this process");
    auto lines = linesOf(session.logFile());
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_THAT(lines[0], testing::EndsWith("] on after relaunch"));
    EXPECT_THAT(lines[1], testing::EndsWith("] still on in this process"));

    session.restartProcess();
    Diag::log("off again");
    EXPECT_EQ(linesOf(session.logFile()).size(), 2u);
}

TEST(Diag, LinesFromManyThreadsArriveWhole) {
    UserSession session;
    session.defaults->setBool(true, "DuraziziDebugLog");
    constexpr int kThreads = 8;
    constexpr int kLines = 200;
    // Long enough that a split write would show.
    const std::string padding(300, 'x');
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t, &padding] {
            for (int i = 0; i < kLines; ++i) {
                Diag::log("thread " + std::to_string(t) + " line " + std::to_string(i) + " " + padding);
            }
        });
    }
    for (auto& thread : threads) thread.join();

    auto lines = linesOf(session.logFile());
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(kThreads * kLines));
    std::set<std::string> seen;
    for (const auto& line : lines) {
        auto message = stampedMessage(line);
        ASSERT_TRUE(message.has_value()) << line.substr(0, 80);
        ASSERT_EQ(message->rfind("thread ", 0), 0u) << line.substr(0, 80);
        ASSERT_TRUE(message->size() > padding.size() &&
                    message->compare(message->size() - padding.size() - 1, std::string::npos, " " + padding) == 0)
            << line.substr(0, 80);
        seen.insert(message->substr(0, message->size() - padding.size() - 1));
    }
    EXPECT_EQ(seen.size(), static_cast<std::size_t>(kThreads * kLines));
}
