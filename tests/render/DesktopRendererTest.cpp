#include <gtest/gtest.h>

#include <cairo.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <string>

#include "kit/Label.h"
#include "kit/View.h"
#include "kit/VisualEffectView.h"
#include "render/PixelTools.h"
#include "render/Renderer.h"
#include "support/InstalledDesktop.h"
#include "ui/StatusIcon.h"

namespace {

using namespace rendertest;
using platform::CGWindowID;

sim::AppSpec app(std::string bundleId, std::string name, bool running = true) {
    sim::AppSpec spec;
    spec.bundleId = std::move(bundleId);
    spec.name = std::move(name);
    spec.running = running;
    return spec;
}

sim::WindowSpec window(platform::pid_t pid, std::string title, kit::Rect frame, bool minimized = false) {
    sim::WindowSpec spec;
    spec.pid = pid;
    spec.title = std::move(title);
    spec.frame = frame;
    spec.minimized = minimized;
    return spec;
}

// A small desktop: one display, the Dock, two apps with a window each.
struct World : testsupport::InstalledDesktop {
    platform::pid_t notes = 0;
    CGWindowID notesWindow = 0;

    World() {
        desktop.screens().add({0, 0, 800, 600});
        desktop.dock().setRunning(true, 48);
        notes = desktop.processes().add(app("com.example.notes", "Notes"));
        desktop.processes().add(app("com.example.mail", "Mail", /*running=*/false));
        desktop.dock().addItem(sim::DockItemKind::Separator, "");
        desktop.dock().addItem(sim::DockItemKind::Trash, "Trash");
        notesWindow = desktop.windows().add(window(notes, "Shopping list", {100, 100, 300, 200}));
    }

    // A panel of Durazizi's, ordered in, its content rect in Cocoa coordinates.
    std::shared_ptr<platform::Panel> panel(kit::Rect contentRect, std::shared_ptr<kit::View> content) {
        auto made = desktop.windowServer().makePanel(contentRect, platform::NSWindowStyleMaskNonactivatingPanel,
                                                     platform::NSBackingStoreBuffered, true);
        made->setOpaque(false);
        made->setBackgroundColor(kit::Color::clear());
        made->setHasShadow(false);
        made->setLevel(21);
        made->setContentView(std::move(content));
        made->orderFrontRegardless();
        return made;
    }
};

// The first window of an app, as another application reaches it.
platform::AXUIElementRef firstWindow(sim::Desktop& desktop, platform::pid_t pid) {
    auto& ax = desktop.accessibility();
    platform::CFType windows;
    if (ax.copyAttributeValue(ax.createApplication(pid), "AXWindows", &windows) != platform::kAXErrorSuccess ||
        !windows.array() || windows.array()->empty() || !windows.array()->front().element())
        return nullptr;
    return *windows.array()->front().element();
}

TEST(DesktopRenderer, PaintsTheDisplayAtAnyScale) {
    World world;
    render::DesktopRenderer renderer(world.desktop);
    EXPECT_EQ(renderer.displaySize(), (kit::Size{800, 600}));
    const render::Frame one = renderer.paint(1.0);
    EXPECT_EQ(one.width, 800);
    EXPECT_EQ(one.height, 600);
    EXPECT_EQ(one.pixels.size(), 800u * 600u);
    const std::uint32_t wallpaper = one.at(700, 300);
    EXPECT_EQ(argb(wallpaper).a, 255);

    const render::Frame& two = renderer.paint(2.0);
    EXPECT_EQ(two.width, 1600);
    EXPECT_EQ(two.height, 1200);
    // The same place, twice as many pixels away.
    EXPECT_TRUE(near(two.at(1400, 600), wallpaper, 3));

    // No display, no picture.
    testsupport::InstalledDesktop empty;
    render::DesktopRenderer nothing(empty.desktop);
    EXPECT_EQ(nothing.paint().width, 0);
    EXPECT_TRUE(nothing.paint().pixels.empty());
}

TEST(DesktopRenderer, RepaintsOnlyAfterAVisibleChange) {
    World world;
    render::DesktopRenderer renderer(world.desktop);
    EXPECT_TRUE(renderer.needsPaint());
    const std::uint32_t before = renderer.paint().at(250, 200);   // inside the Notes window
    EXPECT_FALSE(renderer.needsPaint());
    world.desktop.time().advance(5);   // time passes, nothing moves (the clock keeps its minute)
    EXPECT_FALSE(renderer.needsPaint());
    const render::Frame* cached = &renderer.paint();
    EXPECT_EQ(cached, &renderer.paint());

    // Another application moves the window through accessibility.
    ASSERT_EQ(world.desktop.accessibility().setAttributeValue(firstWindow(world.desktop, world.notes), "AXPosition",
                                                              platform::AXValue::create(kit::Point{420, 300})),
              platform::kAXErrorSuccess);
    EXPECT_TRUE(renderer.needsPaint());
    const render::Frame& after = renderer.paint();
    EXPECT_NE(after.at(250, 200), before);   // the window left that spot
    EXPECT_FALSE(renderer.needsPaint());

    // The clock's minute turns.
    world.desktop.time().advance(60);
    EXPECT_TRUE(renderer.needsPaint());
    renderer.paint();

    // A change inside one of our visible panels: its view is marked for display.
    auto label = std::make_shared<kit::Label>("One", kit::Rect{0, 0, 100, 20});
    auto shown = world.panel({10, 300, 100, 20}, label);
    EXPECT_TRUE(renderer.needsPaint());
    renderer.paint();
    EXPECT_FALSE(renderer.needsPaint());
    label->setText("Two");
    EXPECT_TRUE(renderer.needsPaint());
    renderer.paint();
    // Changes to a panel that is not on screen show nowhere.
    shown->orderOut();
    renderer.paint();
    label->setText("Three");
    EXPECT_FALSE(renderer.needsPaint());

    // The system appearance is drawn too.
    renderer.setSystemAppearance(kit::Appearance::DarkAqua);
    EXPECT_TRUE(renderer.needsPaint());
}

TEST(DesktopRenderer, MinimizedWindowsAreNotDrawn) {
    World minimized;
    ASSERT_EQ(minimized.desktop.accessibility().setAttributeValue(firstWindow(minimized.desktop, minimized.notes),
                                                                  "AXMinimized", true),
              platform::kAXErrorSuccess);
    ASSERT_TRUE(minimized.desktop.windows().info(minimized.notesWindow).minimized);
    World closed;
    closed.desktop.input().click({115, 111});   // the close button
    ASSERT_FALSE(closed.desktop.windows().info(closed.notesWindow).exists);
    World shown;

    render::DesktopRenderer minimizedRenderer(minimized.desktop);
    render::DesktopRenderer closedRenderer(closed.desktop);
    render::DesktopRenderer shownRenderer(shown.desktop);
    const render::Frame& a = minimizedRenderer.paint();
    const render::Frame& b = closedRenderer.paint();
    const render::Frame& c = shownRenderer.paint();
    for (auto [x, y] : {std::pair{105, 105}, std::pair{250, 200}, std::pair{390, 290}}) {
        EXPECT_EQ(a.at(x, y), b.at(x, y)) << x << "," << y;
        EXPECT_NE(a.at(x, y), c.at(x, y)) << x << "," << y;
    }
}

TEST(DesktopRenderer, APanelFadingInBlendsWithWhatIsBehind) {
    World world;
    render::DesktopRenderer renderer(world.desktop);
    // Panel at top-left (500, 100) in a 800 x 600 display: Cocoa y = 600 - 100 - 80.
    auto red = std::make_shared<kit::View>(kit::Rect{0, 0, 120, 80});
    red->setWantsLayer(true);
    red->setBackgroundColor(kit::Color::rgba(1, 0, 0));
    auto panel = world.panel({500, 420, 120, 80}, red);
    panel->orderOut();
    const std::uint32_t behind = renderer.paint().at(560, 140);

    panel->setAlphaValue(0.5);
    panel->orderFrontRegardless();
    const Argb blended = argb(renderer.paint().at(560, 140));
    const Argb back = argb(behind);
    EXPECT_EQ(blended.a, 255);
    EXPECT_NEAR(blended.r, (255 + back.r) / 2, 2);
    EXPECT_NEAR(blended.g, back.g / 2, 2);
    EXPECT_NEAR(blended.b, back.b / 2, 2);

    // An animated fade shows its steps.
    platform::WindowServer& server = world.desktop.windowServer();
    server.runAnimationGroup([&](platform::AnimationContext& context) {
        context.setDuration(1.0);
        context.setTimingFunction(kit::TimingFunction::named(kit::TimingFunction::Name::Linear));
        panel->animator().setAlphaValue(1.0);
    });
    renderer.paint();
    world.desktop.time().advance(0.5);
    EXPECT_TRUE(renderer.needsPaint());
    const Argb midway = argb(renderer.paint().at(560, 140));
    EXPECT_GT(midway.r, blended.r);
    EXPECT_LT(midway.r, 255);
    world.desktop.time().advance(1.0);
    EXPECT_TRUE(isRed(renderer.paint().at(560, 140)));
}

TEST(DesktopRenderer, APanelsBlurStaysInsideItsRoundedShape) {
    World world;
    render::DesktopRenderer renderer(world.desktop);
    // Over the Notes window's striped body and its title bar.
    const kit::Rect topLeft{150, 110, 200, 120};
    const render::Frame backdrop = renderer.paint();

    auto material = std::make_shared<kit::VisualEffectView>(kit::Rect{0, 0, 200, 120});
    material->setMaterial(kit::VisualEffectMaterial::HudWindow);
    material->setWantsLayer(true);
    material->setCornerRadius(14);
    material->setMasksToBounds(true);
    auto panel = world.panel({topLeft.minX(), 600 - topLeft.maxY(), 200, 120}, material);
    panel->setAppearance(kit::Appearance::VibrantDark);
    const render::Frame& frame = renderer.paint();

    const int x0 = static_cast<int>(topLeft.minX()), y0 = static_cast<int>(topLeft.minY());
    const int x1 = static_cast<int>(topLeft.maxX()), y1 = static_cast<int>(topLeft.maxY());
    for (auto [x, y] : {std::pair{x0 - 1, y0 + 60}, std::pair{x1, y0 + 60}, std::pair{x0 + 100, y0 - 1},
                        std::pair{x0 + 100, y1}, std::pair{x0 + 1, y0 + 1}, std::pair{x1 - 2, y1 - 2}})
        EXPECT_EQ(frame.at(x, y), backdrop.at(x, y)) << x << "," << y;
    // Inside, the dark material covers the light window.
    EXPECT_LT(argb(frame.at(x0 + 100, y0 + 60)).r, argb(backdrop.at(x0 + 100, y0 + 60)).r);
}

// A material masked to a body with a pointer below it: the blur and the
// window's shadow both take the mask's shape, not the window's rectangle.
TEST(DesktopRenderer, AMaskedPanelIsShapedAndShadowedByItsMask) {
    World world;
    render::DesktopRenderer renderer(world.desktop);
    const kit::Rect topLeft{150, 110, 200, 120};
    const render::Frame backdrop = renderer.paint();

    // Window coordinates, y up: the body above y 20, the pointer's tip at (100, 0).
    kit::VectorShape shape;
    shape.kind = kit::VectorShape::Kind::Polygon;
    shape.points = {{0, 20}, {90, 20}, {100, 0}, {110, 20}, {200, 20}, {200, 120}, {0, 120}};
    auto material = std::make_shared<kit::VisualEffectView>(kit::Rect{0, 0, 200, 120});
    material->setMaterial(kit::VisualEffectMaterial::HudWindow);
    material->setMaskImage(kit::Image::fromDrawing({{200, 120}, false, {shape}}, /*isTemplate=*/true));
    auto panel = world.panel({topLeft.minX(), 600 - topLeft.maxY(), 200, 120}, material);
    panel->setAppearance(kit::Appearance::VibrantDark);
    const int x0 = static_cast<int>(topLeft.minX()), y1 = static_cast<int>(topLeft.maxY());

    const render::Frame& flat = renderer.paint();
    EXPECT_LT(argb(flat.at(x0 + 100, y1 - 6)).r, argb(backdrop.at(x0 + 100, y1 - 6)).r);   // in the pointer
    EXPECT_EQ(flat.at(x0 + 30, y1 - 6), backdrop.at(x0 + 30, y1 - 6));                     // beside it
    EXPECT_EQ(flat.at(x0 + 170, y1 - 6), backdrop.at(x0 + 170, y1 - 6));

    panel->setHasShadow(true);
    const render::Frame& shadowed = renderer.paint();
    // Just below the tip the pointer's shadow falls; as far below the
    // window's edge beside it, the body is too far up to cast much.
    auto darkening = [&](int x, int y) { return argb(backdrop.at(x, y)).r - argb(shadowed.at(x, y)).r; };
    EXPECT_GT(darkening(x0 + 100, y1 + 3), 4);
    EXPECT_LT(3 * darkening(x0 + 30, y1 + 3), darkening(x0 + 100, y1 + 3));
}

TEST(DesktopRenderer, TheDockShowsRunningApplications) {
    World world;
    render::DesktopRenderer renderer(world.desktop);
    const render::Frame& frame = renderer.paint();
    auto dotBelow = [&](const std::string& title) {
        const kit::Rect icon = *world.desktop.dock().itemFrame(title);
        return argb(frame.at(static_cast<int>(icon.midX()), static_cast<int>(icon.maxY() + 3.5)));
    };
    auto centre = [&](const std::string& title) {
        const kit::Rect icon = *world.desktop.dock().itemFrame(title);
        return frame.at(static_cast<int>(icon.midX()), static_cast<int>(icon.minY() + 8));
    };
    const Argb running = dotBelow("Notes");
    const Argb stopped = dotBelow("Mail");
    EXPECT_LT(running.r + running.g + running.b, stopped.r + stopped.g + stopped.b - 200);
    // Every app's icon is its own colour.
    EXPECT_FALSE(near(centre("Notes"), centre("Mail"), 10));
}

TEST(DesktopRenderer, TheStatusItemIsDrawnInTheMenuBar) {
    World world;
    render::DesktopRenderer renderer(world.desktop);
    auto countInk = [&](const render::Frame& frame, kit::Rect r) {
        int dark = 0;
        for (int y = static_cast<int>(r.minY()); y < static_cast<int>(r.maxY()); ++y)
            for (int x = static_cast<int>(r.minX()); x < static_cast<int>(r.maxX()); ++x) {
                const Argb c = argb(frame.at(x, y));
                if (c.r < 80 && c.g < 80 && c.b < 80) ++dark;
            }
        return dark;
    };
    auto item = world.desktop.application().statusItemWithLength(-1);
    item->button()->setImage(durazizi::StatusIcon::image());
    const std::optional<kit::Rect> where = world.desktop.application().statusItemFrame();
    ASSERT_TRUE(where);
    EXPECT_LE(where->maxY(), 24);
    EXPECT_GT(countInk(renderer.paint(), *where), 30);

    item.reset();   // the menu bar lets go of it
    EXPECT_TRUE(renderer.needsPaint());
    EXPECT_EQ(countInk(renderer.paint(), *where), 0);
}

TEST(DesktopRenderer, WritesPNGFiles) {
    World world;
    render::DesktopRenderer renderer(world.desktop);
    const render::Frame& frame = renderer.paint();
    const std::string path = (std::filesystem::path(testing::TempDir()) / "durazizi-desktop.png").string();
    ASSERT_TRUE(render::writePNG(frame, path));
    cairo_surface_t* read = cairo_image_surface_create_from_png(path.c_str());
    ASSERT_EQ(cairo_surface_status(read), CAIRO_STATUS_SUCCESS);
    EXPECT_EQ(cairo_image_surface_get_width(read), 800);
    EXPECT_EQ(cairo_image_surface_get_height(read), 600);
    cairo_surface_flush(read);
    const auto* data = reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(read));
    const int stride = cairo_image_surface_get_stride(read) / 4;
    EXPECT_TRUE(near(data[300 * stride + 700], frame.at(700, 300), 1));
    cairo_surface_destroy(read);
    std::filesystem::remove(path);

    EXPECT_FALSE(render::writePNG(frame, "/nonexistent-folder/picture.png"));
    EXPECT_FALSE(render::writePNG(render::Frame{}, path));
}

}  // namespace
