#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tools/ScenarioOutput.h"

namespace {

namespace fs = std::filesystem;
using scenariotest::Printed;
using scenariotest::run;

// A calendar file someone sent, seen from outside: a time zone given as a
// path, an event with a NUL byte in its title, and a daily rule counted from
// 1970. The events the store lists are what a user would see; the calendar
// store's own complaints go to the runner's standard error.
TEST(CalendarScenario, AHostileFileLosesOnlyWhatItBreaks) {
    const fs::path file = fs::temp_directory_path() / ("durazizi-invite-" + std::to_string(::getpid()) + ".ics");
    std::ofstream(file, std::ios::binary)
        << "BEGIN:VCALENDAR\r\nX-WR-CALNAME:Invite\r\n"
           "BEGIN:VEVENT\r\nUID:a\r\nSUMMARY:Path zone\r\n"
           "DTSTART;TZID=../../../../../../../var/spool/a.fifo:20261207T100000\r\nDURATION:PT1H\r\nEND:VEVENT\r\n"
           "BEGIN:VEVENT\r\nUID:b\r\nSUMMARY:Lunch"
        << std::string(1, '\0')
        << "\r\nDTSTART:20261207T120000Z\r\nEND:VEVENT\r\n"
           "BEGIN:VEVENT\r\nUID:c\r\nSUMMARY:Since 1970\r\nDTSTART:19700101T150000Z\r\n"
           "RRULE:FREQ=DAILY;COUNT=20796\r\nEND:VEVENT\r\n"
           "END:VCALENDAR\r\n";
    const Printed r = run("screen 0,0,1440,900\ntimezone UTC\ncalendar-access 3\ncalendar-file " + file.string() +
                          "\nlaunch\nquery calendar\n");
    fs::remove(file);
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(r.lines.size(), 1u);
    EXPECT_EQ(r.lines[0], "{\"status\":3,\"requests\":0,\"events\":["
                          "{\"title\":\"Path zone\",\"start\":\"2026-12-07T10:00:00Z\",\"allDay\":false,\"calendar\":\"Invite\"},"
                          "{\"title\":\"Since 1970\",\"start\":\"2026-12-07T15:00:00Z\",\"allDay\":false,\"calendar\":\"Invite\"},"
                          "{\"title\":\"Since 1970\",\"start\":\"2026-12-08T15:00:00Z\",\"allDay\":false,\"calendar\":\"Invite\"}]}");
    EXPECT_NE(r.err.find("a.fifo\" is no zone this system knows"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("event 2 holds a NUL byte; skipped"), std::string::npos) << r.err;
}

}  // namespace
