#include <gtest/gtest.h>

#include <future>
#include <map>
#include <set>
#include <optional>
#include <string>
#include <thread>

#include "sim/AppIcon.h"
#include "sim/SimCapture.h"
#include "support/InstalledDesktop.h"

namespace {

using platform::SCShareableContent;
using platform::SCStreamConfiguration;
using platform::SCWindow;

struct Content {
    std::optional<SCShareableContent> content;
    std::optional<std::string> error;
};

struct Shot {
    kit::ImageRef image;
    std::optional<std::string> error;
};

// The way the system asks: from a background thread, waiting on a future,
// with nobody running the main queue meanwhile.
Content shareableContent(platform::Capture& capture) {
    std::promise<Content> answer;
    std::thread([&] {
        capture.getShareableContent(false, false, [&](std::optional<SCShareableContent> c, std::optional<std::string> e) {
            answer.set_value({std::move(c), std::move(e)});
        });
    }).join();
    return answer.get_future().get();
}

Shot capture(platform::Capture& capture, SCWindow window, int width, int height) {
    SCStreamConfiguration configuration;
    configuration.width = width;
    configuration.height = height;
    configuration.showsCursor = false;
    configuration.ignoreShadowsSingleWindow = true;
    configuration.scalesToFit = true;
    std::promise<Shot> answer;
    std::thread([&] {
        capture.captureImage(window, configuration, [&](kit::ImageRef image, std::optional<std::string> error) {
            answer.set_value({std::move(image), std::move(error)});
        });
    }).join();
    return answer.get_future().get();
}

struct CaptureWorld {
    testsupport::InstalledDesktop world;
    sim::Desktop& desktop = world.desktop;
    platform::pid_t editor = 0;
    platform::pid_t paint = 0;
    platform::CGWindowID letter = 0;
    platform::CGWindowID notes = 0;
    platform::CGWindowID hidden = 0;
    platform::CGWindowID canvas = 0;

    CaptureWorld() {
        desktop.addScreen({0, 0, 1440, 900});
        sim::AppSpec spec;
        spec.bundleId = "com.example.Editor";
        spec.name = "Editor";
        editor = desktop.addApplication(spec);
        spec.bundleId = "com.example.Paint";
        spec.name = "Paint";
        paint = desktop.addApplication(spec);
        letter = window(editor, "Letter", {100, 100, 1200, 800});
        notes = window(editor, "Notes", {200, 100, 150, 100});
        hidden = window(editor, "Draft", {0, 0, 400, 1000}, true);
        canvas = window(paint, "Canvas", {300, 300, 640, 480});
    }

    platform::CGWindowID window(platform::pid_t pid, std::string title, kit::Rect frame, bool minimized = false) {
        sim::WindowSpec spec;
        spec.pid = pid;
        spec.title = std::move(title);
        spec.frame = frame;
        spec.minimized = minimized;
        return desktop.addWindow(spec);
    }
};

TEST(SimCapture, ShareableContentListsEveryWindowOfEveryRunningApp) {
    CaptureWorld w;
    Content all = shareableContent(w.desktop.capture());
    ASSERT_TRUE(all.content);
    EXPECT_FALSE(all.error);
    std::map<platform::CGWindowID, kit::Rect> frames;
    for (const SCWindow& window : all.content->windows) frames[window.windowID] = window.frame;
    EXPECT_EQ(frames.size(), 4u);
    EXPECT_EQ(frames[w.letter], kit::Rect(100, 100, 1200, 800));
    EXPECT_EQ(frames[w.hidden], kit::Rect(0, 0, 400, 1000));   // minimized ones too

    w.desktop.quitApplication(w.paint);
    all = shareableContent(w.desktop.capture());
    ASSERT_TRUE(all.content);
    EXPECT_EQ(all.content->windows.size(), 3u);

    // Refusals: the permission, then an injected failure. Each comes with a text.
    w.desktop.setScreenRecording(false);
    all = shareableContent(w.desktop.capture());
    EXPECT_FALSE(all.content);
    ASSERT_TRUE(all.error);
    EXPECT_FALSE(all.error->empty());
    w.desktop.setScreenRecording(true);
    w.desktop.failShareableContent();
    all = shareableContent(w.desktop.capture());
    EXPECT_FALSE(all.content);
    EXPECT_TRUE(all.error);
    w.desktop.failShareableContent(false);
    EXPECT_TRUE(shareableContent(w.desktop.capture()).content);
}

TEST(SimCapture, ImagesHaveExactlyTheAskedPixelSize) {
    CaptureWorld w;
    auto& service = w.desktop.capture();
    struct Case {
        platform::CGWindowID window;
        kit::Size points;
        int width, height;
    };
    const Case cases[] = {
        {w.letter, {1200, 800}, 480, 320},   // the thumbnail sizes the previews ask for
        {w.notes, {150, 100}, 300, 200},
        {w.hidden, {400, 1000}, 160, 400},
        {w.canvas, {640, 480}, 241, 7},      // a shape unlike the window's: letterboxed
        {w.canvas, {640, 480}, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
        Shot shot = capture(service, {c.window, {{0, 0}, c.points}}, c.width, c.height);
        ASSERT_TRUE(shot.image);
        EXPECT_FALSE(shot.error);
        EXPECT_EQ(shot.image->pixelWidth(), c.width);
        EXPECT_EQ(shot.image->pixelHeight(), c.height);
        EXPECT_EQ(shot.image->pixels().size(), static_cast<std::size_t>(c.width) * c.height);
    }
    EXPECT_EQ(w.desktop.captureCount(), std::size(cases));
}

TEST(SimCapture, ThumbnailsShowTheWindowAndDifferPerWindow) {
    CaptureWorld w;
    auto& service = w.desktop.capture();
    Shot letter = capture(service, {w.letter, {}}, 480, 320);
    Shot notes = capture(service, {w.notes, {}}, 480, 320);
    Shot canvas = capture(service, {w.canvas, {}}, 480, 320);
    ASSERT_TRUE(letter.image && notes.image && canvas.image);

    // Letter, 1200 × 800, is scaled by 0.4: the close button's dot (14, 14)
    // lands at pixel (5, 5), the title band at mid-width in the title bar.
    const std::uint32_t red = 255u | (95u << 8) | (86u << 16) | (255u << 24);
    EXPECT_EQ(letter.image->pixelAt(5, 5), red);
    EXPECT_EQ(letter.image->pixelAt(240, 5), sim::titleColor("Letter"));
    // Notes, 150 × 100, is scaled by 3.2: its band is lower in the picture.
    EXPECT_EQ(notes.image->pixelAt(240, 40), sim::titleColor("Notes"));
    EXPECT_NE(sim::titleColor("Letter"), sim::titleColor("Notes"));

    // The body is in the app's colour (and its lighter stripe).
    auto bodyColors = [](const kit::Image& image) {
        std::set<std::uint32_t> colors;
        for (int x = 0; x < image.pixelWidth(); ++x) colors.insert(image.pixelAt(x, image.pixelHeight() - 2));
        return colors;
    };
    EXPECT_TRUE(bodyColors(*letter.image).count(sim::appIconColor("com.example.Editor")));
    EXPECT_TRUE(bodyColors(*canvas.image).count(sim::appIconColor("com.example.Paint")));
    EXPECT_NE(letter.image->pixels(), notes.image->pixels());   // same app, different windows

    // The 640×480 canvas in a square fits its width and leaves bands above and below.
    Shot square = capture(service, {w.canvas, {}}, 100, 100);
    ASSERT_TRUE(square.image);
    EXPECT_EQ(square.image->pixelAt(50, 2), 0u);
    EXPECT_NE(square.image->pixelAt(50, 50), 0u);
    EXPECT_EQ(square.image->pixelAt(50, 97), 0u);
}

TEST(SimCapture, FailuresComeBackAsErrors) {
    CaptureWorld w;
    auto& service = w.desktop.capture();
    auto fails = [&](platform::CGWindowID id, int width = 100, int height = 100) {
        Shot shot = capture(service, {id, {}}, width, height);
        return !shot.image && shot.error && !shot.error->empty();
    };
    EXPECT_FALSE(fails(w.letter));
    EXPECT_TRUE(fails(9999));              // no such window
    EXPECT_TRUE(fails(w.letter, 0, 100));  // no pixels asked for
    EXPECT_TRUE(fails(w.letter, 100000, 100000));   // more than anyone could hold

    w.desktop.failCapture(w.notes);
    EXPECT_TRUE(fails(w.notes));
    EXPECT_FALSE(fails(w.canvas));

    w.desktop.quitApplication(w.paint);    // its windows are gone with it
    EXPECT_TRUE(fails(w.canvas));

    w.desktop.setScreenRecording(false);
    EXPECT_TRUE(fails(w.letter));
    EXPECT_EQ(w.desktop.captureCount(), 8u);
}

}  // namespace
