#include <gtest/gtest.h>
#include <libical/ical.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <tuple>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "linux/IcsBudget.h"
#include "linux/IcsCalendarFolder.h"
#include "linux/IcsWriter.h"

namespace {

namespace fs = std::filesystem;

// 2026-12-07T00:00:00Z, a Monday.
constexpr double kMonday = 1796601600.0;
constexpr double kDay = 86400;

std::string iso(double seconds) {
    const auto t = static_cast<time_t>(seconds);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%MZ", std::gmtime(&t));
    return text;
}

struct Seen {
    std::string title;
    std::string start;
    std::string end;
    bool allDay;
    bool operator==(const Seen&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Seen& s) {
    return out << s.title << " " << s.start << "–" << s.end << (s.allDay ? " all-day" : "");
}

class IcsFolder : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("ics-test-" + std::to_string(::getpid()) + "-" +
                                               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    void write(const std::string& name, const std::string& text) {
        std::ofstream(folder_ / name, std::ios::binary) << text;
    }
    // Lines joined with CRLF, as the format wants them.
    static std::string crlf(const std::vector<std::string>& lines) {
        std::string text;
        for (const auto& line : lines) text += line + "\r\n";
        return text;
    }
    std::vector<Seen> read(double start, double end, const std::string& zone = "Europe/Berlin") {
        std::vector<Seen> seen;
        for (const auto& e : reader_->eventsMatching(start, end, zone)) {
            seen.push_back({e.title.value_or("-"), iso(e.startDate), iso(e.endDate), e.isAllDay});
        }
        return seen;
    }

    fs::path folder_;
    std::vector<std::string> notes_;
    std::unique_ptr<linuxhost::IcsCalendarFolder> reader_;

    void makeReader() {
        reader_ = std::make_unique<linuxhost::IcsCalendarFolder>(
            folder_.string(), [this](const std::string& line) { notes_.push_back(line); });
    }
};

// An export the way a desktop mail client writes one: a byte-order mark,
// CRLF, a zone under a name of its own, folded and escaped text.
const std::vector<std::string> kWorkCalendar = {
    "\xEF\xBB\xBF" "BEGIN:VCALENDAR",
    "VERSION:2.0",
    "PRODID:-//Example//Export//EN",
    "X-WR-CALNAME:Work\\, team",
    "X-APPLE-CALENDAR-COLOR:#FF2968FF",
    "BEGIN:VTIMEZONE",
    "TZID:W. Europe Standard Time",
    "BEGIN:STANDARD",
    "DTSTART:16011028T030000",
    "RRULE:FREQ=YEARLY;BYDAY=-1SU;BYMONTH=10",
    "TZOFFSETFROM:+0200",
    "TZOFFSETTO:+0100",
    "END:STANDARD",
    "BEGIN:DAYLIGHT",
    "DTSTART:16010325T020000",
    "RRULE:FREQ=YEARLY;BYDAY=-1SU;BYMONTH=3",
    "TZOFFSETFROM:+0100",
    "TZOFFSETTO:+0200",
    "END:DAYLIGHT",
    "END:VTIMEZONE",
    // Mondays and Wednesdays; one cancelled, one moved within the window,
    // one brought forward from beyond it.
    "BEGIN:VEVENT",
    "UID:standup",
    "SUMMARY:Standup",
    "DTSTART;TZID=\"W. Europe Standard Time\":20261102T093000",
    "DTEND;TZID=\"W. Europe Standard Time\":20261102T094500",
    "RRULE:FREQ=WEEKLY;BYDAY=MO,WE;UNTIL=20261231T225959Z",
    "EXDATE;TZID=\"W. Europe Standard Time\":20261209T093000",
    "END:VEVENT",
    "BEGIN:VEVENT",
    "UID:standup",
    "RECURRENCE-ID;TZID=\"W. Europe Standard Time\":20261214T093000",
    "SUMMARY:Standup (moved)",
    "DTSTART;TZID=\"W. Europe Standard Time\":20261215T140000",
    "DTEND;TZID=\"W. Europe Standard Time\":20261215T141500",
    "END:VEVENT",
    "BEGIN:VEVENT",
    "UID:standup",
    "RECURRENCE-ID;TZID=\"W. Europe Standard Time\":20261228T093000",
    "SUMMARY:Standup (early)",
    "DTSTART;TZID=\"W. Europe Standard Time\":20261218T100000",
    "DURATION:PT15M",
    "END:VEVENT",
    // UNTIL in UTC against a local start: the last day is still in.
    "BEGIN:VEVENT",
    "UID:sprint",
    "SUMMARY:Review\\, plan\\; and",
    "  ship",
    "DTSTART;TZID=Europe/Berlin:20261207T093000",
    "DTEND;TZID=Europe/Berlin:20261207T100000",
    "RRULE:FREQ=DAILY;UNTIL=20261209T083000Z",
    "END:VEVENT",
    // Extra dates, one a period with its own length.
    "BEGIN:VEVENT",
    "UID:workshop",
    "SUMMARY:Workshop",
    "DTSTART:20261201T150000Z",
    "DTEND:20261201T160000Z",
    "RDATE;VALUE=PERIOD:20261210T150000Z/20261210T170000Z",
    "RDATE:20261211T150000Z",
    "END:VEVENT",
    "BEGIN:VEVENT",
    "UID:offsite",
    "SUMMARY:Offsite",
    "DTSTART;VALUE=DATE:20261208",
    "DTEND;VALUE=DATE:20261210",
    "END:VEVENT",
    "BEGIN:VEVENT",
    "UID:call",
    "SUMMARY:Call New York",
    "DTSTART;TZID=America/New_York:20261207T090000",
    "DTEND;TZID=America/New_York:20261207T093000",
    "END:VEVENT",
    "BEGIN:VEVENT",
    "UID:lunch",
    "DTSTART:20261207T120000",
    "DTEND:20261207T130000",
    "END:VEVENT",
    "END:VCALENDAR",
};

TEST_F(IcsFolder, ReadsRecurrencesZonesAndAllDayEventsAsTheirAuthorsMeant) {
    write("work.ics", crlf(kWorkCalendar));
    makeReader();
    const auto events = reader_->eventsMatching(kMonday, kMonday + 14 * kDay, "Europe/Berlin");
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.front().calendar->title, "Work, team");
    ASSERT_TRUE(events.front().calendar->color);
    EXPECT_NEAR(events.front().calendar->color->red, 1.0, 1e-6);
    EXPECT_NEAR(events.front().calendar->color->blue, 0x68 / 255.0, 1e-6);

    const std::vector<Seen> expected = {
        {"Standup", "2026-12-07T08:30Z", "2026-12-07T08:45Z", false},
        {"Standup (moved)", "2026-12-15T13:00Z", "2026-12-15T13:15Z", false},
        {"Standup (early)", "2026-12-18T09:00Z", "2026-12-18T09:15Z", false},
        {"Standup", "2026-12-16T08:30Z", "2026-12-16T08:45Z", false},
        {"Review, plan; and ship", "2026-12-07T08:30Z", "2026-12-07T09:00Z", false},
        {"Review, plan; and ship", "2026-12-08T08:30Z", "2026-12-08T09:00Z", false},
        {"Review, plan; and ship", "2026-12-09T08:30Z", "2026-12-09T09:00Z", false},
        {"Workshop", "2026-12-10T15:00Z", "2026-12-10T17:00Z", false},
        {"Workshop", "2026-12-11T15:00Z", "2026-12-11T16:00Z", false},
        {"Offsite", "2026-12-07T23:00Z", "2026-12-09T23:00Z", true},
        {"Call New York", "2026-12-07T14:00Z", "2026-12-07T14:30Z", false},
        {"-", "2026-12-07T11:00Z", "2026-12-07T12:00Z", false},   // floating: the reader's zone
    };
    std::vector<Seen> seen = read(kMonday, kMonday + 14 * kDay);
    // Within a series the order is by time; across series it is the file's.
    auto byTitleThenStart = [](const Seen& a, const Seen& b) {
        return std::tie(a.title, a.start) < std::tie(b.title, b.start);
    };
    auto sortedExpected = expected;
    std::sort(sortedExpected.begin(), sortedExpected.end(), byTitleThenStart);
    std::sort(seen.begin(), seen.end(), byTitleThenStart);
    EXPECT_EQ(seen, sortedExpected);
    EXPECT_TRUE(notes_.empty()) << notes_.front();

    // The same wall-clock time on both sides of a daylight-saving change.
    write("dst.ics", crlf({"BEGIN:VCALENDAR", "BEGIN:VEVENT", "UID:w", "SUMMARY:Weekly",
                           "DTSTART;TZID=America/New_York:20261026T090000", "DURATION:PT1H",
                           "RRULE:FREQ=WEEKLY", "END:VEVENT", "END:VCALENDAR"}));
    const double october26 = kMonday - 42 * kDay;
    std::vector<Seen> weekly;
    for (const Seen& s : read(october26, october26 + 10 * kDay, "UTC")) {
        if (s.title == "Weekly") weekly.push_back(s);
    }
    EXPECT_EQ(weekly, (std::vector<Seen>{{"Weekly", "2026-10-26T13:00Z", "2026-10-26T14:00Z", false},
                                         {"Weekly", "2026-11-02T14:00Z", "2026-11-02T15:00Z", false}}));
}

TEST_F(IcsFolder, ABrokenFileOrEventLosesOnlyItselfWithOneLine) {
    write("good.ics", crlf({"BEGIN:VCALENDAR", "BEGIN:VEVENT", "UID:a", "SUMMARY:Kept", "DTSTART:20261207T100000Z",
                            "DTEND:20261207T110000Z", "END:VEVENT",
                            "BEGIN:VEVENT", "UID:b", "SUMMARY:No start", "DTSTART:tomorrow", "END:VEVENT",
                            "BEGIN:VEVENT", "UID:c", "SUMMARY:Backwards", "DTSTART:20261207T100000Z",
                            "DTEND:20261207T090000Z", "END:VEVENT",
                            "BEGIN:VEVENT", "UID:d", "SUMMARY:Every second", "DTSTART:20261207T100000Z",
                            "RRULE:FREQ=SECONDLY", "END:VEVENT",
                            // No 30th of February ever comes: libical must not
                            // be left searching for one.
                            "BEGIN:VEVENT", "UID:e", "SUMMARY:Never again", "DTSTART;VALUE=DATE:20261208",
                            "RRULE:FREQ=DAILY;BYMONTH=2;BYMONTHDAY=30", "END:VEVENT", "END:VCALENDAR"}));
    write("garbage.ics", "this is not a calendar\n");
    std::string deep;
    for (int i = 0; i < 100000; ++i) deep += "BEGIN:VEVENT\r\n";
    write("deep.ics", "BEGIN:VCALENDAR\r\n" + deep);
    {
        std::ofstream huge(folder_ / "huge.ics", std::ios::binary);
        huge << "BEGIN:VCALENDAR\r\n";
    }
    fs::resize_file(folder_ / "huge.ics", linuxhost::IcsCalendarFolder::kMaxFileBytes + 1);
    ASSERT_EQ(::mkfifo((folder_ / "pipe.ics").c_str(), 0600), 0);
    write("notes.txt", "not read at all");
    makeReader();

    const auto seen = read(kMonday, kMonday + 7 * kDay);
    EXPECT_EQ(seen, (std::vector<Seen>{{"Kept", "2026-12-07T10:00Z", "2026-12-07T11:00Z", false},
                                       {"Never again", "2026-12-07T23:00Z", "2026-12-08T23:00Z", true}}));
    auto mentions = [&](const std::string& what) {
        return std::count_if(notes_.begin(), notes_.end(), [&](const std::string& n) { return n.find(what) != std::string::npos; });
    };
    for (const char* what : {"No start", "Backwards", "Every second", "garbage.ics", "deep.ics", "huge.ics", "pipe.ics"}) {
        EXPECT_EQ(mentions(what), 1) << what;
    }
    EXPECT_EQ(notes_.size(), 7u);

    // Asked again, nothing is said again; a file that changes is read again.
    read(kMonday, kMonday + 7 * kDay);
    EXPECT_EQ(notes_.size(), 7u);
    write("garbage.ics", crlf({"BEGIN:VCALENDAR", "BEGIN:VEVENT", "UID:f", "SUMMARY:Mended", "DTSTART:20261209T100000Z",
                               "END:VEVENT", "END:VCALENDAR"}));
    fs::remove(folder_ / "good.ics");
    EXPECT_EQ(read(kMonday, kMonday + 7 * kDay),
              (std::vector<Seen>{{"Mended", "2026-12-09T10:00Z", "2026-12-09T10:00Z", false}}));
    EXPECT_EQ(notes_.size(), 7u);
}

// A zone's rules are walked from its first observance up to the times asked
// about; one that changes the clocks every second, or on every day of the
// year, would keep the reader busy for hours. Such a zone is left out and its
// times read as if the file had not defined it.
TEST_F(IcsFolder, AZoneWhoseRulesRecurTooOftenIsIgnoredNotWalked) {
    auto zone = [](const std::string& id, const std::string& rule) {
        return std::vector<std::string>{"BEGIN:VTIMEZONE", "TZID:" + id, "BEGIN:STANDARD", "DTSTART:16011028T030000",
                                        "RRULE:" + rule, "TZOFFSETFROM:+0200", "TZOFFSETTO:+0100", "END:STANDARD",
                                        "END:VTIMEZONE"};
    };
    std::vector<std::string> lines = {"BEGIN:VCALENDAR"};
    for (const auto& part : {zone("Europe/Berlin", "FREQ=SECONDLY"),
                             zone("Nowhere", "FREQ=YEARLY;BYMONTH=1,2,3,4,5,6,7,8,9,10,11,12;BYDAY=MO,TU,WE,TH,FR,SA,SU"),
                             zone("Sundays", "FREQ=YEARLY;BYMONTH=1;BYDAY=SU")}) {
        lines.insert(lines.end(), part.begin(), part.end());
    }
    // Real rules, walked from year 1 as some exports write them: read from
    // an instance near today, they still give both offsets of the year.
    lines.insert(lines.end(), {"BEGIN:VTIMEZONE", "TZID:Old Berlin", "BEGIN:STANDARD", "DTSTART:00011028T030000",
                               "RRULE:FREQ=YEARLY;BYMONTH=10;BYDAY=-1SU", "TZOFFSETFROM:+0200", "TZOFFSETTO:+0100",
                               "END:STANDARD", "BEGIN:DAYLIGHT", "DTSTART:00010325T020000",
                               "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU", "TZOFFSETFROM:+0100", "TZOFFSETTO:+0200",
                               "END:DAYLIGHT", "END:VTIMEZONE", "BEGIN:VEVENT", "UID:summer", "SUMMARY:Summer",
                               "DTSTART;TZID=Old Berlin:20260701T100000", "DURATION:PT1H", "END:VEVENT",
                               "BEGIN:VEVENT", "UID:far", "SUMMARY:Far", "DTSTART;TZID=Old Berlin:30001207T100000",
                               "END:VEVENT"});
    for (const char* id : {"Europe/Berlin", "Nowhere", "Sundays", "Old Berlin"}) {
        lines.insert(lines.end(), {"BEGIN:VEVENT", std::string("UID:") + id, std::string("SUMMARY:") + id,
                                   std::string("DTSTART;TZID=") + id + ":20261207T100000", "DURATION:PT1H",
                                   "END:VEVENT"});
    }
    lines.push_back("END:VCALENDAR");
    write("zones.ics", crlf(lines));
    makeReader();
    // The IANA zone of that name, else the reader's own clock (Berlin here).
    EXPECT_EQ(read(kMonday, kMonday + kDay),
              (std::vector<Seen>{{"Europe/Berlin", "2026-12-07T09:00Z", "2026-12-07T10:00Z", false},
                                 {"Nowhere", "2026-12-07T09:00Z", "2026-12-07T10:00Z", false},
                                 {"Sundays", "2026-12-07T09:00Z", "2026-12-07T10:00Z", false},
                                 {"Old Berlin", "2026-12-07T09:00Z", "2026-12-07T10:00Z", false}}));
    const double july1 = kMonday - 159 * kDay;
    EXPECT_EQ(read(july1, july1 + kDay), (std::vector<Seen>{{"Summer", "2026-07-01T08:00Z", "2026-07-01T09:00Z", false}}));
    EXPECT_EQ(notes_.size(), 3u) << ::testing::PrintToString(notes_);
}

// A TZID comes from the file: it names a zone of the file or of the
// system's database, never a file elsewhere. Here a real zone file lies
// outside the database where "../" steps from it would reach it.
TEST_F(IcsFolder, ATimeZoneIsANameNeverAPath) {
    fs::copy_file("/usr/share/zoneinfo/Asia/Tokyo", folder_ / "tokyo");
    std::string up;
    for (int i = 0; i < 12; ++i) up += "../";
    const std::string outside = up + folder_.relative_path().string() + "/tokyo";
    auto event = [](const std::string& title, const std::string& tzid) {
        return std::vector<std::string>{"BEGIN:VEVENT", "UID:" + title, "SUMMARY:" + title,
                                        "DTSTART;TZID=\"" + tzid + "\":20261207T100000", "DURATION:PT1H",
                                        "END:VEVENT"};
    };
    std::vector<std::string> lines = {"BEGIN:VCALENDAR"};
    for (const auto& e : {event("Relative", outside), event("Prefixed", "/freeassociation.sourceforge.net/x/" + outside),
                          event("Unknown", "Mars/Olympus_Mons"), event("Berlin", "Europe/Berlin"),
                          event("Offset", "Etc/GMT+5")}) {
        lines.insert(lines.end(), e.begin(), e.end());
    }
    lines.push_back("END:VCALENDAR");
    write("zones.ics", crlf(lines));
    makeReader();
    // Unknown zones leave the time floating: the reader's own clock (UTC+1).
    EXPECT_EQ(read(kMonday, kMonday + kDay),
              (std::vector<Seen>{{"Relative", "2026-12-07T09:00Z", "2026-12-07T10:00Z", false},
                                 {"Prefixed", "2026-12-07T09:00Z", "2026-12-07T10:00Z", false},
                                 {"Unknown", "2026-12-07T09:00Z", "2026-12-07T10:00Z", false},
                                 {"Berlin", "2026-12-07T09:00Z", "2026-12-07T10:00Z", false},
                                 {"Offset", "2026-12-07T15:00Z", "2026-12-07T16:00Z", false}}));
    ASSERT_EQ(notes_.size(), 1u);
    EXPECT_NE(notes_[0].find("zones.ics"), std::string::npos) << notes_[0];
    EXPECT_NE(notes_[0].find("nor 2 more"), std::string::npos) << notes_[0];
}

TEST_F(IcsFolder, ANulByteLosesOnlyItsEvent) {
    write("nul.ics", crlf({"BEGIN:VCALENDAR", "BEGIN:VEVENT", "UID:a", "SUMMARY:Before", "DTSTART:20261207T100000Z",
                           "END:VEVENT", "BEGIN:VEVENT", "UID:b", std::string("SUMMARY:Lunch\0with", 18),
                           "DTSTART:20261207T120000Z", "END:VEVENT", "BEGIN:VEVENT", "UID:c", "SUMMARY:After",
                           "DTSTART:20261207T140000Z", "END:VEVENT", "END:VCALENDAR"}));
    makeReader();
    EXPECT_EQ(read(kMonday, kMonday + kDay),
              (std::vector<Seen>{{"Before", "2026-12-07T10:00Z", "2026-12-07T10:00Z", false},
                                 {"After", "2026-12-07T14:00Z", "2026-12-07T14:00Z", false}}));
    ASSERT_EQ(notes_.size(), 1u);
    EXPECT_NE(notes_[0].find("event 2"), std::string::npos) << notes_[0];
    EXPECT_NE(notes_[0].find("NUL"), std::string::npos) << notes_[0];
}

// Counted rules run from DTSTART; one that began decades ago must still be
// answered for today, ending where its count ends.
TEST_F(IcsFolder, ACountedRuleFromLongAgoIsAnsweredForToday) {
    auto rule = [](const std::string& title, const std::string& start, const std::string& rrule) {
        return std::vector<std::string>{"BEGIN:VEVENT", "UID:" + title, "SUMMARY:" + title, "DTSTART" + start,
                                        "DURATION:PT30M", "RRULE:" + rrule, "END:VEVENT"};
    };
    std::vector<std::string> lines = {"BEGIN:VCALENDAR"};
    // 2026-12-08 is the 20,796th day from 1970-01-01 on.
    for (const auto& e : {rule("Daily", ":19700101T090000Z", "FREQ=DAILY;COUNT=36500"),
                          rule("Ends Tuesday", ":19700101T070000Z", "FREQ=DAILY;COUNT=20796"),
                          rule("Ended", ":19700101T080000Z", "FREQ=DAILY;COUNT=20794"),
                          rule("Weekdays", ";TZID=Europe/Berlin:19900101T110000",
                               "FREQ=WEEKLY;BYDAY=MO,TU,WE,TH,FR;COUNT=9999"),
                          rule("First Monday", ":19700105T120000Z", "FREQ=MONTHLY;BYDAY=1MO;COUNT=700")}) {
        lines.insert(lines.end(), e.begin(), e.end());
    }
    lines.push_back("END:VCALENDAR");
    write("old.ics", crlf(lines));
    makeReader();
    std::vector<Seen> seen = read(kMonday, kMonday + 3 * kDay);
    std::sort(seen.begin(), seen.end(), [](const Seen& a, const Seen& b) { return a.start < b.start; });
    EXPECT_EQ(seen, (std::vector<Seen>{{"Ends Tuesday", "2026-12-07T07:00Z", "2026-12-07T07:30Z", false},
                                       {"Daily", "2026-12-07T09:00Z", "2026-12-07T09:30Z", false},
                                       {"Weekdays", "2026-12-07T10:00Z", "2026-12-07T10:30Z", false},
                                       {"First Monday", "2026-12-07T12:00Z", "2026-12-07T12:30Z", false},
                                       {"Ends Tuesday", "2026-12-08T07:00Z", "2026-12-08T07:30Z", false},
                                       {"Daily", "2026-12-08T09:00Z", "2026-12-08T09:30Z", false},
                                       {"Weekdays", "2026-12-08T10:00Z", "2026-12-08T10:30Z", false},
                                       {"Daily", "2026-12-09T09:00Z", "2026-12-09T09:30Z", false},
                                       {"Weekdays", "2026-12-09T10:00Z", "2026-12-09T10:30Z", false}}));
    EXPECT_TRUE(notes_.empty()) << notes_.front();
}

// The same counted rules walked the slow way, instance by instance from
// DTSTART with libical alone, give the same occurrences near today: skipping
// whole periods must neither lose nor add one, across a daylight-saving
// change and at the edges of the count.
TEST_F(IcsFolder, ACountedRuleSkippedAheadMatchesTheWalkFromItsStart) {
    struct Case {
        const char* start;   // wall clock in New York
        const char* rule;
    };
    const Case cases[] = {
        {"19700102T090000", "FREQ=DAILY;INTERVAL=3;COUNT=6935"},
        {"19700102T090000", "FREQ=DAILY;INTERVAL=3;COUNT=6926"},
        {"19900101T083000", "FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,WE;COUNT=1926"},
        {"19900102T170000", "FREQ=DAILY;BYDAY=TU,TH;COUNT=3853"},
        {"19800101T090000", "FREQ=DAILY;BYHOUR=9,13;COUNT=34251"},
        {"19851103T010000", "FREQ=WEEKLY;BYDAY=SU,SA;BYHOUR=1,22;BYMINUTE=0,30;COUNT=17140"},
    };
    icaltimezone* york = icaltimezone_get_builtin_timezone("America/New_York");
    const double from = kMonday - 40 * kDay, to = kMonday + 3 * kDay;
    for (const Case& c : cases) {
        write("counted.ics", crlf({"BEGIN:VCALENDAR", "BEGIN:VEVENT", "UID:c", "SUMMARY:Counted",
                                   std::string("DTSTART;TZID=America/New_York:") + c.start, "DURATION:PT10M",
                                   std::string("RRULE:") + c.rule, "END:VEVENT", "END:VCALENDAR"}));
        makeReader();
        std::vector<std::string> walked;
        icaltimetype start = icaltime_from_string(c.start);
        start.zone = york;
        icalrecur_iterator* walk = icalrecur_iterator_new(icalrecurrencetype_from_string(c.rule), start);
        for (icaltimetype next = icalrecur_iterator_next(walk); !icaltime_is_null_time(next) && next.year < 2028;
             next = icalrecur_iterator_next(walk)) {
            const double at = static_cast<double>(icaltime_as_timet_with_zone(next, york));
            if (at + 600 > from && at < to) walked.push_back(iso(at));
        }
        icalrecur_iterator_free(walk);
        std::vector<std::string> read;
        for (const Seen& s : this->read(from, to, "UTC")) read.push_back(s.start);
        EXPECT_EQ(read, walked) << c.rule;
        EXPECT_TRUE(notes_.empty()) << c.rule;
    }
}

// One query of the folder has one budget, whatever the files do: a huge
// title is cut and shared, a file of minute-by-minute rules is cut short with
// one line, and names that lead to one file are one calendar.
TEST_F(IcsFolder, OneQueryHasOneBudgetForTheWholeFolder) {
    write("a-title.ics", crlf({"BEGIN:VCALENDAR", "BEGIN:VEVENT", "UID:t", "SUMMARY;ALTREP=\"https://example.org:8443/a\":" + std::string(300000, 'x'),
                               "DTSTART:20261201T000000Z", "RRULE:FREQ=HOURLY", "END:VEVENT", "END:VCALENDAR"}));
    std::string minutes;
    for (int m = 0; m < 60; ++m) minutes += (m ? "," : "") + std::to_string(m);
    std::vector<std::string> busy = {"BEGIN:VCALENDAR"};
    for (int i = 0; i < 40; ++i) {
        busy.insert(busy.end(), {"BEGIN:VEVENT", "UID:m" + std::to_string(i), "SUMMARY:Minute " + std::to_string(i),
                                 "DTSTART:20261201T000000Z", "RRULE:FREQ=HOURLY;BYMINUTE=" + minutes, "END:VEVENT"});
    }
    busy.push_back("END:VCALENDAR");
    write("b-minutes.ics", crlf(busy));
    write("c-shared.ics", crlf({"BEGIN:VCALENDAR", "BEGIN:VEVENT", "UID:s", "SUMMARY:Shared", "DTSTART:20261207T100000Z",
                                "END:VEVENT", "BEGIN:VEVENT", "UID:n", "SUMMARY:No start", "END:VEVENT",
                                "END:VCALENDAR"}));
    for (const char* link : {"d-link.ics", "e-link.ics", "f-link.ics"}) fs::create_symlink(folder_ / "c-shared.ics", folder_ / link);
    makeReader();

    const auto events = reader_->eventsMatching(kMonday, kMonday + kDay, "UTC");
    std::size_t titled = 0, minutesSeen = 0, shared = 0;
    for (const auto& e : events) {
        if (e.title && e.title->starts_with("xxx")) {
            ++titled;
            EXPECT_LE(e.title->size(), 300u);
        }
        if (e.title && e.title->starts_with("Minute")) ++minutesSeen;
        if (e.title == "Shared") ++shared;
    }
    EXPECT_EQ(titled, 24u);   // every hour of the day, each with the cut title
    EXPECT_GT(minutesSeen, 0u);
    EXPECT_LE(events.size(), linuxhost::IcsBudget::kSteps);
    EXPECT_EQ(shared, 0u);   // the budget was spent before this file's turn
    auto mentions = [&](const std::string& what) {
        return std::count_if(notes_.begin(), notes_.end(), [&](const std::string& n) { return n.find(what) != std::string::npos; });
    };
    EXPECT_EQ(mentions("b-minutes.ics"), 1);
    EXPECT_EQ(mentions("No start"), 0);   // its events were not read yet

    // Without the minute rules, the shared file is listed once, and its
    // broken event named once, not once per name.
    fs::remove(folder_ / "b-minutes.ics");
    shared = 0;
    for (const auto& e : reader_->eventsMatching(kMonday, kMonday + kDay, "UTC")) shared += e.title == "Shared";
    EXPECT_EQ(shared, 1u);
    EXPECT_EQ(mentions("b-minutes.ics"), 1);
    EXPECT_EQ(mentions("No start"), 1);
}

// libical reads a file's events one at a time, and only those a window may
// hold: events long past cost a look at their text, not a reading. When one
// look at the calendars cannot read all the events the window needs, the
// file is cut part-way: what was read is listed, in file order, and one line
// names the file. An event no look could read is left out on its own.
TEST_F(IcsFolder, AFileTooLargeForOneLookIsCutPartWayWithOneLine) {
    const std::string title(250, 't');
    std::vector<std::string> past = {"BEGIN:VCALENDAR"};
    for (int i = 0; i < 1800; ++i) {
        past.insert(past.end(), {"BEGIN:VEVENT", "UID:p" + std::to_string(i), "SUMMARY:" + title,
                                 "DTSTART:20200101T100000Z", "DTEND:20200101T110000Z", "END:VEVENT"});
    }
    past.insert(past.end(), {"BEGIN:VEVENT", "UID:today", "SUMMARY:Today", "DTSTART:20261207T100000Z", "END:VEVENT",
                             "END:VCALENDAR"});
    write("a-past.ics", crlf(past));
    // Each event holds more than its title: these are more than the budget.
    const int count = static_cast<int>(linuxhost::IcsBudget::kEventBytes / title.size());
    std::vector<std::string> busy = {"BEGIN:VCALENDAR"};
    for (int i = 0; i < count; ++i) {
        busy.insert(busy.end(), {"BEGIN:VEVENT", "UID:b" + std::to_string(i), "SUMMARY:" + std::to_string(i) + " " + title,
                                 "DTSTART:20261207T120000Z", "END:VEVENT"});
    }
    busy.push_back("END:VCALENDAR");
    write("b-busy.ics", crlf(busy));
    // One event no look could read leaves out only itself.
    std::vector<std::string> huge = {"BEGIN:VCALENDAR", "BEGIN:VEVENT", "UID:h", "DTSTART:20261207T090000Z"};
    std::string dates = "RDATE:20261207T090000Z";
    while (dates.size() < 60000) dates += ",20261207T090000Z";
    for (std::size_t bytes = 0; bytes <= linuxhost::IcsBudget::kEventBytes; bytes += dates.size()) huge.push_back(dates);
    huge.insert(huge.end(), {"END:VEVENT", "BEGIN:VEVENT", "UID:after", "SUMMARY:After", "DTSTART:20261207T110000Z",
                             "END:VEVENT", "END:VCALENDAR"});
    write("0-huge.ics", crlf(huge));
    makeReader();

    for (int look = 0; look < 2; ++look) {
        std::vector<int> listed;
        bool today = false, after = false;
        for (const auto& e : reader_->eventsMatching(kMonday, kMonday + kDay, "UTC")) {
            today = today || e.title == "Today";
            after = after || e.title == "After";
            if (e.title && e.title->size() > title.size()) listed.push_back(std::stoi(*e.title));
        }
        EXPECT_TRUE(today && after);
        ASSERT_GT(listed.size(), 0u);
        EXPECT_LT(listed.size(), static_cast<std::size_t>(count));
        for (std::size_t i = 0; i < listed.size(); ++i) EXPECT_EQ(listed[i], static_cast<int>(i));
        ASSERT_EQ(notes_.size(), 2u) << ::testing::PrintToString(notes_);
        EXPECT_NE(notes_[0].find("0-huge.ics: event 1 "), std::string::npos) << notes_[0];
        EXPECT_NE(notes_[1].find("b-busy.ics"), std::string::npos) << notes_[1];
    }
}

TEST(IcsWriter, WhatTheSimulatedAccountSavesReadsBack) {
    const fs::path folder = fs::temp_directory_path() / ("ics-writer-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    linuxhost::IcsEventRecord timed{"Dentist, 2\\3; \"x\"", false, kMonday + 9.5 * 3600, kMonday + 10 * 3600};
    linuxhost::IcsEventRecord untitled{std::nullopt, true, 0, 0, 2026, 12, 31, 2};
    std::ofstream(folder / "a.ics") << linuxhost::icsText("Home/Family", "#123456", {timed, untitled});
    linuxhost::IcsCalendarFolder reader(folder.string(), nullptr);
    const auto events = reader.eventsMatching(kMonday, kMonday + 30 * kDay, "Pacific/Auckland");
    fs::remove_all(folder);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].title, timed.title);
    EXPECT_EQ(events[0].startDate, timed.start);
    EXPECT_FALSE(events[1].title);
    EXPECT_TRUE(events[1].isAllDay);
    EXPECT_EQ(events[1].calendar->title, "Home/Family");
    EXPECT_NEAR(events[1].calendar->color->green, 0x34 / 255.0, 1e-6);
    // Midnight in Auckland (UTC+13 in summer) to midnight two days on.
    EXPECT_EQ(iso(events[1].startDate), "2026-12-30T11:00Z");
    EXPECT_EQ(events[1].endDate - events[1].startDate, 2 * kDay);
}

}  // namespace
