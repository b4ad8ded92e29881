#include "tools/scenario/CalendarAccount.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "sim/Desktop.h"
#include "sim/SimCalendarStore.h"
#include "sim/SimLocale.h"

namespace scenario {

namespace {

std::string fileNameFor(const std::string& calendar) {
    std::string name;
    for (unsigned char c : calendar) name += std::isalnum(c) || c == '-' || c == '_' || c == ' ' ? char(c) : '_';
    if (name.empty()) name = "_";
    return name;
}

}  // namespace

CalendarAccount::CalendarAccount(sim::Desktop& desktop, const std::string& dataHome,
                                 std::function<void(const std::string&)> diagnostic)
    : reader_(std::make_shared<linuxhost::IcsCalendarFolder>(linuxhost::IcsCalendarFolder::folderFor(dataHome),
                                                             std::move(diagnostic))) {
    desktop.calendarStore().useReader([reader = reader_, &locale = desktop.locale()](double start, double end) {
        return reader->eventsMatching(start, end, locale.currentTimeZoneName());
    });
}

std::optional<std::string> CalendarAccount::addEvent(const std::string& name, const std::optional<std::string>& color,
                                                     const linuxhost::IcsEventRecord& event) {
    auto [it, added] = calendars_.try_emplace(name);
    Calendar& calendar = it->second;
    if (added) {
        std::string file = fileNameFor(name);
        for (int n = 2; std::any_of(calendars_.begin(), calendars_.end(), [&](const auto& other) {
                 return &other.second != &calendar && other.second.fileName == file + ".ics";
             });
             ++n) {
            file = fileNameFor(name) + "-" + std::to_string(n);
        }
        calendar.fileName = file + ".ics";
    }
    if (color && calendar.color && *calendar.color != *color) {
        return "calendar \"" + name + "\" already has the colour " + *calendar.color;
    }
    if (color) calendar.color = color;
    calendar.events.push_back(event);
    return save(name, calendar);
}

// Written aside and renamed, so the reader never sees half a file.
std::optional<std::string> CalendarAccount::save(const std::string& name, const Calendar& calendar) {
    std::error_code error;
    std::filesystem::create_directories(folder(), error);
    const std::string path = folder() + "/" + calendar.fileName;
    const std::string temporary = folder() + "/." + calendar.fileName + ".new";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << linuxhost::icsText(name, calendar.color, calendar.events);
        if (!out) return "cannot write " + temporary;
    }
    std::filesystem::rename(temporary, path, error);
    if (error) return "cannot write " + path + ": " + error.message();
    return std::nullopt;
}

std::optional<std::string> CalendarAccount::copyFile(const std::string& given) {
    std::filesystem::path source = given;
    if (source.is_relative()) source = std::filesystem::path(scenarioFolder_) / source;
    std::error_code error;
    // Only a regular file: copying a FIFO or a device would never end.
    const auto status = std::filesystem::status(source, error);
    if (error || !std::filesystem::is_regular_file(status)) return given + " is not a regular file";
    if (std::filesystem::file_size(source, error) > 2 * linuxhost::IcsCalendarFolder::kMaxFileBytes || error) {
        return given + " is too large for a calendar";
    }
    std::filesystem::create_directories(folder(), error);
    // The store reads only .ics files.
    std::string name = source.filename().string();
    if (!name.ends_with(".ics")) name += ".ics";
    const auto target = std::filesystem::path(folder()) / name;
    std::filesystem::copy_file(source, target, std::filesystem::copy_options::overwrite_existing, error);
    if (error) return "cannot copy " + given + ": " + error.message();
    return std::nullopt;
}

}  // namespace scenario
