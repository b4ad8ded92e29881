// What the calendar list costs on the main thread during a hover: the
// store's query (a stat per file, the expansion of every recurring event
// over the window) with the provider's filter, order and cap, then the view.
// The files are parsed on the first query and only again when they change,
// as a user's calendars rarely do between two hovers.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
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

// Folders of hostile files, of the shapes a shared invitation or a damaged
// export can take: what one query costs on the main thread (the first one,
// which parses, and one whose window moved, which expands again) and how
// far the process's resident memory rises above where it stood.
namespace hostile {

std::string minuteRuleEvents(int count) {
    std::string minutes;
    for (int m = 0; m < 60; ++m) minutes += (m ? "," : "") + std::to_string(m);
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += "BEGIN:VEVENT\r\nUID:m" + std::to_string(i) + "\r\nSUMMARY:Minute " + std::to_string(i) +
                "\r\nDTSTART:20261201T000000Z\r\nRRULE:FREQ=HOURLY;BYMINUTE=" + minutes + "\r\nEND:VEVENT\r\n";
    }
    return text;
}

// The costliest zones the reader still takes: eight observances with a
// yearly rule each from 1602 and 124 listed changes each (992 in all), and
// events that ask for them up to year 9999.
std::string busyZones(int count) {
    static const char* kMonths[] = {"1", "2", "4", "5", "7", "8", "10", "11"};
    std::string dates;
    for (int year = 1602; year < 1602 + 124 * 3; year += 3) dates += (dates.empty() ? "" : ",") + std::to_string(year) + "0601T020000";
    std::string text;
    for (int z = 0; z < count; ++z) {
        text += "BEGIN:VTIMEZONE\r\nTZID:Busy " + std::to_string(z) + "\r\n";
        for (int r = 0; r < 8; ++r) {
            const bool daylight = r % 2;
            text += std::string("BEGIN:") + (daylight ? "DAYLIGHT" : "STANDARD") + "\r\nDTSTART:16020101T0" +
                    std::to_string(r) + "0000\r\nRRULE:FREQ=YEARLY;BYMONTH=" + kMonths[r] +
                    ";BYDAY=-1SU\r\nRDATE:" + dates + "\r\nTZOFFSETFROM:" + (daylight ? "+0100" : "+0200") + "\r\nTZOFFSETTO:" +
                    (daylight ? "+0200" : "+0100") + "\r\nEND:" + (daylight ? "DAYLIGHT" : "STANDARD") + "\r\n";
        }
        text += "END:VTIMEZONE\r\n";
    }
    for (int z = 0; z < count; ++z) {
        const std::string zone = "Busy " + std::to_string(z);
        text += "BEGIN:VEVENT\r\nUID:z" + std::to_string(z) + "\r\nSUMMARY:Daily\r\nDTSTART;TZID=" + zone +
                ":20261207T100000\r\nDURATION:PT1H\r\nRRULE:FREQ=DAILY\r\nEND:VEVENT\r\nBEGIN:VEVENT\r\nUID:f" +
                std::to_string(z) + "\r\nSUMMARY:Far\r\nDTSTART;TZID=" + zone + ":99991207T100000\r\nEND:VEVENT\r\n";
    }
    return text;
}

struct Folder {
    sim::Desktop desktop;   // the clock and the zone, as a query has them
    fs::path path;

    explicit Folder(const std::string& name) {
        platform::install(&desktop);
        path = fs::temp_directory_path() / ("durazizi-bench-hostile-" + name + "-" + std::to_string(::getpid()));
        fs::remove_all(path);
        fs::create_directories(path);
    }
    ~Folder() {
        platform::install(nullptr);
        fs::remove_all(path);
    }
    void write(const std::string& name, const std::string& body) {
        std::ofstream(path / name, std::ios::binary) << "BEGIN:VCALENDAR\r\n" << body << "END:VCALENDAR\r\n";
    }
};

long statusKiB(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.starts_with(field)) return std::atol(line.c_str() + std::strlen(field));
    }
    return 0;
}

// Resets the peak resident size (VmHWM) to the current one.
void resetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

// Each iteration is the first query of a fresh reader; `moved` then asks
// the same reader for the next day, which expands again without parsing.
void run(benchmark::State& state, Folder& folder, bool moved) {
    const double now = folder.desktop.time().now();
    long peak = 0, kept = 0;
    std::size_t events = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto reader = std::make_unique<linuxhost::IcsCalendarFolder>(folder.path.string(), nullptr);
        if (moved) reader->eventsMatching(now, now + 2 * 86400, "Europe/Berlin");
        const long before = statusKiB("VmRSS:");
        const std::size_t heapBefore = mallinfo2().uordblks;
        resetPeak();
        state.ResumeTiming();
        const double from = moved ? now + 3 * 86400 : now;
        auto found = reader->eventsMatching(from, from + 2 * 86400, "Europe/Berlin");
        state.PauseTiming();
        peak = std::max(peak, statusKiB("VmHWM:") - before);
        kept = std::max(kept, static_cast<long>((mallinfo2().uordblks - heapBefore) >> 10));
        events = found.size();
        found = {};
        reader.reset();
        state.ResumeTiming();
    }
    state.counters["events"] = static_cast<double>(events);
    state.counters["peak_extra_MB"] = static_cast<double>(peak) / 1024;
    // Heap still in use after the query, with the reader and its answer alive
    // (resident size would not show what was freed: malloc keeps it).
    state.counters["kept_MB"] = static_cast<double>(kept) / 1024;
}

void BM_CalendarHostileTitle(benchmark::State& state) {
    Folder folder("title");
    folder.write("title.ics", "BEGIN:VEVENT\r\nUID:t\r\nSUMMARY:" + std::string(3'500'000, 'x') +
                                  "\r\nDTSTART:20261201T000000Z\r\nRRULE:FREQ=HOURLY\r\nEND:VEVENT\r\n");
    run(state, folder, state.range(0) != 0);
}
BENCHMARK(BM_CalendarHostileTitle)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_CalendarHostileMinuteRules(benchmark::State& state) {
    Folder folder("minutes");
    folder.write("minutes.ics", minuteRuleEvents(1000));
    run(state, folder, state.range(0) != 0);
}
BENCHMARK(BM_CalendarHostileMinuteRules)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_CalendarHostileZones(benchmark::State& state) {
    Folder folder("zones");
    folder.write("zones.ics", busyZones(40));
    run(state, folder, state.range(0) != 0);
}
BENCHMARK(BM_CalendarHostileZones)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);

// 48 names for one file just under the size cap (14,000 minute rules).
void BM_CalendarHostileLinks(benchmark::State& state) {
    Folder folder("links");
    folder.write("big.ics", minuteRuleEvents(14000));
    for (int i = 0; i < 48; ++i) fs::create_symlink(folder.path / "big.ics", folder.path / ("link" + std::to_string(i) + ".ics"));
    run(state, folder, state.range(0) != 0);
}
BENCHMARK(BM_CalendarHostileLinks)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

// Many short events, every one of them in the window: 12,000 daily series
// starting this week, each with a title of its own (1.5 MB).
void BM_CalendarHostileManyEvents(benchmark::State& state) {
    Folder folder("many");
    std::string text;
    for (int i = 0; i < 12000; ++i) {
        text += "BEGIN:VEVENT\r\nSUMMARY:Event " + std::to_string(i) + "\r\nDTSTART;TZID=Europe/Berlin:2026120" +
                std::to_string(1 + i % 7) + "T" + std::to_string(10 + i % 10) +
                "0000\r\nDURATION:PT30M\r\nRRULE:FREQ=DAILY\r\nEND:VEVENT\r\n";
    }
    folder.write("many.ics", text);
    run(state, folder, state.range(0) != 0);
}
BENCHMARK(BM_CalendarHostileManyEvents)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

// The shortest events there are, 60,000 of them in the window (3.1 MB).
void BM_CalendarHostileTinyEvents(benchmark::State& state) {
    Folder folder("tiny");
    std::string text;
    for (int i = 0; i < 60000; ++i) {
        text += "BEGIN:VEVENT\r\nDTSTART:20261208T" + std::to_string(10 + i % 10) + std::to_string(1000 + i % 5000) +
                "Z\r\nEND:VEVENT\r\n";
    }
    folder.write("tiny.ics", text);
    run(state, folder, state.range(0) != 0);
}
BENCHMARK(BM_CalendarHostileTinyEvents)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

// The shapes above in one folder, so that one query may pay several budgets
// in full, after a file near the size cap of events long past: the first
// query splits that file alone, the next the zones and the minute rules (the
// other files wait for room in a later query's reading).
void BM_CalendarHostileAll(benchmark::State& state) {
    Folder folder("all");
    folder.write("a-zones.ics", busyZones(40));
    std::string many, tiny;
    for (int i = 0; i < 12000; ++i) {
        many += "BEGIN:VEVENT\r\nSUMMARY:Event " + std::to_string(i) + "\r\nDTSTART;TZID=Europe/Berlin:2026120" +
                std::to_string(1 + i % 7) + "T" + std::to_string(10 + i % 10) +
                "0000\r\nDURATION:PT30M\r\nRRULE:FREQ=DAILY\r\nEND:VEVENT\r\n";
    }
    folder.write("b-many.ics", many);
    for (int i = 0; i < 60000; ++i) {
        tiny += "BEGIN:VEVENT\r\nDTSTART:20261208T" + std::to_string(10 + i % 10) + std::to_string(1000 + i % 5000) +
                "Z\r\nEND:VEVENT\r\n";
    }
    folder.write("c-tiny.ics", tiny);
    folder.write("d-minutes.ics", minuteRuleEvents(1000));
    std::string past;
    while (past.size() < 3'900'000) {
        past += "BEGIN:VEVENT\r\nUID:p" + std::to_string(past.size()) + "\r\nSUMMARY:Long ago\r\nDTSTART:20200101T100000Z\r\n"
                "DTEND:20200101T110000Z\r\nEND:VEVENT\r\n";
    }
    folder.write("0-past.ics", past);
    run(state, folder, state.range(0) != 0);
}
BENCHMARK(BM_CalendarHostileAll)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace hostile

}  // namespace
