// The playground in a real X server: its window appears, F1 shows the help,
// resting the real pointer on a Dock icon brings up the preview panel, Esc
// quits, and the account is kept where the user's data lives.

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "app/AppDelegate.h"
#include "ax/Geometry.h"
#include "linux/PlistDefaults.h"
#include "linux/XdgPaths.h"
#include "playground/XSession.h"
#include "tools/scenario/DefaultDesktop.h"
#include "tools/scenario/World.h"

namespace {

using xsession::Screenshot;

// Generous limits for a loaded machine or a sanitizer build; a healthy run
// takes a fraction of them. They bound the wait, they are not measured.
constexpr double kWindowLimit = 60;
constexpr double kChangeLimit = 30;
// How long without a new frame counts as the drawing having settled. The
// playground draws only on a change, so a still desktop shows none at all.
constexpr double kQuiet = 0.5;
// Mean difference per channel, out of 255, that a panel or card drawn over
// the wallpaper leaves far behind, and that a redrawn clock stays far below.
constexpr double kStrongChange = 20;

double now() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

bool onPath(const std::string& program) {
    return std::system(("command -v " + program + " >/dev/null 2>&1").c_str()) == 0;
}

struct Region {
    int x = 0, y = 0, w = 0, h = 0;
};

// Where the default desktop puts the Browser's Dock icon and the preview
// panel that resting on it brings up, asked of the simulated desktop itself.
struct Expected {
    kit::Rect browserIcon;
    kit::Rect panel;
};

Expected expectedGeometry(const std::string& home) {
    Expected expected;
    scenario::World world(home, [](const std::string&) {});
    scenario::buildDefaultDesktop(world);
    world.launch();
    world.desktop().time().advance(1);
    expected.browserIcon = world.desktop().dock().itemFrame("Browser").value_or(kit::Rect{});
    world.desktop().input().move({expected.browserIcon.midX(), expected.browserIcon.midY()});
    world.desktop().time().advance(0.6);
    if (const auto* delegate = world.delegate()) {
        if (const auto& panel = delegate->hover().preview().panel(); panel && panel->isVisible()) {
            expected.panel = durazizi::Geo::toTopLeft(panel->frame());
        }
    }
    return expected;
}

class Playground : public ::testing::Test {
protected:
    void SetUp() override {
        const char* program = std::getenv("DURAZIZI_PLAYGROUND");
        ASSERT_TRUE(program && *program) << "DURAZIZI_PLAYGROUND names the program under test (set by CTest)";
        program_ = program;
        // CI installs these (scripts/bootstrap); a machine without them fails loudly.
        for (const char* tool : {"Xvfb", "xdotool", "xwd"}) ASSERT_TRUE(onPath(tool)) << tool << " is not installed";
        std::string pattern = (std::filesystem::temp_directory_path() / "durazizi-playground-test-XXXXXX").string();
        ASSERT_TRUE(mkdtemp(pattern.data()));
        root_ = pattern;
        for (const char* dir : {"home", "data", "config", "run", "probe"}) {
            std::filesystem::create_directories(root_ / dir);
        }
        std::filesystem::permissions(root_ / "run", std::filesystem::perms::owner_all);
        xvfb_.emplace();
        ASSERT_TRUE(xvfb_->ready()) << xvfb_->error();
    }

    void TearDown() override {
        playground_.reset();
        frames_.reset();
        xvfb_.reset();
        std::error_code ignored;
        if (!root_.empty()) std::filesystem::remove_all(root_, ignored);
    }

    void start(std::vector<std::string> args = {}) {
        // The playground tells on this pipe each time a frame has reached
        // the X server; only its write end goes to the child.
        int fds[2];
        ASSERT_EQ(::pipe2(fds, O_CLOEXEC), 0);
        frames_.emplace(fds[0]);
        ASSERT_EQ(::fcntl(fds[1], F_SETFD, 0), 0);
        args.insert(args.begin(), "--frames-fd=" + std::to_string(fds[1]));
        args.insert(args.begin(), program_);
        playground_.emplace(args, std::vector<std::string>{
                                      "DISPLAY=" + xvfb_->display(),
                                      "HOME=" + (root_ / "home").string(),
                                      "XDG_DATA_HOME=" + (root_ / "data").string(),
                                      "XDG_CONFIG_HOME=" + (root_ / "config").string(),
                                      "XDG_RUNTIME_DIR=" + (root_ / "run").string(),
                                      "SDL_VIDEODRIVER=x11",
                                      "SDL_AUDIODRIVER=dummy",
                                      // Xvfb's OpenGL is a software one anyway. SDL's own
                                      // renderer, on a window surface of its own, keeps a GL
                                      // driver out of the process, whose unloading at exit
                                      // would leave its leaks without a name to suppress.
                                      "SDL_RENDER_DRIVER=software",
                                      "SDL_FRAMEBUFFER_ACCELERATION=0",
                                      xsession::leakSuppressions(root_.string()),
                                  });
        ::close(fds[1]);
        ASSERT_TRUE(playground_->started()) << "cannot start " << program_;
        ASSERT_TRUE(frames_->next(kWindowLimit)) << "the playground showed no first frame; " << state();
        // Its own window, found by its process, and only once it is mapped:
        // a window found by name may be another one, or one already gone.
        const auto found = xdo("search --sync --onlyvisible --pid " + std::to_string(playground_->pid()));
        ASSERT_EQ(found.status, 0) << "the playground's window is not on screen; " << state();
        window_ = found.out.substr(0, found.out.find('\n'));
        ASSERT_FALSE(window_.empty());
    }

    // Whether the playground still runs, for a failure message.
    std::string state() {
        if (playground_ && playground_->running()) return "the playground is still running";
        const auto status = playground_ ? playground_->waitExit(0) : std::nullopt;
        return status ? "the playground has ended with status " + std::to_string(*status)
                      : "the playground has ended on a signal";
    }

    xsession::CommandResult xdo(const std::string& args, double limit = 10) {
        return xsession::run("timeout " + std::to_string(static_cast<int>(limit)) + " xdotool " + args,
                             xvfb_->display());
    }

    Screenshot shot() {
        std::string error;
        auto screenshot = xsession::captureWindow(window_, xvfb_->display(), &error);
        EXPECT_TRUE(screenshot) << error << "; " << state();
        return screenshot.value_or(Screenshot{});
    }

    // A picture of the window once the playground has stopped showing new
    // frames for a moment: what it drew last has reached the server.
    Screenshot settledShot() {
        const double deadline = now() + kChangeLimit;
        while (now() < deadline) {
            if (!frames_->next(kQuiet)) return shot();
        }
        ADD_FAILURE() << "the playground never stopped showing new frames; " << state();
        return shot();
    }

    // Waits for `region` to differ (or, with `differ` false, to agree again)
    // strongly from `reference`, looking again after each frame the
    // playground shows; the last mean difference.
    double waitFor(const Screenshot& reference, Region r, bool differ) {
        double difference = 0;
        const double deadline = now() + kChangeLimit;
        do {
            const Screenshot current = shot();
            if (current.width == 0) break;
            difference = xsession::meanDifference(reference, current, r.x, r.y, r.w, r.h);
            if (differ ? difference > kStrongChange : difference < kStrongChange / 4) break;
        } while (frames_->next(deadline - now()));
        return difference;
    }

    // Under a server without a window manager the focus is PointerRoot: keys
    // go to the window under the pointer, which every caller has put there.
    void press(const std::string& key) { ASSERT_EQ(xdo("key " + key).status, 0) << state(); }

    void pointTo(kit::Point p) {
        ASSERT_EQ(xdo("mousemove --sync --window " + window_ + " " + std::to_string(static_cast<int>(p.x)) + " " +
                      std::to_string(static_cast<int>(p.y)))
                      .status,
                  0)
            << state();
    }

    std::string program_;
    std::filesystem::path root_;
    std::optional<xsession::Xvfb> xvfb_;
    std::optional<xsession::Child> playground_;
    std::optional<xsession::LineReader> frames_;
    std::string window_;
};

TEST_F(Playground, ShowsHelpAndThePreviewAndKeepsTheAccount) {
    const Expected expected = expectedGeometry((root_ / "probe").string());
    ASSERT_GT(expected.panel.width(), 0) << "the default desktop shows no preview of the Browser";

    start();
    // Away from the Dock, where nothing happens.
    pointTo({720, 400});
    const Screenshot before = settledShot();
    ASSERT_EQ(before.width, 1440) << "the window is not the display's size on a screen that holds it";
    ASSERT_EQ(before.height, 900);

    // The help card, below the menu bar at the top-left, and gone again.
    const Region card{40, 56, 400, 200};
    press("F1");
    EXPECT_GT(waitFor(before, card, true), kStrongChange) << "F1 showed no help";
    press("F1");
    EXPECT_LT(waitFor(before, card, false), kStrongChange / 4) << "F1 did not hide the help";

    // Ctrl+Right shows the second Space, where only a note waits; Ctrl+Left comes back.
    const Region windows{760, 120, 400, 300};
    press("ctrl+Right");
    EXPECT_GT(waitFor(before, windows, true), kStrongChange) << "Ctrl+Right showed no other Space";
    press("ctrl+Left");
    EXPECT_LT(waitFor(before, windows, false), kStrongChange / 4) << "Ctrl+Left did not come back";

    // The real pointer on the Browser's icon: the panel appears above it.
    pointTo({expected.browserIcon.midX(), expected.browserIcon.midY()});
    const kit::Rect inner = expected.panel.insetBy(12, 12);
    const Region panel{static_cast<int>(inner.minX()), static_cast<int>(inner.minY()), static_cast<int>(inner.width()),
                       static_cast<int>(inner.height())};
    EXPECT_GT(waitFor(before, panel, true), kStrongChange) << "no preview panel above the Browser's icon";

    // Esc ends the playground cleanly, and the account stays for next time.
    press("Escape");
    EXPECT_EQ(playground_->waitExit(kChangeLimit), 0);
    const std::string home = (root_ / "data" / "durazizi-playground").string();
    const std::string plist =
        linuxhost::PlistDefaults::pathFor(linuxhost::XdgPaths::forHome(home).configHome, linuxhost::kBundleIdentifier);
    ASSERT_TRUE(std::filesystem::exists(plist)) << plist;
    linuxhost::PlistDefaults kept(plist);
    EXPECT_EQ(kept.integerForKey("termsVersionAccepted"), 1);
    EXPECT_TRUE(kept.boolForKey("guideShown"));
}

TEST_F(Playground, FreshAccountLeavesTheKeptOneAlone) {
    start({"--fresh"});
    pointTo({720, 400});
    const Screenshot shown = settledShot();
    EXPECT_EQ(shown.width, 1440);
    press("Escape");
    EXPECT_EQ(playground_->waitExit(kChangeLimit), 0);
    EXPECT_FALSE(std::filesystem::exists(root_ / "data" / "durazizi-playground"));
    EXPECT_FALSE(std::filesystem::exists(root_ / "home" / ".local"));
}

}  // namespace
