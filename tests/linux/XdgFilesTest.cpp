#include <gtest/gtest.h>
#include <stdlib.h>

#include <optional>
#include <string>

#include "linux/XdgFiles.h"
#include "linux/XdgPaths.h"

using linuxhost::XdgFiles;
using linuxhost::XdgPaths;

namespace {

// Sets or clears an environment variable for one scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
        if (const char* old = ::getenv(name)) old_ = old;
        if (value) ::setenv(name, value->c_str(), 1);
        else ::unsetenv(name);
    }
    ~ScopedEnv() {
        if (old_) ::setenv(name_, old_->c_str(), 1);
        else ::unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

}  // namespace

TEST(XdgFiles, LibraryFolderIsTheStateFolderAndTempEndsWithASlash) {
    XdgFiles files("/home/u/.local/state", "/var/tmp");
    EXPECT_EQ(files.urlsForDirectory(platform::NSLibraryDirectory, platform::NSUserDomainMask),
              std::vector<std::string>{"/home/u/.local/state/durazizi"});
    EXPECT_TRUE(files.urlsForDirectory(static_cast<platform::SearchPathDirectory>(9), platform::NSUserDomainMask).empty());
    EXPECT_TRUE(files.urlsForDirectory(platform::NSLibraryDirectory, static_cast<platform::SearchPathDomainMask>(8)).empty());
    EXPECT_EQ(files.temporaryDirectory(), "/var/tmp/");
    EXPECT_EQ(XdgFiles("/s", "/tmp/").temporaryDirectory(), "/tmp/");
}

TEST(XdgPaths, EnvironmentWinsWhereSetAndAbsoluteElseTheHomeFallbacks) {
    ScopedEnv home("HOME", "/home/tester");
    {
        ScopedEnv config("XDG_CONFIG_HOME", "/cfg");
        ScopedEnv state("XDG_STATE_HOME", "/st");
        ScopedEnv tmp("TMPDIR", "/scratch");
        ScopedEnv data("XDG_DATA_HOME", "/data");
        XdgPaths paths = XdgPaths::fromEnvironment();
        EXPECT_EQ(paths.dataHome, "/data");
        EXPECT_EQ(paths.configHome, "/cfg");
        EXPECT_EQ(paths.stateHome, "/st");
        EXPECT_EQ(paths.tempDir, "/scratch/");
    }
    {
        ScopedEnv config("XDG_CONFIG_HOME", std::nullopt);
        ScopedEnv state("XDG_STATE_HOME", "relative/state");   // relative: ignored
        ScopedEnv tmp("TMPDIR", std::nullopt);
        ScopedEnv data("XDG_DATA_HOME", "data");                // relative: ignored
        XdgPaths paths = XdgPaths::fromEnvironment();
        EXPECT_EQ(paths.dataHome, "/home/tester/.local/share");
        EXPECT_EQ(paths.configHome, "/home/tester/.config");
        EXPECT_EQ(paths.stateHome, "/home/tester/.local/state");
        EXPECT_EQ(paths.tempDir, "/tmp/");
    }
    XdgPaths own = XdgPaths::forHome("/sandbox");
    EXPECT_EQ(own.configHome, "/sandbox/.config");
    EXPECT_EQ(own.stateHome, "/sandbox/.local/state");
    EXPECT_EQ(own.dataHome, "/sandbox/.local/share");
    EXPECT_EQ(own.tempDir, "/sandbox/tmp/");
}
