#include "app/LoginItem.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "app/AppWorld.h"
#include "linux/XdgAutostart.h"
#include "support/InstalledDesktop.h"

using namespace durazizi;
using namespace apptest;
using testing::ElementsAre;
using testing::IsEmpty;

namespace {

// A session whose diagnostic log is on, in a private temporary folder.
struct LoggingSession {
    TempHome home;
    testsupport::InstalledDesktop installed;

    LoggingSession() {
        installed.desktop.defaults().setBool(true, "DuraziziDebugLog");
        installed.desktop.useFiles(std::make_shared<NoLibraryFiles>(home.root.string() + "/"));
    }
    std::vector<std::string> messages() const { return logMessages(home.root / "Durazizi.log"); }
};

}  // namespace

TEST(LoginItem, TouchesTheServiceOnlyWhenTheStateDiffersAndLogsFailures) {
    LoggingSession session;
    auto service = std::make_shared<sim::MemoryLoginService>();
    session.installed.desktop.useLoginService(service);

    LoginItem::set(false);
    EXPECT_EQ(service->unregisters(), 0);
    LoginItem::set(true);
    LoginItem::set(true);
    EXPECT_EQ(service->registers(), 1);
    LoginItem::set(false);
    LoginItem::set(false);
    EXPECT_EQ(service->unregisters(), 1);

    // Waiting for approval is not enabled: asking again registers again.
    service->setStatus(platform::SMAppServiceStatusRequiresApproval);
    LoginItem::set(true);
    EXPECT_EQ(service->registers(), 2);
    service->setStatus(platform::SMAppServiceStatusRequiresApproval);
    LoginItem::set(false);
    EXPECT_EQ(service->unregisters(), 1);
    EXPECT_THAT(session.messages(), IsEmpty());

    service->setStatus(platform::SMAppServiceStatusNotRegistered);
    service->failRegister("The operation couldn’t be completed.");
    LoginItem::set(true);
    service->setStatus(platform::SMAppServiceStatusEnabled);
    service->failUnregister("Operation not permitted");
    LoginItem::set(false);
    EXPECT_THAT(session.messages(), ElementsAre("LoginItem: register failed: The operation couldn’t be completed.",
                                                "LoginItem: unregister failed: Operation not permitted"));
}

TEST(LoginItem, DrivesTheAutostartEntry) {
    LoggingSession session;
    const std::string config = (session.home.root / "config").string();
    auto autostart = std::make_shared<linuxhost::XdgAutostart>(config, "app.test.Login", "/opt/Durazizi App/durazizi");
    session.installed.desktop.useLoginService(autostart);
    const auto inode = [&] {
        struct stat info {};
        ::stat(autostart->entryPath().c_str(), &info);
        return info.st_ino;
    };

    LoginItem::set(true);
    ASSERT_TRUE(fs::exists(autostart->entryPath()));
    const auto before = inode();
    LoginItem::set(true);   // already enabled: the entry is not rewritten
    EXPECT_EQ(inode(), before);

    // A user who hid the entry counts as off; asking for on writes it afresh.
    std::ofstream(autostart->entryPath(), std::ios::app) << "Hidden=true\n";
    LoginItem::set(false);
    EXPECT_TRUE(fs::exists(autostart->entryPath()));
    LoginItem::set(true);
    EXPECT_EQ(autostart->status(), platform::SMAppServiceStatusEnabled);
    LoginItem::set(false);
    LoginItem::set(false);
    EXPECT_FALSE(fs::exists(autostart->entryPath()));
    EXPECT_THAT(session.messages(), IsEmpty());

    // The autostart folder is blocked by a plain file.
    fs::remove_all(config + "/autostart");
    std::ofstream(config + "/autostart") << "";
    LoginItem::set(true);
    auto messages = session.messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_THAT(messages[0], testing::StartsWith("LoginItem: register failed: "));
    EXPECT_THAT(messages[0], testing::HasSubstr(config + "/autostart"));
}
