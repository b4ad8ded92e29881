// What the calendar list costs on the main thread during a hover: the
// store's query (a stat per file, the expansion of every recurring event
// over the window) with the provider's filter, order and cap, then the view.
// The files are parsed on the first query and only again when they change,
// as a user's calendars rarely do between two hovers.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "linux/IcsCalendarFolder.h"
#include "platform/Platform.h"
#include "sim/Desktop.h"
#include "sim/SimCalendarStore.h"
#include "sim/SimLocale.h"
#include "specials/CalendarContentView.h"
#include "specials/CalendarProvider.h"

namespace {

namespace fs = std::filesystem;

std::string stamp(double seconds) {
    const auto t = static_cast<time_t>(seconds);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%dT%H%M%SZ", std::gmtime(&t));
    return text;
}

// Three calendars whose next seven days hold about 2,000 occurrences: 1,000
// single events, 100 daily series, 60 weekday series with a cancelled and a
// moved instance each, all in a zone of their own.
struct World {
    sim::Desktop desktop;
    fs::path folder;
    std::shared_ptr<linuxhost::IcsCalendarFolder> reader;

    World() {
        platform::install(&desktop);
        desktop.locale().setTimeZoneName("Europe/Berlin");
        desktop.calendarStore().setStatus(platform::EKAuthorizationStatusFullAccess);
        folder = fs::temp_directory_path() / ("durazizi-bench-calendars-" + std::to_string(::getpid()));
        fs::create_directories(folder);
        const double now = desktop.time().now();
        std::string singles = "BEGIN:VCALENDAR\r\nX-WR-CALNAME:Singles\r\n";
        for (int i = 0; i < 1000; ++i) {
            const double start = now + 600 * (i + 1);
            singles += "BEGIN:VEVENT\r\nUID:s" + std::to_string(i) + "\r\nSUMMARY:Single " + std::to_string(i) +
                       "\r\nDTSTART:" + stamp(start) + "\r\nDTEND:" + stamp(start + 1800) + "\r\nEND:VEVENT\r\n";
        }
        std::ofstream(folder / "singles.ics") << singles << "END:VCALENDAR\r\n";
        std::string daily = "BEGIN:VCALENDAR\r\nX-WR-CALNAME:Daily\r\n";
        for (int i = 0; i < 100; ++i) {
            daily += "BEGIN:VEVENT\r\nUID:d" + std::to_string(i) + "\r\nSUMMARY:Daily " + std::to_string(i) +
                     "\r\nDTSTART;TZID=Europe/Berlin:2025" + std::string(i % 2 ? "03" : "11") + "0" +
                     std::to_string(1 + i % 9) + "T0" + std::to_string(i % 10) + "1500" +
                     "\r\nDURATION:PT30M\r\nRRULE:FREQ=DAILY\r\nEND:VEVENT\r\n";
        }
        std::ofstream(folder / "daily.ics") << daily << "END:VCALENDAR\r\n";
        std::string weekly = "BEGIN:VCALENDAR\r\nX-WR-CALNAME:Team\r\nBEGIN:VTIMEZONE\r\nTZID:Team Time\r\n"
                             "BEGIN:STANDARD\r\nDTSTART:16011028T030000\r\nRRULE:FREQ=YEARLY;BYDAY=-1SU;BYMONTH=10\r\n"
                             "TZOFFSETFROM:+0200\r\nTZOFFSETTO:+0100\r\nEND:STANDARD\r\nBEGIN:DAYLIGHT\r\n"
                             "DTSTART:16010325T020000\r\nRRULE:FREQ=YEARLY;BYDAY=-1SU;BYMONTH=3\r\n"
                             "TZOFFSETFROM:+0100\r\nTZOFFSETTO:+0200\r\nEND:DAYLIGHT\r\nEND:VTIMEZONE\r\n";
        for (int i = 0; i < 60; ++i) {
            const std::string uid = "w" + std::to_string(i);
            const std::string hour = std::to_string(10 + i % 10);
            weekly += "BEGIN:VEVENT\r\nUID:" + uid + "\r\nSUMMARY:Weekly " + uid +
                      "\r\nDTSTART;TZID=Team Time:20260105T" + hour + "0000\r\nDURATION:PT1H\r\n"
                      "RRULE:FREQ=WEEKLY;BYDAY=MO,TU,WE,TH,FR\r\nEXDATE;TZID=Team Time:20261208T" + hour +
                      "0000\r\nEND:VEVENT\r\nBEGIN:VEVENT\r\nUID:" + uid +
                      "\r\nRECURRENCE-ID;TZID=Team Time:20261209T" + hour + "0000\r\nSUMMARY:Moved " + uid +
                      "\r\nDTSTART;TZID=Team Time:20261209T" + hour + "3000\r\nDURATION:PT1H\r\nEND:VEVENT\r\n";
        }
        std::ofstream(folder / "team.ics") << weekly << "END:VCALENDAR\r\n";
        reader = std::make_shared<linuxhost::IcsCalendarFolder>(folder.string(), nullptr);
        desktop.calendarStore().useReader([reader = reader, &locale = desktop.locale()](double s, double e) {
            return reader->eventsMatching(s, e, locale.currentTimeZoneName());
        });
    }
    ~World() {
        platform::install(nullptr);
        fs::remove_all(folder);
    }
};

void BM_CalendarFetchAndView(benchmark::State& state) {
    World world;
    auto provider = durazizi::CalendarProvider::shared();
    state.counters["in_window"] = static_cast<double>(
        world.desktop.calendarStore().storedEvents(world.desktop.time().now(), world.desktop.time().now() + 7 * 86400).size());
    for (auto _ : state) {
        auto events = provider->upcoming(7, 50);
        auto view = std::make_shared<durazizi::CalendarContentView>(events);
        benchmark::DoNotOptimize(view->fittingSize());
    }
}
BENCHMARK(BM_CalendarFetchAndView)->Unit(benchmark::kMicrosecond);

// The first hover after the files changed: everything parsed again.
void BM_CalendarParseThreeFiles(benchmark::State& state) {
    World world;
    for (auto _ : state) {
        linuxhost::IcsCalendarFolder fresh(world.folder.string(), nullptr);
        benchmark::DoNotOptimize(fresh.eventsMatching(world.desktop.time().now(), world.desktop.time().now() + 7 * 86400, "Europe/Berlin"));
    }
}
BENCHMARK(BM_CalendarParseThreeFiles)->Unit(benchmark::kMillisecond);

}  // namespace
