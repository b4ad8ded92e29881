#include "tools/scenario/DefaultDesktop.h"

#include "sim/SimScripting.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <unistd.h>

#include "sim/SimCalendarStore.h"
#include "sim/SimLocale.h"
#include "tools/scenario/World.h"

namespace scenario {

namespace {

const kit::Rect kDisplay{0, 0, 1440, 900};
constexpr double kDockIconSize = 48;

sim::pid_t addApp(sim::Desktop& desktop, const char* bundleId, const char* name) {
    sim::AppSpec spec;
    spec.bundleId = bundleId;
    spec.name = name;
    return desktop.processes().add(spec);
}

sim::CGWindowID addWindow(sim::Desktop& desktop, sim::pid_t pid, const char* title, kit::Rect frame,
                          bool minimized = false) {
    sim::WindowSpec spec;
    spec.pid = pid;
    spec.title = title;
    spec.frame = frame;
    spec.minimized = minimized;
    return desktop.windows().add(spec);
}

// A few days of a user's calendars, relative to the desktop's clock: a
// meeting under way, the next ones today, an all-day event and one next week.
void seedSampleCalendar(World& world) {
    sim::Desktop& desktop = world.desktop();
    constexpr double kMinute = 60, kHour = 3600, kDay = 86400;
    const double now = desktop.time().now();
    const double halfHour = std::ceil(now / (30 * kMinute)) * 30 * kMinute;
    const std::string zone = desktop.locale().currentTimeZoneName();
    auto timed = [](const char* title, double start, double length) {
        return linuxhost::IcsEventRecord{title, false, start, start + length};
    };
    const auto holiday = linuxhost::civilDate(now + 2 * kDay, zone);
    const struct {
        const char* calendar;
        const char* color;
        linuxhost::IcsEventRecord event;
    } samples[] = {
        {"Work", "#FF2968", timed("Standup", halfHour - 30 * kMinute, 45 * kMinute)},
        {"Work", "#FF2968", timed("Design review", halfHour + kHour, kHour)},
        {"Home", "#1BADF8", timed("Lunch with Sam", halfHour + 3 * kHour, kHour)},
        {"Home", "#1BADF8", {"Lisbon trip", true, 0, 0, holiday.year, holiday.month, holiday.day, 2}},
        {"Work", "#FF2968", timed("Quarterly planning", halfHour + kDay + 2 * kHour, 2 * kHour)},
        {"Home", "#1BADF8", timed("Dentist", halfHour + 5 * kDay, 30 * kMinute)},
    };
    for (const auto& sample : samples) world.calendars().addEvent(sample.calendar, sample.color, sample.event);
    desktop.calendarStore().setStatus(platform::EKAuthorizationStatusFullAccess);
}

}  // namespace

ScratchHome::ScratchHome(const std::string& prefix) {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = (tmp && *tmp == '/') ? tmp : "/tmp";
    pattern += "/" + prefix + "-XXXXXX";
    if (::mkdtemp(pattern.data())) path_ = pattern;
    else error_ = std::strerror(errno);
}

ScratchHome::~ScratchHome() {
    if (path_.empty()) return;
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

DefaultDesktop buildDefaultDesktop(World& world, const DefaultDesktopOptions& options) {
    sim::Desktop& desktop = world.desktop();
    DefaultDesktop d;

    desktop.screens().add(kDisplay);
    // The Dock first, so that every application below gets its item in order.
    desktop.dock().setRunning(true, kDockIconSize);

    d.editor = addApp(desktop, "com.example.Editor", "Editor");
    d.browser = addApp(desktop, "com.example.Browser", "Browser");
    d.notes = addApp(desktop, "com.apple.Notes", "Notes");
    d.terminal = addApp(desktop, "com.apple.Terminal", "Terminal");
    d.music = addApp(desktop, "com.apple.Music", "Music");
    d.spotify = addApp(desktop, "com.spotify.client", "Spotify");
    d.calendar = addApp(desktop, "com.apple.iCal", "Calendar");
    desktop.dock().addItem(sim::DockItemKind::Separator, "");
    desktop.dock().addItem(sim::DockItemKind::Folder, "Downloads");
    desktop.dock().addItem(sim::DockItemKind::Trash, "Trash");
    d.previewApps = {"Editor", "Browser", "Notes", "Terminal"};

    // Back to front: every new window opens in front of the ones before it.
    // A second Space, not shown, holds a note of its own.
    const sim::SpaceID away = desktop.spaces().add(0).value_or(0);
    {
        sim::WindowSpec spec;
        spec.pid = d.notes;
        spec.title = "Packing list";
        spec.frame = {300, 200, 420, 360};
        spec.space = away;
        d.awayNote = desktop.windows().add(spec);
    }
    addWindow(desktop, d.notes, "Groceries", {60, 430, 420, 360});
    addWindow(desktop, d.terminal, "~/src/durazizi \u2014 zsh \u2014 100\u00d730", {900, 440, 500, 330});
    addWindow(desktop, d.terminal, "~ \u2014 htop \u2014 100\u00d730", {860, 400, 500, 330});
    addWindow(desktop, d.browser, "Release checklist \u2014 Project Wiki", {520, 50, 860, 640});
    addWindow(desktop, d.browser, "Weather in Lisbon", {560, 80, 860, 640});
    d.minimizedPage = addWindow(desktop, d.browser, "Lemon tart recipe", {600, 110, 860, 640}, /*minimized=*/true);
    addWindow(desktop, d.editor, "Release notes.md", {240, 140, 860, 600});
    addWindow(desktop, d.editor, "HoverController.cpp", {200, 110, 860, 600});
    const sim::CGWindowID readme = addWindow(desktop, d.editor, "README.md", {160, 80, 860, 600});
    desktop.processes().setFrontmost(d.editor, readme);

    // Spotify is playing; Music sits paused on its first track.
    desktop.players().withPlayer("Spotify", [](sim::SimPlayer& player) { player.setState("playing"); });

    desktop.permissions().setAccessibilityTrusted(true);
    desktop.permissions().setScreenRecording(true);
    seedSampleCalendar(world);

    if (!options.fresh) {
        world.defaults().setInteger(1, "termsVersionAccepted");
        world.defaults().setBool(true, "guideShown");
    }
    return d;
}

}  // namespace scenario
