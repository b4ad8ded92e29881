#include <algorithm>
#include <future>
#include <thread>

#include "sim/AppIcon.h"
#include "sim/SimCapture.h"
#include "sim/SimWorld.h"

namespace {

using platform::SCWindow;
using simtest::CGWindowID;

// The way the system asks: from a background thread, waiting on a future,
// with nobody running the main queue meanwhile.
class SimCapture : public simtest::World {
protected:
    platform::pid_t editor = addApp("Editor");
    platform::pid_t paint = addApp("Paint");
    CGWindowID letter = addWindow(editor, "Letter", {100, 100, 1200, 800});
    CGWindowID notes = addWindow(editor, "Notes", {200, 100, 150, 100});
    CGWindowID canvas = addWindow(paint, "Canvas", {300, 300, 640, 480});

    // How many windows are listed as shareable; nothing when refused with a non-empty error.
    std::optional<std::size_t> shareable() {
        std::promise<std::optional<std::size_t>> answer;
        std::thread([&] {
            desktop.capture().getShareableContent(false, false, [&](auto content, auto error) {
                EXPECT_EQ(!content, error && !error->empty());
                answer.set_value(content ? std::optional(content->windows.size()) : std::nullopt);
            });
        }).join();
        return answer.get_future().get();
    }
    // The image, or nullptr when the capture came back with a non-empty error.
    kit::ImageRef shot(CGWindowID id, int width, int height) {
        platform::SCStreamConfiguration configuration;
        configuration.width = width;
        configuration.height = height;
        configuration.scalesToFit = true;
        std::promise<kit::ImageRef> answer;
        std::thread([&] {
            desktop.capture().captureImage(SCWindow{id, {}}, configuration, [&](kit::ImageRef image, auto error) {
                EXPECT_EQ(!image, error && !error->empty());
                answer.set_value(image);
            });
        }).join();
        return answer.get_future().get();
    }
};

TEST_F(SimCapture, ThumbnailsShowTheWindowAndDifferPerWindow) {
    auto letterImage = shot(letter, 480, 320);
    auto notesImage = shot(notes, 480, 320);
    auto canvasImage = shot(canvas, 480, 320);
    ASSERT_TRUE(letterImage && notesImage && canvasImage);
    EXPECT_EQ(letterImage->pixelWidth(), 480);
    EXPECT_EQ(letterImage->pixelHeight(), 320);

    // Letter, 1200 x 800, is scaled by 0.4: the close button's dot (14, 14)
    // lands at pixel (5, 5), the title band at mid-width in the title bar.
    const std::uint32_t red = 255u | (95u << 8) | (86u << 16) | (255u << 24);
    EXPECT_EQ(letterImage->pixelAt(5, 5), red);
    EXPECT_EQ(letterImage->pixelAt(240, 5), sim::titleColor("Letter"));
    // Notes, 150 x 100, is scaled by 3.2: its band is lower in the picture.
    EXPECT_EQ(notesImage->pixelAt(240, 40), sim::titleColor("Notes"));
    EXPECT_NE(sim::titleColor("Letter"), sim::titleColor("Notes"));

    // The app's colour marks the selected row of the sidebar or list, on a light window.
    auto appColored = [](const kit::Image& image, const std::string& bundleId) {
        return std::count(image.pixels().begin(), image.pixels().end(), sim::appIconColor(bundleId));
    };
    EXPECT_GT(appColored(*letterImage, "com.example.Editor"), 20);
    EXPECT_GT(appColored(*canvasImage, "com.example.Paint"), 20);
    EXPECT_NE(letterImage->pixels(), notesImage->pixels());   // same app, different windows

    // The 640 x 480 canvas in a square fits its width and leaves bands above and below.
    auto square = shot(canvas, 100, 100);
    ASSERT_TRUE(square);
    EXPECT_EQ(square->pixelWidth(), 100);
    EXPECT_EQ(square->pixelAt(50, 2), 0u);
    EXPECT_NE(square->pixelAt(50, 50), 0u);
    EXPECT_EQ(square->pixelAt(50, 97), 0u);
    // At full size its rounded corners are see-through too, its edges are not.
    auto full = shot(canvas, 640, 480);
    ASSERT_TRUE(full);
    for (auto [x, y] : {std::pair{0, 0}, std::pair{2, 2}, std::pair{639, 0}, std::pair{0, 479}, std::pair{637, 477}})
        EXPECT_EQ(full->pixelAt(x, y), 0u) << x << "," << y;
    for (auto [x, y] : {std::pair{320, 0}, std::pair{0, 240}, std::pair{639, 240}, std::pair{320, 479}})
        EXPECT_EQ(full->pixelAt(x, y) >> 24, 255u) << x << "," << y;
}

TEST_F(SimCapture, RefusalsAndFailuresComeBackAsErrors) {
    sim::WindowSpec minimized;
    minimized.pid = editor;
    minimized.minimized = true;
    desktop.windows().add(minimized);
    EXPECT_EQ(shareable(), 4u);   // minimized windows too
    EXPECT_TRUE(shot(letter, 100, 100));
    EXPECT_FALSE(shot(9999, 100, 100));              // no such window
    EXPECT_FALSE(shot(letter, 0, 100));              // no pixels asked for
    EXPECT_FALSE(shot(letter, 100000, 100000));      // more than anyone could hold
    desktop.capture().failCapture(notes);
    EXPECT_FALSE(shot(notes, 100, 100));
    EXPECT_TRUE(shot(canvas, 100, 100));

    desktop.processes().quit(paint);    // its windows are gone with it
    EXPECT_FALSE(shot(canvas, 100, 100));
    EXPECT_EQ(shareable(), 3u);

    desktop.capture().failShareableContent();
    EXPECT_EQ(shareable(), std::nullopt);
    desktop.capture().failShareableContent(false);
    desktop.permissions().setScreenRecording(false);
    EXPECT_EQ(shareable(), std::nullopt);
    EXPECT_FALSE(shot(letter, 100, 100));
    EXPECT_EQ(desktop.capture().captureCount(), 8u);
}

// What a person sees at a glance: how much of a picture is light, dark or
// yellowish, and its average colour (premultiplied, so see-through counts as black).
struct Glance {
    double light = 0;
    double dark = 0;
    double yellowish = 0;
    double mean[3] = {0, 0, 0};
};

Glance glance(const std::vector<std::uint32_t>& pixels) {
    Glance g;
    for (std::uint32_t p : pixels) {
        const double r = p & 0xff, gr = (p >> 8) & 0xff, b = (p >> 16) & 0xff;
        const double luma = 0.3 * r + 0.59 * gr + 0.11 * b;
        g.light += luma > 200;
        g.dark += luma < 70 && (p >> 24) == 255;
        g.yellowish += r > 230 && b < r - 18;
        g.mean[0] += r;
        g.mean[1] += gr;
        g.mean[2] += b;
    }
    const double n = static_cast<double>(pixels.size());
    g.light /= n;
    g.dark /= n;
    g.yellowish /= n;
    for (double& m : g.mean) m /= n;
    return g;
}

TEST_F(SimCapture, EachKindOfAppLooksItsPart) {
    enum class Body { Light, Dark, Yellow };
    const struct {
        const char* app;
        Body body;
    } cases[] = {
        {"Editor", Body::Light}, {"Browser", Body::Light},  {"Mail", Body::Light},  {"Music", Body::Light},
        {"Calendar", Body::Light}, {"Letters", Body::Light}, {"Terminal", Body::Dark}, {"Notes", Body::Yellow},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.app);
        const platform::pid_t pid = addApp(c.app);
        const CGWindowID first = addWindow(pid, "First", {40, 40, 1000, 700});
        const CGWindowID second = addWindow(pid, "Second", {80, 80, 1000, 700});
        const auto picture = desktop.windows().pixels(first, 1000, 700);
        ASSERT_EQ(picture.size(), 1000u * 700u);
        const Glance full = glance(picture);
        switch (c.body) {
            case Body::Light: EXPECT_GT(full.light, 0.5); EXPECT_LT(full.yellowish, 0.1); break;
            case Body::Dark: EXPECT_GT(full.dark, 0.6); break;
            case Body::Yellow: EXPECT_GT(full.yellowish, 0.3); break;
        }
        // The same window always looks the same; another of its app differs.
        EXPECT_EQ(desktop.windows().pixels(first, 1000, 700), picture);
        EXPECT_NE(desktop.windows().pixels(second, 1000, 700), picture);
        // A thumbnail keeps the balance of the full picture: lines thinner
        // than a pixel fade rather than vanish or turn solid.
        const Glance thumbnail = glance(desktop.windows().pixels(first, 200, 140));
        for (int i = 0; i < 3; ++i) EXPECT_NEAR(thumbnail.mean[i], full.mean[i], 4) << i;
    }
}

TEST_F(SimCapture, WindowsOfAnySizeAreDrawn) {
    const platform::pid_t pid = addApp("Editor");
    // Far larger than any display, and a sliver: each still a window.
    for (kit::Rect frame : {kit::Rect{0, 0, 1e9, 1e9}, kit::Rect{0, 0, 3e6, 2e6}, kit::Rect{0, 0, 400, 10}}) {
        const CGWindowID id = addWindow(pid, "Huge", frame);
        const auto picture = desktop.windows().pixels(id, 64, 64);
        ASSERT_EQ(picture.size(), 64u * 64u);
        EXPECT_EQ(picture[32 * 64 + 32] >> 24, 255u) << frame.width();
    }
}

}  // namespace
