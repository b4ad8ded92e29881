#include "tools/scenario/Soak.h"

#include <malloc.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "render/Renderer.h"
#include "sim/SimScripting.h"
#include "tools/scenario/DefaultDesktop.h"
#include "tools/scenario/ShownPanels.h"
#include "tools/scenario/World.h"

namespace scenario {

namespace {

constexpr const char* kProgram = "durazizi-sim: ";
// The playground's frame cadence: one poll of the desktop, then a picture
// when anything visible changed.
constexpr double kFrame = 0.05;
// As long as the playground lets a song play.
constexpr double kTrackLength = 30;
// Long enough on an icon for its panel to come up and settle.
constexpr double kRestOnIcon = 1.5;
// On the playing player's icon, long enough for a dozen of its panel's polls.
constexpr double kRestOnPlayer = 20;
// A safe spot of wallpaper-or-window where a resting pointer does nothing.
constexpr kit::Point kAway{700, 400};

double residentMegabytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::atof(line.c_str() + 6) / 1024;
    }
    return 0;
}

double heapMegabytes() {
    const struct mallinfo2 info = ::mallinfo2();
    return static_cast<double>(info.uordblks + info.hblkhd) / (1024 * 1024);
}

class Soak {
public:
    Soak(World& world, const SoakOptions& options, std::ostream& out)
        : world_(world), options_(options), out_(out), renderer_(world.desktop()) {}

    void run() {
        desktop().input().move(kAway);
        let(2);
        nextSample_ = elapsed_;
        const double end = options_.minutes * 60;
        while (elapsed_ < end) round();
    }

    // What the rounds showed, as the window server shows it: a soak whose
    // hovers brought up no panel or whose drags snapped nothing measured
    // something else than use.
    void summarize(std::ostream& out) const {
        out << "# " << rounds_ << " rounds: a panel up on " << panelsShown_ << " of " << hovers_
            << " hovers, the status item's panel " << homePanels_ << " times, the preferences " << preferences_
            << " times, " << snaps_ << " windows snapped\n";
    }

private:
    sim::Desktop& desktop() { return world_.desktop(); }

    bool panelUp() {
        const auto preview = findPreview(world_);
        const auto special = findSpecial(world_);
        return (preview && preview->window.visible) || (special && special->window.visible);
    }

    template <typename Matches>
    bool ownWindowShown(Matches&& matches) {
        for (const sim::OwnWindowInfo& window : desktop().ownWindows().list())
            if (window.visible && matches(window)) return true;
        return false;
    }

    // Lets `seconds` of virtual time pass frame by frame, painting each frame
    // something changed in, as the playground does.
    void let(double seconds) {
        for (double t = 0; t < seconds; t += kFrame) {
            desktop().time().advance(kFrame);
            elapsed_ += kFrame;
            if (elapsed_ - lastTrackChange_ >= kTrackLength) {
                lastTrackChange_ = elapsed_;
                desktop().players().withPlayer("Spotify", [](sim::SimPlayer& player) {
                    if (player.info().state == "playing") player.advanceTrack();
                });
            }
            if (renderer_.needsPaint()) {
                renderer_.paint(options_.scale);
                ++paints_;
            }
            if (elapsed_ >= nextSample_) {
                sample();
                nextSample_ += options_.sampleEvery * 60;
            }
        }
    }

    void sample() {
        char line[96];
        std::snprintf(line, sizeof line, "%6.1f %9.1f %9.1f %8lu\n", elapsed_ / 60, residentMegabytes(),
                      heapMegabytes(), paints_);
        out_ << line << std::flush;
        paints_ = 0;
    }

    // One round of use: every Dock icon and its panel, the playing player,
    // the status item's panel, and a window snapped to one side.
    void round() {
        ++rounds_;
        for (const sim::DockItemInfo& item : desktop().dock().items()) {
            if (item.frame.isEmpty() || item.frame.width() < 24) continue;   // a separator
            const kit::Point icon{item.frame.midX(), item.frame.midY()};
            desktop().input().move(icon);
            let(kRestOnIcon);
            ++hovers_;
            if (panelUp()) ++panelsShown_;
            // Up into the panel above the icon, and across it.
            desktop().input().move({icon.x, icon.y - 120});
            let(0.3);
            desktop().input().move({icon.x + 60, icon.y - 150});
            let(0.3);
            desktop().input().move(icon);
            let(0.3);
        }
        if (const auto spotify = desktop().dock().itemFrame("Spotify")) {
            desktop().input().move({spotify->midX(), spotify->midY()});
            let(kRestOnPlayer);
        }
        desktop().input().move(kAway);
        let(0.5);

        if (const auto item = desktop().application().statusItemFrame()) {
            desktop().input().click(item->center());
            let(1);
            if (ownWindowShown([](const sim::OwnWindowInfo& w) { return w.isPanel && !w.ignoresMouse; })) ++homePanels_;
            desktop().input().click(item->center());
            let(0.5);
        }

        // The preferences, opened from the menu, looked at and closed.
        if (desktop().application().chooseMenuItem("Durazizi", "Settings\u2026")) {
            let(1);
            if (ownWindowShown([](const sim::OwnWindowInfo& w) { return w.title == "Durazizi Preferences"; }))
                ++preferences_;
            desktop().application().chooseMenuItem("Window", "Close");
            let(0.5);
        }

        snapFrontWindow();
    }

    // The front window, by its title bar, against the left or the right
    // edge until the zone arms, then let go.
    void snapFrontWindow() {
        const auto screen = desktop().screens().primaryFrame();
        if (!screen) return;
        std::optional<sim::WindowInfo> front;
        for (const sim::WindowInfo& window : desktop().windows().all()) {
            if (window.exists && !window.minimized) {
                front = window;
                break;
            }
        }
        if (!front) return;
        const kit::Point grab{front->frame.midX(), front->frame.minY() + 12};
        const double edge = toLeft_ ? screen->minX() : screen->maxX() - 1;
        toLeft_ = !toLeft_;
        desktop().input().mouseDown(grab);
        for (int i = 1; i <= 10; ++i) {
            desktop().input().move({grab.x + (edge - grab.x) * i / 10, grab.y + (screen->midY() - grab.y) * i / 10});
            let(kFrame);
        }
        let(0.8);
        desktop().input().mouseUp(desktop().input().location());
        let(0.5);
        const sim::WindowInfo after = desktop().windows().info(front->id);
        if (after.frame.width() == screen->width() / 2 && (after.frame.minX() == screen->minX()) == !toLeft_) ++snaps_;
    }

    World& world_;
    const SoakOptions& options_;
    std::ostream& out_;
    render::DesktopRenderer renderer_;
    double elapsed_ = 0;
    double nextSample_ = HUGE_VAL;   // the first once Durazizi has settled
    double lastTrackChange_ = 0;
    unsigned long paints_ = 0;
    int rounds_ = 0, hovers_ = 0, panelsShown_ = 0, homePanels_ = 0, preferences_ = 0, snaps_ = 0;
    bool toLeft_ = true;
};

}  // namespace

int soakCommand(const SoakOptions& options, std::ostream& out, std::ostream& err) {
    ScratchHome home("durazizi-soak");
    if (home.path().empty()) {
        err << kProgram << "cannot create a home folder: " << home.error() << '\n';
        return 1;
    }
    World world(home.path(), [&err](const std::string& notice) { err << kProgram << notice << '\n'; });
    buildDefaultDesktop(world);
    if (auto error = world.launch()) {
        err << kProgram << *error << '\n';
        return 1;
    }
    out << "# virtual_minute rss_MB heap_MB frames_painted\n";
    Soak soak(world, options, out);
    soak.run();
    soak.summarize(out);
    return 0;
}

}  // namespace scenario
