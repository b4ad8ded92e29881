// The headless tour: every step's picture is written and shows what its
// caption says, index.html explains each, failures are reported as such,
// and `durazizi-sim tour` keeps standard output clean.

#include <gtest/gtest.h>

#include <cairo.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "playground/XSession.h"
#include "tools/scenario/Tour.h"

namespace {

namespace fs = std::filesystem;

// The default desktop's display, in points.
constexpr int kWidth = 1440;
constexpr int kHeight = 900;

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;   // 0xAARRGGBB
    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

Picture load(const fs::path& path) {
    Picture picture;
    cairo_surface_t* surface = cairo_image_surface_create_from_png(path.c_str());
    if (cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS) {
        picture.width = cairo_image_surface_get_width(surface);
        picture.height = cairo_image_surface_get_height(surface);
        const int stride = cairo_image_surface_get_stride(surface);
        const unsigned char* data = cairo_image_surface_get_data(surface);
        for (int y = 0; y < picture.height; ++y) {
            const auto* row = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
            picture.pixels.insert(picture.pixels.end(), row, row + picture.width);
        }
    }
    cairo_surface_destroy(surface);
    return picture;
}

// Mean difference per channel, 0..255, over a region given in points.
double difference(const Picture& a, const Picture& b, int x, int y, int w, int h) {
    double total = 0;
    for (int py = y; py < y + h; ++py) {
        for (int px = x; px < x + w; ++px) {
            for (int shift : {0, 8, 16}) {
                total += std::abs(static_cast<int>((a.at(px, py) >> shift) & 0xff) -
                                  static_cast<int>((b.at(px, py) >> shift) & 0xff));
            }
        }
    }
    return total / (3.0 * w * h);
}

class Tour : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "durazizi-tour-test-XXXXXX").string();
        ASSERT_TRUE(mkdtemp(pattern.data()));
        dir_ = pattern;
    }
    void TearDown() override {
        std::error_code ignored;
        if (!dir_.empty()) fs::remove_all(dir_, ignored);
    }
    fs::path dir_;
};

TEST_F(Tour, WritesEveryStepAndItsExplanation) {
    const scenario::TourResult result = scenario::runTour({(dir_ / "out").string(), 1});
    ASSERT_FALSE(result.failure) << *result.failure;
    const std::vector<std::string> expected = {
        "01-desktop.png",         "02-preview.png",
        "03-hovered-tile.png",    "04-minimized-tile.png",
        "05-closed-tile.png",     "06-clicked-tile.png",
        "07-other-space-tile.png",
        "08-armed-overlay.png",   "09-tiled-window.png",
        "10-now-playing.png",     "11-upcoming-events.png",
        "12-home-panel.png",      "13-home-panel-permission.png",
        "14-preferences-general.png", "15-preferences-appearance.png",
        "16-preferences-specials.png", "17-preferences-window-management.png",
        "18-preferences-about.png", "19-preferences-dark.png",
        "20-terms.png",           "21-guide.png"};
    ASSERT_EQ(result.frames.size(), expected.size());

    std::ifstream indexFile(dir_ / "out" / "index.html");
    std::stringstream index;
    index << indexFile.rdbuf();
    std::size_t previous = 0;
    std::vector<Picture> pictures;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const scenario::TourFrame& frame = result.frames[i];
        EXPECT_EQ(frame.file, expected[i]);
        EXPECT_FALSE(frame.caption.empty());
        EXPECT_EQ(frame.caption.find('\n'), std::string::npos) << "one line each";
        // In order, each with its caption right after its picture.
        const std::size_t at = index.str().find("src=\"" + frame.file + "\"");
        ASSERT_NE(at, std::string::npos) << frame.file << " is not in index.html";
        EXPECT_GT(at, previous);
        const std::size_t caption = index.str().find("<figcaption>", at);
        ASSERT_NE(caption, std::string::npos);
        EXPECT_EQ(index.str().find("</figure>", at), index.str().find("</figcaption>", caption) + 13);
        previous = at;
        pictures.push_back(load(dir_ / "out" / frame.file));
        EXPECT_EQ(pictures.back().width, kWidth) << frame.file;
        EXPECT_EQ(pictures.back().height, kHeight) << frame.file;
    }
    ASSERT_EQ(pictures.size(), expected.size());

    // The preview appears above the Dock, and nothing else of the desktop moves.
    const int aboveDock = kHeight - 64 - 180;
    EXPECT_GT(difference(pictures[0], pictures[1], 420, aboveDock, 600, 150), 8) << "no panel above the Dock";
    EXPECT_LT(difference(pictures[0], pictures[1], 0, 30, kWidth, 300), 1) << "the top of the desktop changed";
    // Hovering a tile changes the panel only; closing one changes the panel
    // and the desktop behind it, where the closed window was.
    EXPECT_GT(difference(pictures[1], pictures[2], 420, aboveDock, 600, 150), 0.5);
    EXPECT_GT(difference(pictures[3], pictures[4], 400, 30, 1000, 500), 2) << "the closed window is still shown";
    // The clicked window comes to the front over the Editor.
    EXPECT_GT(difference(pictures[4], pictures[5], 600, 130, 600, 400), 4) << "the clicked window did not come forward";
    // Another application's preview shows the window on the other Space.
    EXPECT_GT(difference(pictures[5], pictures[6], 420, aboveDock, 600, 150), 8) << "no preview above Notes";
    // The overlay tints the left half, then the tiled window fills it.
    EXPECT_GT(difference(pictures[6], pictures[7], 20, 300, kWidth / 2 - 40, 300), 2) << "no overlay over the left half";
    EXPECT_GT(difference(pictures[7], pictures[8], 20, 300, kWidth / 2 - 40, 300), 2) << "the window was not tiled";
    // The now-playing and calendar panels rise above the Dock.
    EXPECT_GT(difference(pictures[8], pictures[9], 0, aboveDock, kWidth, 150), 2) << "no now-playing panel";
    EXPECT_GT(difference(pictures[9], pictures[10], 0, aboveDock - 150, kWidth, 300), 2) << "no calendar panel";
    // The home panel hangs under the status item at the top right; the
    // permission row makes it longer; the dark preferences differ from the light.
    EXPECT_GT(difference(pictures[10], pictures[11], 1100, 30, 300, 200), 8) << "no panel under the status item";
    EXPECT_GT(difference(pictures[11], pictures[12], 1100, 250, 300, 100), 2) << "no permission row";
    EXPECT_GT(difference(pictures[14], pictures[18], 440, 140, 560, 460), 20) << "the dark appearance looks light";
}

TEST_F(Tour, TwiceTheScaleGivesTwiceThePixels) {
    const scenario::TourResult result = scenario::runTour({(dir_ / "hd").string(), 2});
    ASSERT_FALSE(result.failure) << *result.failure;
    const Picture first = load(dir_ / "hd" / "01-desktop.png");
    EXPECT_EQ(first.width, 2 * kWidth);
    EXPECT_EQ(first.height, 2 * kHeight);
}

TEST_F(Tour, AnOutputFolderThatCannotBeMadeIsAFailure) {
    std::ofstream(dir_ / "file") << "not a folder";
    const std::string out = (dir_ / "file" / "tour").string();
    const scenario::TourResult result = scenario::runTour({out, 1});
    ASSERT_TRUE(result.failure);
    EXPECT_TRUE(result.frames.empty());
    std::ostringstream err;
    EXPECT_EQ(scenario::tourCommand({out, 1}, err), 1);
    EXPECT_NE(err.str().find("cannot create"), std::string::npos) << err.str();
}

TEST_F(Tour, CommandNamesTheFolderOnStandardErrorOnly) {
    const char* sim = std::getenv("DURAZIZI_SIM");
    ASSERT_TRUE(sim && *sim) << "DURAZIZI_SIM names durazizi-sim (set by CTest)";
    const fs::path out = dir_ / "cli";
    const std::string leaks = xsession::leakSuppressions(dir_.string()) + " ";
    const std::string command = leaks + "'" + sim + "' tour '" + out.string() + "' >'" +
                                (dir_ / "stdout").string() + "' 2>'" + (dir_ / "stderr").string() + "'";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(fs::file_size(dir_ / "stdout"), 0u);
    std::ifstream errFile(dir_ / "stderr");
    std::stringstream err;
    err << errFile.rdbuf();
    EXPECT_NE(err.str().find(out.string()), std::string::npos) << err.str();
    EXPECT_TRUE(fs::exists(out / "index.html"));
    EXPECT_TRUE(fs::exists(out / "06-clicked-tile.png"));

    // A bad scale is a usage error, before anything is written.
    const std::string bad = leaks + "'" + sim + "' tour '" + (dir_ / "bad").string() + "' --scale 3 2>/dev/null";
    const int badStatus = std::system(bad.c_str());
    EXPECT_EQ(WEXITSTATUS(badStatus), 2);
    EXPECT_FALSE(fs::exists(dir_ / "bad"));
}

}  // namespace
