#include "app/Permissions.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/InstalledDesktop.h"

using namespace durazizi;
using testing::ElementsAre;
using testing::IsEmpty;

TEST(Permissions, OpensThePrivacyPaneForAValidAnchorOnly) {
    testsupport::InstalledDesktop installed;
    Permissions::open(Permissions::kAccessibilityPane);
    Permissions::open(Permissions::kScreenCapturePane);
    EXPECT_THAT(installed.desktop.workspace().openedURLs(),
                ElementsAre("x-apple.systempreferences:com.apple.preference.security?Privacy_Accessibility",
                            "x-apple.systempreferences:com.apple.preference.security?Privacy_ScreenCapture"));

    testsupport::InstalledDesktop other;
    for (const char* invalid : {"has a space", "bad%zzescape", "ünïcode"}) Permissions::open(invalid);
    EXPECT_THAT(other.desktop.workspace().openedURLs(), IsEmpty());
}
