#include <algorithm>

#include "dock/DockWorld.h"
#include "dock/ThumbnailCapture.h"

namespace {

using docktest::DockWorld;
using durazizi::PreviewController;
using durazizi::ThumbnailCapture;
using durazizi::ThumbTile;

class Thumbnails : public DockWorld {
protected:
    struct Batch {
        int calls = 0;
        bool onMain = false;
        ThumbnailCapture::Images images;
    };

    std::shared_ptr<Batch> capture(std::vector<platform::CGWindowID> ids, double maxDimension) {
        auto batch = std::make_shared<Batch>();
        ThumbnailCapture().captureBatch(std::move(ids), maxDimension, [batch](ThumbnailCapture::Images images) {
            ++batch->calls;
            batch->onMain = platform::current().runLoop().isMainThread();
            batch->images = std::move(images);
        });
        return batch;
    }

    std::size_t failureLines() const {
        auto lines = logMessages();
        return static_cast<std::size_t>(std::count_if(lines.begin(), lines.end(), [](const std::string& line) {
            return line.starts_with("captureBatch failed: ");
        }));
    }
};

TEST(ThumbnailSize, TwiceThePointSizeScaledDownToTheLimit) {
    struct Case {
        kit::Size window;
        double maxDimension;
        std::optional<std::pair<int, int>> pixels;
    };
    const Case cases[] = {
        {{1200, 800}, 240, std::pair{480, 320}},
        {{150, 100}, 240, std::pair{300, 200}},   // never enlarged
        {{400, 1000}, 200, std::pair{160, 400}},
        {{1000, 500}, 120.85, std::pair{241, 120}},   // 241.7 and 120.85 truncate
        {{0, 0}, 240, std::nullopt},
        {{1, 500}, 240, std::nullopt},
        {{500, 1}, 240, std::nullopt},
        {{4000, 2}, 240, std::pair{480, 1}},       // at least one pixel
    };
    for (const auto& c : cases) {
        auto size = ThumbnailCapture::pixelSize(c.window, c.maxDimension);
        ASSERT_EQ(size.has_value(), c.pixels.has_value()) << c.window.width << "x" << c.window.height;
        if (size) {
            EXPECT_EQ(std::pair(size->width, size->height), *c.pixels) << c.window.width << "x" << c.window.height;
        }
    }
}

TEST_F(Thumbnails, OneBatchCapturesTheKnownWindowsAndAnswersOnceOnTheMainThread) {
    const auto pid = addApp("Editor");
    const auto big = addWindow(pid, "Big", {0, 30, 1200, 800});
    const auto small = addWindow(pid, "Small", {50, 50, 150, 100});
    const auto wide = addWindow(pid, "Wide", {0, 30, 1000, 500});
    const auto thin = addWindow(pid, "Thin", {10, 40, 1, 500});
    const auto broken = addWindow(pid, "Broken", {10, 40, 300, 200});
    desktop().capture().failCapture(broken);

    auto batch = capture({big, small, 4242, thin, broken, big}, 240);
    desktop().time().settle();
    ASSERT_EQ(batch->calls, 1);
    EXPECT_TRUE(batch->onMain);
    // Only what was found and captured; the 1-point-wide window is not even tried.
    EXPECT_EQ(batch->images.size(), 2u);
    EXPECT_EQ(desktop().capture().captureCount(), 4u);
    ASSERT_TRUE(batch->images.count(big) && batch->images.count(small));
    EXPECT_EQ(batch->images[big]->pixelWidth(), 480);
    EXPECT_EQ(batch->images[big]->pixelHeight(), 320);
    EXPECT_EQ(batch->images[big]->size(), kit::Size(240, 160));
    EXPECT_EQ(batch->images[small]->size(), kit::Size(150, 100));

    auto odd = capture({wide}, 120.85);
    auto none = capture({}, 240);
    desktop().time().settle();
    ASSERT_EQ(odd->images.count(wide), 1u);
    EXPECT_EQ(odd->images[wide]->pixelWidth(), 241);
    EXPECT_EQ(odd->images[wide]->size(), kit::Size(120, 60));
    EXPECT_EQ(none->calls, 1);
    EXPECT_TRUE(none->images.empty());
    EXPECT_EQ(failureLines(), 0u);

    // A failed content request is logged, and the batch still answers once.
    desktop().capture().failShareableContent();
    auto failed = capture({big, small}, 240);
    desktop().time().settle();
    desktop().time().advance(1);
    EXPECT_EQ(failed->calls, 1);
    EXPECT_TRUE(failed->images.empty());
    EXPECT_EQ(desktop().capture().captureCount(), 5u);
    ASSERT_EQ(failureLines(), 1u);
    const auto lines = logMessages();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "captureBatch failed: The operation could not be completed."),
              lines.end());
}

TEST_F(Thumbnails, TilesShowThumbnailsOnceTheBatchIsBackAndIconsWhereThereAreNone) {
    const auto pid = appWithWindows("Editor", 3);
    const auto icon = runningApp(pid)->icon();
    const auto first = durazizi::WindowList::windows(pid, true, false).front().id;
    desktop().capture().failCapture(first);
    auto controller = std::make_shared<PreviewController>();
    controller->show(runningApp(pid), durazizi::WindowList::windows(pid, true, false), iconFrame("Editor"));
    const auto tiles = controller->tiles();
    ASSERT_EQ(tiles.size(), 3u);
    for (const auto& tile : tiles) EXPECT_EQ(tile->imageView().image(), nullptr);

    desktop().time().settle();
    EXPECT_EQ(tiles[0]->entry().id, first);
    EXPECT_EQ(tiles[0]->imageView().image(), icon);
    for (std::size_t i = 1; i < 3; ++i) {
        const kit::ImageRef& thumbnail = tiles[i]->imageView().image();
        ASSERT_TRUE(thumbnail && thumbnail != icon) << i;
        EXPECT_LE(std::max(thumbnail->size().width, thumbnail->size().height), 220) << i;
    }

    // Without screen recording every tile shows the icon at once, and nothing is captured.
    desktop().permissions().setScreenRecording(false);
    const auto captures = desktop().capture().captureCount();
    controller->show(runningApp(pid), durazizi::WindowList::windows(pid, true, false), iconFrame("Editor"));
    for (const auto& tile : controller->tiles()) EXPECT_EQ(tile->imageView().image(), icon);
    desktop().time().advance(1);
    EXPECT_EQ(desktop().capture().captureCount(), captures);
    EXPECT_EQ(failureLines(), 0u);

    // An application without an icon gets the generic one, drawn sharp at any size.
    sim::AppSpec bare;
    bare.name = "Bare";
    bare.bundleId = "com.example.Bare";
    bare.hasIcon = false;
    const auto barePid = desktop().processes().add(bare);
    addWindow(barePid, "Bare window");
    controller->show(runningApp(barePid), durazizi::WindowList::windows(barePid, true, false), iconFrame("Bare"));
    const kit::ImageRef& generic = controller->tiles().front()->imageView().image();
    ASSERT_TRUE(generic && !generic->isEmpty());
    EXPECT_TRUE(generic->drawing());
}

TEST_F(Thumbnails, OnlyTilesOnTheDisplayAreCaptured) {
    // Far more windows than the display can show tiles for.
    const auto pid = appWithWindows("Editor", 400);
    auto controller = std::make_shared<PreviewController>();
    const auto before = desktop().capture().captureCount();
    controller->show(runningApp(pid), durazizi::WindowList::windows(pid, true, false), iconFrame("Editor"));
    desktop().time().settle();

    const kit::Rect panel = controller->panel()->frame();
    const kit::Rect display = desktop().screens().screens().front().frame;
    std::size_t visible = 0;
    for (const auto& tile : controller->tiles()) {
        const kit::Rect f = tile->frame();
        const bool onScreen = display.intersects({panel.minX() + f.minX(), panel.maxY() - f.maxY(), f.width(), f.height()});
        EXPECT_EQ(tile->imageView().image() != nullptr, onScreen) << tile->entry().title;
        visible += onScreen;
    }
    EXPECT_GT(visible, 0u);
    EXPECT_LT(visible, 100u);
    EXPECT_EQ(desktop().capture().captureCount() - before, visible);
}

TEST_F(Thumbnails, ALateBatchOnlyTouchesTheTilesItWasStartedFor) {
    const auto editor = appWithWindows("Editor", 2);
    const auto mail = appWithWindows("Mail", 2);
    auto controller = std::make_shared<PreviewController>();
    controller->show(runningApp(editor), durazizi::WindowList::windows(editor, true, false), iconFrame("Editor"));
    const auto editorTiles = controller->tiles();

    // Rebuilt before the first batch is back; the new tiles take icons at once.
    desktop().permissions().setScreenRecording(false);
    controller->show(runningApp(mail), durazizi::WindowList::windows(mail, true, false), iconFrame("Mail"));
    desktop().time().settle();
    desktop().time().advance(0.5);

    const auto editorIcon = runningApp(editor)->icon();
    const auto mailIcon = runningApp(mail)->icon();
    ASSERT_NE(editorIcon, mailIcon);
    for (const auto& tile : controller->tiles()) {
        EXPECT_EQ(tile->imageView().image(), mailIcon);
        EXPECT_EQ(tile->entry().pid, mail);
    }
    // The first batch's own tiles got its answer, off screen as they are.
    for (const auto& tile : editorTiles) {
        EXPECT_EQ(tile->superview(), nullptr);
        const kit::ImageRef& image = tile->imageView().image();
        ASSERT_NE(image, nullptr);
        EXPECT_NE(image, mailIcon);
    }
}

}  // namespace
