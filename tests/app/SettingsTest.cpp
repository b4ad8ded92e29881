#include "app/Settings.h"

#include <gtest/gtest.h>

#include "app/AppWorld.h"
#include "linux/PlistDefaults.h"
#include "linux/XdgPaths.h"
#include "support/InstalledDesktop.h"

using namespace durazizi;
using platform::DefaultValue;

namespace {

// A fresh user account: an empty home with real property-list defaults, on a
// simulated desktop installed as a new process.
struct FreshAccount {
    apptest::TempHome home;
    testsupport::InstalledDesktop installed;
    std::shared_ptr<linuxhost::PlistDefaults> defaults;

    FreshAccount() { launch(); }
    void launch() {
        defaults = std::make_shared<linuxhost::PlistDefaults>(
            linuxhost::PlistDefaults::pathFor((home.root / ".config").string(), linuxhost::kBundleIdentifier));
        installed.desktop.useDefaults(defaults);
        platform::install(&installed.desktop);
        Settings::registerDefaults();
    }
};

using I = std::int64_t;

}  // namespace

TEST(Settings, FreshAccountReadsTheDefaultsAndKeepsWhatTheUserSets) {
    FreshAccount account;
    // Registered with their own types (a reader of the file would see the
    // same), not merely values that coerce.
    EXPECT_EQ(account.defaults->objectForKey("window_preview_enable"), DefaultValue{true});
    EXPECT_EQ(account.defaults->objectForKey("activationDelayMs"), DefaultValue{I{70}});
    EXPECT_EQ(account.defaults->objectForKey("window_snapping_delay_near"), DefaultValue{0.5});
    EXPECT_EQ(account.defaults->objectForKey("window_snapping_delay_exact"), DefaultValue{0.0});
    EXPECT_EQ(Settings::integerValue("termsVersionAccepted"), 0);
    EXPECT_FALSE(account.defaults->objectForKey("termsVersionAccepted").has_value());
    EXPECT_FALSE(Settings::boolValue("DuraziziDebugLog"));
    // Defaults live in memory only; a fresh account has nothing on disk.
    EXPECT_FALSE(apptest::fs::exists(account.home.root / ".config"));

    // A user value shadows the default and survives into the next launch.
    Settings::setInteger("activationDelayMs", 150);
    Settings::setBool("window_preview_enable", false);
    account.launch();
    EXPECT_EQ(Settings::integerValue("activationDelayMs"), 150);
    EXPECT_FALSE(Settings::boolValue("window_preview_enable"));
    EXPECT_TRUE(Settings::boolValue("window_snapping"));
    EXPECT_EQ(Settings::doubleValue("window_snapping_delay_near"), 0.5);
}

TEST(Settings, StoredIntegersDecodeToTheirCaseOrTheFallback) {
    using O = Settings::OrderBy;
    using T = Settings::Theme;
    using A = Settings::PopupAnimation;
    struct Row {
        std::int64_t stored;
        O order;
        T theme;
        A animation;
        const char* labels;   // as the preferences show the three cases; empty for a fallback
    };
    const Row rows[] = {
        {0, O::creationTime, T::automatic, A::none, "Creation time/Automatic/None"},
        {1, O::title, T::light, A::fade, "Window title/Light/Fade"},
        {2, O::appName, T::dark, A::snapIn, "Application name/Dark/Snap in"},
        {3, O::creationTime, T::automatic, A::snapIn, ""},
        {-1, O::creationTime, T::automatic, A::snapIn, ""},
        {INT64_MIN, O::creationTime, T::automatic, A::snapIn, ""},
    };
    FreshAccount account;
    EXPECT_EQ(Settings::popupAnimation(), A::snapIn);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.stored);
        Settings::setInteger("window_preview_order", row.stored);
        Settings::setInteger("theme", row.stored);
        Settings::setInteger("preview_popup_animation", row.stored);
        EXPECT_EQ(Settings::orderBy(), row.order);
        EXPECT_EQ(Settings::theme(), row.theme);
        EXPECT_EQ(Settings::popupAnimation(), row.animation);

        const bool hasCase = *row.labels != '\0';
        EXPECT_EQ(Settings::orderByFromRaw(row.stored).has_value(), hasCase);
        EXPECT_EQ(Settings::themeFromRaw(row.stored).has_value(), hasCase);
        EXPECT_EQ(Settings::popupAnimationFromRaw(row.stored).has_value(), hasCase);
        if (hasCase) {
            EXPECT_EQ(std::string(Settings::label(row.order)) + "/" + Settings::label(row.theme) + "/" +
                          Settings::label(row.animation),
                      row.labels);
        }
    }
}

TEST(Settings, ModifierSetsFollowTheirFourKeysAtEveryCall) {
    FreshAccount account;
    EXPECT_EQ(Settings::moveModifiers(), 0xC0000u);
    EXPECT_EQ(Settings::resizeModifiers(), 0xE0000u);
    EXPECT_EQ(Settings::keyboardModifiers(), 0xC0000u);

    const std::pair<const char*, ModifierSet> bits[] = {
        {"control", 0x40000}, {"alt", 0x80000}, {"command", 0x100000}, {"shift", 0x20000}};
    const std::pair<std::string, ModifierSet (*)()> families[] = {{"move_windows_mod_", Settings::moveModifiers},
                                                                   {"resize_windows_mod_", Settings::resizeModifiers},
                                                                   {"keyboard_arrange_mod_", Settings::keyboardModifiers}};
    for (const auto& [prefix, read] : families) {
        SCOPED_TRACE(prefix);
        for (const auto& bit : bits) Settings::setBool(prefix + bit.first, false);
        EXPECT_EQ(read(), 0u);   // the feature is off
        // Nothing is cached: each key counts from the next call on.
        for (const auto& [suffix, flag] : bits) {
            Settings::setBool(prefix + suffix, true);
            EXPECT_EQ(read(), flag) << suffix;
            Settings::setBool(prefix + suffix, false);
        }
        for (const auto& bit : bits) Settings::setBool(prefix + bit.first, true);
        EXPECT_EQ(read(), 0x1E0000u);
    }
    // Changing one family leaves the others alone.
    Settings::setBool("move_windows_mod_shift", false);
    EXPECT_EQ(Settings::moveModifiers(), 0x1C0000u);
    EXPECT_EQ(Settings::resizeModifiers(), 0x1E0000u);
}
