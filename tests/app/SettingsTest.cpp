#include "app/Settings.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <vector>

#include "linux/PlistDefaults.h"
#include "linux/XdgPaths.h"
#include "support/InstalledDesktop.h"

namespace fs = std::filesystem;
using namespace durazizi;
using platform::DefaultValue;

namespace {

// Remembers which keys were read, in order, and passes everything through.
class RecordingDefaults final : public platform::Defaults {
public:
    explicit RecordingDefaults(std::shared_ptr<platform::Defaults> inner) : inner_(std::move(inner)) {}
    std::vector<std::string> reads;

    void registerDefaults(const std::map<std::string, DefaultValue>& d) override { inner_->registerDefaults(d); }
    bool boolForKey(const std::string& key) override { reads.push_back(key); return inner_->boolForKey(key); }
    std::int64_t integerForKey(const std::string& key) override { reads.push_back(key); return inner_->integerForKey(key); }
    double doubleForKey(const std::string& key) override { reads.push_back(key); return inner_->doubleForKey(key); }
    void setBool(bool v, const std::string& key) override { inner_->setBool(v, key); }
    void setInteger(std::int64_t v, const std::string& key) override { inner_->setInteger(v, key); }
    void setDouble(double v, const std::string& key) override { inner_->setDouble(v, key); }
    void removeObjectForKey(const std::string& key) override { inner_->removeObjectForKey(key); }
    std::optional<DefaultValue> objectForKey(const std::string& key) override { return inner_->objectForKey(key); }

private:
    std::shared_ptr<platform::Defaults> inner_;
};

// A fresh user account: an empty home with real property-list defaults,
// on a simulated desktop installed as a new process.
struct FreshAccount {
    fs::path home;
    testsupport::InstalledDesktop installed;
    std::shared_ptr<RecordingDefaults> defaults;

    FreshAccount() {
        char pattern[] = "/tmp/durazizi-settings-XXXXXX";
        home = ::mkdtemp(pattern);
        auto plist = std::make_shared<linuxhost::PlistDefaults>(
            linuxhost::PlistDefaults::pathFor((home / ".config").string(), linuxhost::kBundleIdentifier));
        defaults = std::make_shared<RecordingDefaults>(plist);
        installed.desktop.useDefaults(defaults);
        Settings::registerDefaults();
    }
    ~FreshAccount() {
        std::error_code ignored;
        fs::remove_all(home, ignored);
    }
};

using I = std::int64_t;

// The preference table as the product documents it to users.
const std::vector<std::pair<std::string, DefaultValue>> kDocumentedDefaults = {
    {"launchAtLogin", false},
    {"window_preview_enable", true},
    {"activationDelayMs", I{70}},
    {"window_preview_allspaces", true},
    {"window_preview_minimized", true},
    {"window_preview_include_palettes", false},
    {"window_preview_order", I{0}},
    {"window_preview_order_spacefront", false},
    {"window_preview_show_full", true},
    {"docklets_hide_on_dockitem_click", true},
    {"hideWhenPreviewClicked", true},
    {"window_preview_hideifonewindow", false},
    {"theme", I{0}},
    {"window_preview_show_appname", true},
    {"window_preview_closebox", true},
    {"window_preview_indicators", true},
    {"docklets_dock_offset", I{0}},
    {"window_preview_size", I{220}},
    {"window_preview_grid_width", I{5}},
    {"preview_popup_animation", I{2}},
    {"docklets_draw_triangle", true},
    {"docklets_draw_highlight", true},
    {"window_preview_indicate_frontwindow", true},
    {"docklets_dark_invisible", true},
    {"window_snapping", true},
    {"window_snapping_delay_near", 0.5},
    {"window_snapping_delay_exact", 0.0},
    {"keyboard_arrange", true},
    {"keyboard_arrange_mod_control", true},
    {"keyboard_arrange_mod_alt", true},
    {"keyboard_arrange_mod_command", false},
    {"keyboard_arrange_mod_shift", false},
    {"titlebar_scroll_arrange", true},
    {"move_windows", true},
    {"move_windows_mod_control", true},
    {"move_windows_mod_alt", true},
    {"move_windows_mod_command", false},
    {"move_windows_mod_shift", false},
    {"resize_windows", true},
    {"resize_windows_mod_control", true},
    {"resize_windows_mod_alt", true},
    {"resize_windows_mod_command", false},
    {"resize_windows_mod_shift", true},
    {"itunes_preview_enable", true},
    {"itunes_scroll_volume", true},
    {"spotify_preview_enable", true},
    {"ical_preview_enable", true},
    {"ical_preview_limit_events", I{10}},
    {"ical_preview_limit_days", I{2}},
};

}  // namespace

TEST(Settings, FreshAccountReadsEveryDocumentedDefault) {
    ASSERT_EQ(kDocumentedDefaults.size(), 49u);
    EXPECT_EQ(Settings::registeredDefaults().size(), 49u);

    FreshAccount account;
    for (const auto& [key, expected] : kDocumentedDefaults) {
        SCOPED_TRACE(key);
        // Registered with the documented type, not just a value that coerces.
        EXPECT_EQ(account.defaults->objectForKey(key), expected);
        if (auto* b = std::get_if<bool>(&expected)) {
            EXPECT_EQ(Settings::boolValue(key), *b);
        } else if (auto* i = std::get_if<I>(&expected)) {
            EXPECT_EQ(Settings::integerValue(key), *i);
        } else {
            EXPECT_EQ(Settings::doubleValue(key), std::get<double>(expected));
        }
    }
    EXPECT_EQ(Settings::integerValue("termsVersionAccepted"), 0);
    EXPECT_FALSE(Settings::boolValue("guideShown"));
    EXPECT_FALSE(Settings::boolValue("DuraziziDebugLog"));
    EXPECT_FALSE(account.defaults->objectForKey("termsVersionAccepted").has_value());
    // Defaults live in memory only; a fresh account has nothing on disk.
    EXPECT_FALSE(fs::exists(account.home / ".config"));

    // A user value shadows the default and survives into the next process.
    Settings::setInteger("activationDelayMs", 150);
    Settings::setBool("window_preview_enable", false);
    auto reopened = std::make_shared<linuxhost::PlistDefaults>(
        linuxhost::PlistDefaults::pathFor((account.home / ".config").string(), linuxhost::kBundleIdentifier));
    account.installed.desktop.useDefaults(reopened);
    platform::install(&account.installed.desktop);   // the next launch
    Settings::registerDefaults();
    EXPECT_EQ(Settings::integerValue("activationDelayMs"), 150);
    EXPECT_FALSE(Settings::boolValue("window_preview_enable"));
    EXPECT_TRUE(Settings::boolValue("window_snapping"));
}

TEST(Settings, StoredIntegersDecodeToTheirCaseOrTheFallback) {
    struct Row {
        std::int64_t stored;
        Settings::OrderBy order;
        Settings::Theme theme;
        Settings::PopupAnimation animation;
    };
    using O = Settings::OrderBy;
    using T = Settings::Theme;
    using A = Settings::PopupAnimation;
    const Row rows[] = {
        {0, O::creationTime, T::automatic, A::none},
        {1, O::title, T::light, A::fade},
        {2, O::appName, T::dark, A::snapIn},
        {3, O::creationTime, T::automatic, A::snapIn},
        {7, O::creationTime, T::automatic, A::snapIn},
        {-1, O::creationTime, T::automatic, A::snapIn},
        {INT64_MIN, O::creationTime, T::automatic, A::snapIn},
    };
    FreshAccount account;
    EXPECT_EQ(Settings::orderBy(), O::creationTime);
    EXPECT_EQ(Settings::theme(), T::automatic);
    EXPECT_EQ(Settings::popupAnimation(), A::snapIn);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.stored);
        Settings::setInteger("window_preview_order", row.stored);
        Settings::setInteger("theme", row.stored);
        Settings::setInteger("preview_popup_animation", row.stored);
        EXPECT_EQ(Settings::orderBy(), row.order);
        EXPECT_EQ(Settings::theme(), row.theme);
        EXPECT_EQ(Settings::popupAnimation(), row.animation);

        const bool hasCase = row.stored >= 0 && row.stored <= 2;
        EXPECT_EQ(Settings::orderByFromRaw(row.stored).has_value(), hasCase);
        EXPECT_EQ(Settings::themeFromRaw(row.stored).has_value(), hasCase);
        EXPECT_EQ(Settings::popupAnimationFromRaw(row.stored).has_value(), hasCase);
    }
}

TEST(Settings, CaseLabelsAreThoseThePreferencesShow) {
    using O = Settings::OrderBy;
    using T = Settings::Theme;
    using A = Settings::PopupAnimation;
    EXPECT_STREQ(Settings::label(O::creationTime), "Creation time");
    EXPECT_STREQ(Settings::label(O::title), "Window title");
    EXPECT_STREQ(Settings::label(O::appName), "Application name");
    EXPECT_STREQ(Settings::label(T::automatic), "Automatic");
    EXPECT_STREQ(Settings::label(T::light), "Light");
    EXPECT_STREQ(Settings::label(T::dark), "Dark");
    EXPECT_STREQ(Settings::label(A::none), "None");
    EXPECT_STREQ(Settings::label(A::fade), "Fade");
    EXPECT_STREQ(Settings::label(A::snapIn), "Snap in");
}

TEST(Settings, ModifierSetsFollowTheirFourKeysAtEveryCall) {
    FreshAccount account;
    EXPECT_EQ(Settings::moveModifiers(), 0xC0000u);
    EXPECT_EQ(Settings::resizeModifiers(), 0xE0000u);
    EXPECT_EQ(Settings::keyboardModifiers(), 0xC0000u);

    struct Bit {
        const char* suffix;
        ModifierSet flag;
    };
    const Bit bits[] = {{"control", 0x40000}, {"alt", 0x80000}, {"command", 0x100000}, {"shift", 0x20000}};
    struct Family {
        const char* prefix;
        ModifierSet (*read)();
    };
    const Family families[] = {{"move_windows_mod_", Settings::moveModifiers},
                               {"resize_windows_mod_", Settings::resizeModifiers},
                               {"keyboard_arrange_mod_", Settings::keyboardModifiers}};
    for (const auto& family : families) {
        SCOPED_TRACE(family.prefix);
        for (const auto& bit : bits) Settings::setBool(std::string(family.prefix) + bit.suffix, false);
        EXPECT_EQ(family.read(), 0u);   // the feature is off
        for (const auto& bit : bits) {
            Settings::setBool(std::string(family.prefix) + bit.suffix, true);
            EXPECT_EQ(family.read(), bit.flag) << bit.suffix;
            Settings::setBool(std::string(family.prefix) + bit.suffix, false);
        }
        for (const auto& bit : bits) Settings::setBool(std::string(family.prefix) + bit.suffix, true);
        EXPECT_EQ(family.read(), 0x1E0000u);

        // Nothing is cached: each call reads the four keys again, in order.
        account.defaults->reads.clear();
        family.read();
        family.read();
        const std::string p = family.prefix;
        EXPECT_EQ(account.defaults->reads,
                  (std::vector<std::string>{p + "control", p + "alt", p + "command", p + "shift",
                                            p + "control", p + "alt", p + "command", p + "shift"}));
    }
    // Changing one family leaves the others alone.
    Settings::setBool("move_windows_mod_shift", false);
    EXPECT_EQ(Settings::moveModifiers(), 0x1C0000u);
    EXPECT_EQ(Settings::resizeModifiers(), 0x1E0000u);
}
