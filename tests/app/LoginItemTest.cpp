#include "app/LoginItem.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "app/Diag.h"
#include "linux/XdgAutostart.h"
#include "sim/Desktop.h"
#include "support/InstalledDesktop.h"

namespace fs = std::filesystem;
using namespace durazizi;
using testing::ElementsAre;
using testing::HasSubstr;
using testing::IsEmpty;

namespace {

// A session whose diagnostic log is on, in a private temporary folder.
struct LoggingSession {
    fs::path root;
    testsupport::InstalledDesktop installed;

    LoggingSession() {
        char pattern[] = "/tmp/durazizi-login-XXXXXX";
        root = ::mkdtemp(pattern);
        installed.desktop.defaults().setBool(true, "DuraziziDebugLog");
        installed.desktop.useFiles(std::make_shared<NoLibrary>(root.string() + "/"));
    }
    ~LoggingSession() {
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }
    std::vector<std::string> messages() const {
        std::vector<std::string> result;
        std::ifstream in(root / "Durazizi.log");
        for (std::string line; std::getline(in, line);) {
            auto end = line.find("] ");
            result.push_back(end == std::string::npos ? line : line.substr(end + 2));
        }
        return result;
    }

    class NoLibrary final : public platform::Files {
    public:
        explicit NoLibrary(std::string temp) : temp_(std::move(temp)) {}
        std::vector<std::string> urlsForDirectory(platform::SearchPathDirectory, platform::SearchPathDomainMask) override {
            return {};
        }
        std::string temporaryDirectory() override { return temp_; }

    private:
        std::string temp_;
    };
};

}  // namespace

TEST(LoginItem, TouchesTheServiceOnlyWhenTheStateDiffers) {
    LoggingSession session;
    auto service = std::make_shared<sim::MemoryLoginService>();
    session.installed.desktop.useLoginService(service);

    LoginItem::set(false);
    EXPECT_EQ(service->unregisters(), 0);
    LoginItem::set(true);
    LoginItem::set(true);
    EXPECT_EQ(service->registers(), 1);
    EXPECT_EQ(service->status(), platform::SMAppServiceStatusEnabled);
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
}

TEST(LoginItem, FailuresBecomeDiagnosticLines) {
    LoggingSession session;
    auto service = std::make_shared<sim::MemoryLoginService>();
    session.installed.desktop.useLoginService(service);

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
    const std::string config = (session.root / "config").string();
    auto autostart = std::make_shared<linuxhost::XdgAutostart>(config, "app.test.Login", "/opt/Durazizi App/durazizi");
    session.installed.desktop.useLoginService(autostart);

    LoginItem::set(true);
    ASSERT_TRUE(fs::exists(autostart->entryPath()));
    struct stat before {};
    ::stat(autostart->entryPath().c_str(), &before);
    LoginItem::set(true);   // already enabled: the entry is not rewritten
    struct stat after {};
    ::stat(autostart->entryPath().c_str(), &after);
    EXPECT_EQ(before.st_ino, after.st_ino);

    // A user who hid the entry counts as off; asking for on writes it afresh.
    std::ofstream(autostart->entryPath(), std::ios::app) << "Hidden=true\n";
    LoginItem::set(false);
    EXPECT_TRUE(fs::exists(autostart->entryPath()));
    LoginItem::set(true);
    EXPECT_EQ(autostart->status(), platform::SMAppServiceStatusEnabled);

    LoginItem::set(false);
    EXPECT_FALSE(fs::exists(autostart->entryPath()));
    EXPECT_THAT(session.messages(), IsEmpty());

    // The autostart folder is blocked by a plain file.
    std::ofstream(config + "/autostart.blocked") << "";
    fs::remove_all(config + "/autostart");
    fs::rename(config + "/autostart.blocked", config + "/autostart");
    LoginItem::set(true);
    auto messages = session.messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_THAT(messages[0], testing::StartsWith("LoginItem: register failed: "));
    EXPECT_THAT(messages[0], HasSubstr(config + "/autostart"));
}
