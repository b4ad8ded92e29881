#include <gtest/gtest.h>

#include <cairo.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "tools/ScenarioOutput.h"

// Leak-check suppressions for this test program in sanitizer builds: a
// snapshot finds its fonts through Fontconfig, which keeps its configuration
// and caches until the process ends without freeing them at exit. Our own
// leaks still fail the run. (LeakSanitizer reads this at start-up; other
// builds never call it.)
extern "C" const char* __lsan_default_suppressions();

extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

namespace {

namespace fs = std::filesystem;
using scenariotest::Printed;
using scenariotest::run;

// A folder of its own for the pictures of one test.
struct Folder {
    fs::path path;
    Folder() {
        path = fs::temp_directory_path() /
               ("durazizi-snapshot-test-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(path);
        fs::create_directories(path);
    }
    ~Folder() { fs::remove_all(path); }
    std::string operator/(const std::string& name) const { return (path / name).string(); }
};

// A PNG as an image viewer reads it; empty when it is not one.
struct Picture {
    int width = 0;
    int height = 0;
    std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> surface{nullptr, cairo_surface_destroy};

    explicit Picture(const std::string& path) {
        surface.reset(cairo_image_surface_create_from_png(path.c_str()));
        if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return;
        width = cairo_image_surface_get_width(surface.get());
        height = cairo_image_surface_get_height(surface.get());
    }
    std::uint32_t at(int x, int y) const {
        const unsigned char* data = cairo_image_surface_get_data(surface.get());
        return reinterpret_cast<const std::uint32_t*>(data + y * cairo_image_surface_get_stride(surface.get()))[x];
    }
    // How many pixels of the rectangle differ from another picture's.
    int differences(const Picture& other, int x0, int y0, int x1, int y1) const {
        int count = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) count += at(x, y) != other.at(x, y);
        return count;
    }
};

// A 1280 x 800 primary display with a larger one to its right, the Dock of
// three apps (icons at 564, 616 and 668, 744 from the top), a returning user.
const std::string kDesk =
    "screen 0,0,1280,800\n"
    "screen 1280,0,1920,1080\n"
    "dock\n"
    "app com.example.Editor \"Editor\" pid=501\n"
    "window 501 \"Notes.txt\" frame=120,80,720,480\n"
    "window 501 \"List.txt\" frame=200,100,700,480\n"
    "app com.example.Browser \"Browser\" pid=502\n"
    "window 502 \"Start Page\" frame=400,60,800,560\n"
    "app com.example.Terminal \"Terminal\" pid=503\n"
    "defaults termsVersionAccepted int 1\n"
    "defaults guideShown bool true\n"
    "launch\n"
    "advance 2s\n";

TEST(Snapshot, PicturesThePrimaryDisplayAsAUserSeesIt) {
    Folder folder;
    const Printed r = run(kDesk + "snapshot \"" + folder / "before.png" + "\"\n" +
                          "hover-dock \"Editor\"\nadvance 0.6s\n"
                          "snapshot " + folder / "hovered.png" + "\nquery app\n");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.lines.size(), 1u);   // a snapshot prints nothing

    const Picture before(folder / "before.png");
    const Picture hovered(folder / "hovered.png");
    ASSERT_EQ(before.width, 1280);
    ASSERT_EQ(before.height, 800);
    ASSERT_EQ(hovered.width, 1280);
    ASSERT_EQ(hovered.height, 800);
    // The preview appears above the Editor's icon (centre 588, top 744) and
    // nowhere near the far corner of the display.
    EXPECT_GT(hovered.differences(before, 588 - 150, 744 - 160, 588 + 150, 744 - 8), 20000);
    EXPECT_EQ(hovered.differences(before, 1200, 40, 1280, 120), 0);
    // An opaque picture: the wallpaper fills what no window covers.
    EXPECT_EQ(before.at(10, 790) >> 24, 0xffu);
}

TEST(Snapshot, ARelativePathIsTakenFromTheCurrentDirectory) {
    Folder folder;
    const fs::path previous = fs::current_path();
    fs::current_path(folder.path);
    const Printed r = run(kDesk + "snapshot desk.png\n");
    fs::current_path(previous);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Picture(folder / "desk.png").width, 1280);
}

TEST(Snapshot, WhatCannotBePicturedOrWrittenStopsTheRun) {
    Folder folder;
    fs::create_directories(folder.path / "taken.png");
    const struct {
        std::string scenario;
        std::string err;
    } cases[] = {
        // A folder that is not there, and a folder where the file would go.
        {kDesk + "snapshot " + folder / "missing/desk.png" + "\nquery app\n",
         "durazizi-sim: line 14: snapshot: cannot write " + folder / "missing/desk.png" + "\n"},
        {kDesk + "snapshot " + folder / "taken.png" + "\nquery app\n",
         "durazizi-sim: line 14: snapshot: cannot write " + folder / "taken.png" + "\n"},
        // Nothing to picture without a display.
        {"snapshot " + folder / "none.png" + "\n", "durazizi-sim: line 1: snapshot: there is no display to picture\n"},
    };
    for (const auto& c : cases) {
        const Printed r = run(c.scenario);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.err, c.err);
        EXPECT_TRUE(r.lines.empty());   // nothing after the failed line ran
    }
    EXPECT_FALSE(fs::exists(folder.path / "none.png"));

    // Without a path the line is malformed, and nothing runs at all.
    for (const char* line : {"snapshot\n", "snapshot \"\"\n", "snapshot a.png b.png\n"}) {
        const Printed r = run("query app\n" + std::string(line));
        EXPECT_EQ(r.status, 2) << line;
        EXPECT_TRUE(r.lines.empty()) << line;
        EXPECT_EQ(r.err.rfind("durazizi-sim: line 2: ", 0), 0u) << r.err;
    }
}

}  // namespace
