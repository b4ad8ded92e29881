#include "app/Diag.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>
#include <thread>

#include "app/AppWorld.h"
#include "linux/PlistDefaults.h"
#include "linux/XdgFiles.h"
#include "linux/XdgPaths.h"
#include "support/InstalledDesktop.h"

using namespace durazizi;
using namespace apptest;
using testing::ElementsAre;
using testing::EndsWith;

namespace {

// A user whose home holds the real defaults file and XDG folders, running on
// the simulated desktop as a fresh process.
struct UserSession {
    TempHome home;
    linuxhost::XdgPaths paths = linuxhost::XdgPaths::forHome(home.root.string());
    testsupport::InstalledDesktop installed;
    std::shared_ptr<linuxhost::PlistDefaults> defaults = std::make_shared<linuxhost::PlistDefaults>(
        linuxhost::PlistDefaults::pathFor(paths.configHome, linuxhost::kBundleIdentifier));

    explicit UserSession(std::optional<bool> logging = true) {
        installed.desktop.useDefaults(defaults);
        installed.desktop.useFiles(std::make_shared<linuxhost::XdgFiles>(paths.stateHome, paths.tempDir));
        if (logging) defaults->setBool(*logging, "DuraziziDebugLog");
    }
    fs::path logFile() const { return fs::path(paths.stateHome) / "durazizi/Logs/Durazizi.log"; }
    void restartProcess() { platform::install(&installed.desktop); }
};

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
        UserSession session(setting);
        Diag::log("should go nowhere");
        EXPECT_EQ(Diag::path(), session.logFile().string());
        EXPECT_FALSE(fs::exists(fs::path(session.paths.stateHome)));
    }
}

TEST(Diag, FirstLineCreatesTheLogAndLaterLinesAppendAcrossProcesses) {
    UserSession session;
    session.installed.desktop.time().setWallClock(sim::kDefaultWallClock + 0.75);
    Diag::log("first");
    EXPECT_EQ(readFile(session.logFile()), "[2026-12-07 09:00:00 +0000] first\n");

    session.installed.desktop.time().setWallClock(sim::kDefaultWallClock + 3661);
    Diag::log("second, with ünïcode");
    EXPECT_EQ(readFile(session.logFile()),
              "[2026-12-07 09:00:00 +0000] first\n[2026-12-07 10:01:01 +0000] second, with ünïcode\n");

    // The switch is read once per process; the next process appends.
    session.defaults->setBool(false, "DuraziziDebugLog");
    Diag::log("still on in this process");
    session.restartProcess();
    Diag::log("off in the next");
    session.defaults->setBool(true, "DuraziziDebugLog");
    Diag::log("and off for the rest of it");
    session.restartProcess();
    Diag::log("on again");
    EXPECT_THAT(logMessages(session.logFile()),
                ElementsAre("first", "second, with ünïcode", "still on in this process", "on again"));
}

TEST(Diag, WithoutALibraryFolderTheLogGoesToTheTemporaryFolder) {
    UserSession session;
    fs::create_directories(session.paths.tempDir);
    session.installed.desktop.useFiles(std::make_shared<NoLibraryFiles>(session.paths.tempDir));
    Diag::log("in temp");
    EXPECT_EQ(Diag::path(), session.paths.tempDir + "Durazizi.log");
    EXPECT_THAT(readFile(session.paths.tempDir + "Durazizi.log"), EndsWith("] in temp\n"));
}

TEST(Diag, LinesFromManyThreadsArriveWhole) {
    UserSession session;
    constexpr int kThreads = 8;
    constexpr int kLines = 200;
    // Long enough that a split write would show.
    const std::string padding(300, 'x');
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t, &padding] {
            for (int i = 0; i < kLines; ++i) Diag::log(std::to_string(t) + "/" + std::to_string(i) + " " + padding);
        });
    }
    for (auto& thread : threads) thread.join();

    std::ifstream in(session.logFile());
    std::set<std::string> seen;
    for (std::string line; std::getline(in, line);) {
        auto message = stampedMessage(line);
        ASSERT_TRUE(message && message->ends_with(" " + padding)) << line.substr(0, 80);
        seen.insert(message->substr(0, message->size() - padding.size() - 1));
    }
    EXPECT_EQ(seen.size(), static_cast<std::size_t>(kThreads * kLines));
}
