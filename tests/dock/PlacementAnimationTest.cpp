#include "dock/DockWorld.h"
#include "specials/PanelPlacement.h"

namespace {

using docktest::DockWorld;
using durazizi::PreviewController;
namespace PanelPlacement = durazizi::PanelPlacement;

// --- placement ----------------------------------------------------------------------

struct PlacementCase {
    const char* what;
    kit::Rect iconTopLeft;
    kit::Size panel;
    std::int64_t dockOffset;
    kit::Point origin;   // Cocoa
};

// The primary display is 1440 x 900 with a 64-point Dock strip, so its
// visible frame is (0, 64, 1440, 812) in Cocoa coordinates; a second display
// of 1920 x 1080 sits to its right, 200 points higher, visible
// (1440, 20, 1920, 1056).
class Placement : public DockWorld {
protected:
    Placement() { desktop().screens().add({1440, -200, 1920, 1080}); }
};

TEST_F(Placement, CentredAboveTheIconAndKeptInsideTheIconsScreen) {
    const PlacementCase cases[] = {
        {"centred, 8 points above", {696, 844, 48, 48}, {300, 200}, 0, {570, 64}},
        {"dock offset widens the gap", {696, 844, 48, 48}, {300, 200}, 10, {570, 74}},
        {"negative offset narrows it", {696, 844, 48, 48}, {300, 200}, -5, {570, 59}},
        {"left edge", {0, 844, 48, 48}, {300, 200}, 0, {8, 64}},
        {"right edge", {1392, 844, 48, 48}, {300, 200}, 0, {1132, 64}},
        {"wider than the screen: the right limit wins", {696, 844, 48, 48}, {1500, 100}, 0, {-68, 64}},
        {"taller than the room above: top clamp", {696, 844, 48, 48}, {300, 900}, 0, {570, -32}},
        {"second display, right edge", {3300, 800, 48, 48}, {300, 200}, 0, {3052, 108}},
        {"second display, left edge", {1440, 800, 48, 48}, {300, 200}, 0, {1448, 108}},
        {"second display, top clamp", {2000, 100, 48, 48}, {300, 400}, 0, {1874, 668}},
        {"centre on no display: the main screen", {5000, 844, 48, 48}, {300, 200}, 0, {1132, 64}},
        // A Dock at a side edge: the panel still goes above the icon.
        {"side Dock", {0, 400, 48, 48}, {300, 200}, 0, {8, 508}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        setInt("docklets_dock_offset", c.dockOffset);
        EXPECT_EQ(PanelPlacement::origin(c.iconTopLeft, c.panel), c.origin);
    }
}

TEST(PlacementWithoutScreens, LeavesTheProposedOriginAlone) {
    testsupport::InstalledDesktop installed;
    // No display: the primary height is 0, so the icon's Cocoa y is -y - height.
    EXPECT_EQ(PanelPlacement::origin({100, 50, 40, 40}, {300, 200}), kit::Point(-30, -42));
}

// --- appearance and fade-out --------------------------------------------------------

class Animation : public DockWorld {
protected:
    std::shared_ptr<PreviewController> controller = std::make_shared<PreviewController>();
    platform::pid_t editor = appWithWindows("Editor", 2);
    platform::pid_t mail = appWithWindows("Mail", 3);

    void show(platform::pid_t pid) {
        const std::string name = desktop().processes().info(pid)->name;
        controller->show(runningApp(pid), durazizi::WindowList::windows(pid, true, false), iconFrame(name));
    }
    platform::Panel& panel() { return *controller->panel(); }
    double alpha() { return panel().alphaValue(); }
};

TEST_F(Animation, TheThreeAppearanceStyles) {
    // The resting frame, from a show that has run its course.
    show(editor);
    desktop().time().advance(1);
    const kit::Rect resting = panel().frame();

    struct Sample {
        double at;          // seconds since the show
        double alphaFrom;   // alpha within [from, to]
        double alphaTo;
        double dropFrom;    // points below the resting frame, within [from, to]
        double dropTo;
    };
    struct Style {
        std::int64_t stored;
        std::vector<Sample> samples;
    };
    const Style styles[] = {
        {0, {{0, 1, 1, 0, 0}, {0.07, 1, 1, 0, 0}}},
        {1, {{0, 0, 0, 0, 0}, {0.07, 0.01, 0.99, 0, 0}, {0.15, 1, 1, 0, 0}}},
        {2, {{0, 0, 0, 10, 10}, {0.08, 0.01, 0.99, 0.01, 9.99}, {0.15, 0.9, 0.999, 0, 0.5}, {0.17, 1, 1, 0, 0}}},
        // Any other stored value slides in too.
        {7, {{0, 0, 0, 10, 10}, {0.15, 0.9, 0.999, 0, 0.5}, {0.17, 1, 1, 0, 0}}},
    };
    for (const auto& style : styles) {
        SCOPED_TRACE(::testing::Message() << "preview_popup_animation " << style.stored);
        setInt("preview_popup_animation", style.stored);
        controller->hide();
        desktop().time().advance(1);
        ASSERT_FALSE(panel().isVisible());

        show(editor);
        double elapsed = 0;
        for (const auto& sample : style.samples) {
            desktop().time().advance(sample.at - elapsed);
            elapsed = sample.at;
            SCOPED_TRACE(::testing::Message() << "at " << sample.at << " s");
            EXPECT_TRUE(panel().isVisible());
            EXPECT_GE(alpha(), sample.alphaFrom);
            EXPECT_LE(alpha(), sample.alphaTo);
            const double drop = resting.minY() - panel().frame().minY();
            EXPECT_GE(drop, sample.dropFrom);
            EXPECT_LE(drop, sample.dropTo);
            EXPECT_EQ(panel().frame().size, resting.size);
            EXPECT_EQ(panel().frame().minX(), resting.minX());
        }
    }
}

TEST_F(Animation, PanelPlacementSlidesInWhateverThePreviewSetting) {
    setInt("preview_popup_animation", 0);
    auto window = platform::current().windowServer().makePanel(
        {0, 0, 200, 100}, platform::NSWindowStyleMaskNonactivatingPanel, platform::NSBackingStoreBuffered, true);
    PanelPlacement::place(*window, iconFrame("Editor"), {200, 100});
    const kit::Rect placed = window->frame();
    EXPECT_EQ(placed.origin, PanelPlacement::origin(iconFrame("Editor"), {200, 100}));

    PanelPlacement::animateIn(*window);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->alphaValue(), 0);
    EXPECT_EQ(window->frame(), placed.offsetBy(0, -10));
    desktop().time().advance(0.15);
    EXPECT_LT(window->alphaValue(), 1);
    desktop().time().advance(0.02);
    EXPECT_EQ(window->alphaValue(), 1);
    EXPECT_EQ(window->frame(), placed);
}

TEST_F(Animation, HideFadesOutOverATenthOfASecondThenOrdersOut) {
    show(editor);
    desktop().time().advance(1);
    controller->hide();
    EXPECT_FALSE(controller->currentPID());
    desktop().time().advance(0.05);
    EXPECT_TRUE(panel().isVisible());
    EXPECT_GT(alpha(), 0);
    EXPECT_LT(alpha(), 1);
    desktop().time().advance(0.06);
    EXPECT_FALSE(panel().isVisible());
}

TEST_F(Animation, TheHoverLoopLetsTheFadeOutRunItsCourse) {
    setInt("activationDelayMs", 0);
    startHover();
    showPreviewOf("Editor");
    desktop().input().move({700, 300});
    // Past the hide delay the loop polls again while the panel fades; the
    // fade still takes its tenth of a second.
    desktop().time().advance(0.3);
    ASSERT_TRUE(previewVisible());
    const double early = preview().panel()->alphaValue();
    tick();
    ASSERT_TRUE(previewVisible());
    EXPECT_LT(preview().panel()->alphaValue(), early);
    EXPECT_GT(preview().panel()->alphaValue(), 0);
    desktop().time().advance(0.1);
    EXPECT_FALSE(previewVisible());
}

TEST_F(Animation, AShowDuringTheFadeOutStaysOnScreen) {
    for (std::int64_t style : {0, 1, 2}) {
        SCOPED_TRACE(::testing::Message() << "preview_popup_animation " << style);
        setInt("preview_popup_animation", style);
        show(editor);
        desktop().time().advance(1);
        controller->hide();
        desktop().time().advance(0.05);
        ASSERT_TRUE(panel().isVisible());

        show(mail);
        desktop().time().advance(1);
        EXPECT_TRUE(panel().isVisible());
        EXPECT_EQ(alpha(), 1);
        EXPECT_EQ(controller->currentPID(), mail);
        controller->hide();
        desktop().time().advance(1);
    }
}

}  // namespace
