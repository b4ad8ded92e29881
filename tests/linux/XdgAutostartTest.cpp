#include "linux/XdgAutostart.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;
using linuxhost::XdgAutostart;
using testing::HasSubstr;

namespace {

struct TempHome {
    fs::path root;
    TempHome() {
        char pattern[] = "/tmp/durazizi-autostart-XXXXXX";
        root = ::mkdtemp(pattern);
    }
    ~TempHome() {
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }
    std::string config() const { return (root / "config").string(); }
};

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

}  // namespace

TEST(XdgAutostart, RegisterAndUnregisterAreIdempotent) {
    TempHome home;
    XdgAutostart item(home.config(), "app.test.Autostart", "/usr/bin/durazizi");
    EXPECT_EQ(item.entryPath(), home.config() + "/autostart/app.test.Autostart.desktop");
    EXPECT_EQ(item.status(), platform::SMAppServiceStatusNotRegistered);

    std::string error;
    for (int round = 0; round < 2; ++round) {
        EXPECT_TRUE(item.registerService(&error)) << error;
        EXPECT_EQ(item.status(), platform::SMAppServiceStatusEnabled);
    }
    EXPECT_EQ(readFile(item.entryPath()),
              "[Desktop Entry]\nType=Application\nName=Durazizi\nExec=/usr/bin/durazizi\n"
              "X-GNOME-Autostart-enabled=true\n");
    EXPECT_EQ(fs::status(item.entryPath()).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);
    // Only the entry: no temporary file left next to it.
    EXPECT_EQ(std::distance(fs::directory_iterator(fs::path(item.entryPath()).parent_path()), {}), 1);

    for (int round = 0; round < 2; ++round) {
        EXPECT_TRUE(item.unregisterService(&error)) << error;
        EXPECT_EQ(item.status(), platform::SMAppServiceStatusNotRegistered);
        EXPECT_FALSE(fs::exists(item.entryPath()));
    }
}

TEST(XdgAutostart, StatusFollowsWhatTheEntrySays) {
    struct Case {
        const char* name;
        const char* text;
        platform::SMAppServiceStatus expected;
    };
    const Case cases[] = {
        {"plain", "[Desktop Entry]\nType=Application\nExec=x\n", platform::SMAppServiceStatusEnabled},
        {"hidden", "[Desktop Entry]\nType=Application\nHidden=true\n", platform::SMAppServiceStatusNotRegistered},
        {"hidden with blanks", "[Desktop Entry]\nHidden = true\n", platform::SMAppServiceStatusNotRegistered},
        {"not hidden", "[Desktop Entry]\nHidden=false\n", platform::SMAppServiceStatusEnabled},
        {"disabled", "[Desktop Entry]\nX-GNOME-Autostart-enabled=false\n", platform::SMAppServiceStatusNotRegistered},
        {"hidden in another group", "[Desktop Entry]\nExec=x\n[Desktop Action quit]\nHidden=true\n",
         platform::SMAppServiceStatusEnabled},
        {"commented out", "[Desktop Entry]\n# Hidden=true\n", platform::SMAppServiceStatusEnabled},
        {"windows line ends", "[Desktop Entry]\r\nHidden=true\r\n", platform::SMAppServiceStatusNotRegistered},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempHome home;
        XdgAutostart item(home.config(), "app.test.Autostart", "/usr/bin/durazizi");
        fs::create_directories(fs::path(item.entryPath()).parent_path());
        std::ofstream(item.entryPath()) << c.text;
        EXPECT_EQ(item.status(), c.expected);
    }
}

TEST(XdgAutostart, ExecQuotesProgramsWithReservedCharacters) {
    struct Case {
        const char* executable;
        const char* execLine;
    };
    const Case cases[] = {
        {"/opt/durazizi/bin/durazizi", "Exec=/opt/durazizi/bin/durazizi\n"},
        {"/opt/My Apps/durazizi", "Exec=\"/opt/My Apps/durazizi\"\n"},
        {"/home/a$b/d", "Exec=\"/home/a\\\\$b/d\"\n"},
        {"/odd\\path/d", "Exec=\"/odd\\\\\\\\path/d\"\n"},
        {"/100%/d", "Exec=/100%%/d\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.executable);
        TempHome home;
        XdgAutostart item(home.config(), "app.test.Autostart", c.executable);
        ASSERT_TRUE(item.registerService(nullptr));
        EXPECT_THAT(readFile(item.entryPath()), HasSubstr(c.execLine));
    }
}

TEST(XdgAutostart, FailuresReturnFalseWithAMessageNamingThePath) {
    TempHome home;
    XdgAutostart item(home.config(), "app.test.Autostart", "/usr/bin/durazizi");

    // A plain file where the autostart folder belongs.
    fs::create_directories(home.config());
    std::ofstream(home.config() + "/autostart") << "in the way";
    std::string error;
    EXPECT_FALSE(item.registerService(&error));
    EXPECT_THAT(error, HasSubstr(home.config() + "/autostart"));
    EXPECT_THAT(error, HasSubstr("Not a directory"));
    EXPECT_EQ(item.status(), platform::SMAppServiceStatusNotRegistered);

    // A folder where the entry belongs cannot be unlinked.
    fs::remove(home.config() + "/autostart");
    fs::create_directories(item.entryPath() + "/inside");
    error.clear();
    EXPECT_FALSE(item.unregisterService(&error));
    EXPECT_THAT(error, HasSubstr(item.entryPath()));
    EXPECT_FALSE(item.registerService(&error));
    EXPECT_THAT(error, HasSubstr(item.entryPath()));
    // And nothing half-written is left behind next to it.
    EXPECT_EQ(std::distance(fs::directory_iterator(home.config() + "/autostart"), {}), 1);
}
