#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "linux/IcsCalendarFolder.h"
#include "linux/IcsWriter.h"

namespace sim {
class Desktop;
}

namespace scenario {

// The user's calendars in a run's home: the folder of .ics files the
// simulated store reads through the real reader, and the files the
// scenario's `event` lines are saved to, one per calendar, as a calendar
// application would save them.
class CalendarAccount {
public:
    CalendarAccount(sim::Desktop& desktop, const std::string& dataHome,
                    std::function<void(const std::string&)> diagnostic);

    const std::string& folder() const { return reader_->folder(); }
    // Where relative `calendar-file` paths start.
    void setScenarioFolder(std::string folder) { scenarioFolder_ = std::move(folder); }

    // Saves the event into its calendar's file; the calendar's colour is
    // set by the first event that names one.
    std::optional<std::string> addEvent(const std::string& calendar, const std::optional<std::string>& color,
                                        const linuxhost::IcsEventRecord& event);
    std::optional<std::string> copyFile(const std::string& path);

private:
    struct Calendar {
        std::string fileName;
        std::optional<std::string> color;
        std::vector<linuxhost::IcsEventRecord> events;
    };
    std::optional<std::string> save(const std::string& name, const Calendar& calendar);

    std::shared_ptr<linuxhost::IcsCalendarFolder> reader_;
    std::string scenarioFolder_ = ".";
    std::map<std::string, Calendar> calendars_;
};

}  // namespace scenario
