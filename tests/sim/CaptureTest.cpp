#include <future>
#include <set>
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

    // The body is in the app's colour (and its lighter stripe).
    auto bodyColors = [](const kit::Image& image) {
        std::set<std::uint32_t> colors;
        for (int x = 0; x < image.pixelWidth(); ++x) colors.insert(image.pixelAt(x, image.pixelHeight() - 2));
        return colors;
    };
    EXPECT_TRUE(bodyColors(*letterImage).count(sim::appIconColor("com.example.Editor")));
    EXPECT_TRUE(bodyColors(*canvasImage).count(sim::appIconColor("com.example.Paint")));
    EXPECT_NE(letterImage->pixels(), notesImage->pixels());   // same app, different windows

    // The 640 x 480 canvas in a square fits its width and leaves bands above and below.
    auto square = shot(canvas, 100, 100);
    ASSERT_TRUE(square);
    EXPECT_EQ(square->pixelWidth(), 100);
    EXPECT_EQ(square->pixelAt(50, 2), 0u);
    EXPECT_NE(square->pixelAt(50, 50), 0u);
    EXPECT_EQ(square->pixelAt(50, 97), 0u);
}

TEST_F(SimCapture, RefusalsAndFailuresComeBackAsErrors) {
    sim::WindowSpec minimized;
    minimized.pid = editor;
    minimized.minimized = true;
    desktop.addWindow(minimized);
    EXPECT_EQ(shareable(), 4u);   // minimized windows too
    EXPECT_TRUE(shot(letter, 100, 100));
    EXPECT_FALSE(shot(9999, 100, 100));              // no such window
    EXPECT_FALSE(shot(letter, 0, 100));              // no pixels asked for
    EXPECT_FALSE(shot(letter, 100000, 100000));      // more than anyone could hold
    desktop.failCapture(notes);
    EXPECT_FALSE(shot(notes, 100, 100));
    EXPECT_TRUE(shot(canvas, 100, 100));

    desktop.quitApplication(paint);    // its windows are gone with it
    EXPECT_FALSE(shot(canvas, 100, 100));
    EXPECT_EQ(shareable(), 3u);

    desktop.failShareableContent();
    EXPECT_EQ(shareable(), std::nullopt);
    desktop.failShareableContent(false);
    desktop.setScreenRecording(false);
    EXPECT_EQ(shareable(), std::nullopt);
    EXPECT_FALSE(shot(letter, 100, 100));
    EXPECT_EQ(desktop.captureCount(), 8u);
}

}  // namespace
