#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "linux/IcsCalendar.h"
#include "platform/CalendarStore.h"

namespace linuxhost {

// The calendars of one folder: every regular `*.ics` file in it is one
// calendar. Files are read again only when they change, so a query costs
// the expansion of the window and a stat per file. Anything in the folder
// may be hostile: only regular files up to a size are read, without
// blocking, and a file that cannot be read or parsed loses only itself,
// with one diagnostic line per version of the file. Each query has one
// budget (`IcsBudget`) for the whole folder; names that lead to the same
// file (links) are one calendar, read and counted once.
class IcsCalendarFolder {
public:
    using Diagnostic = std::function<void(const std::string&)>;

    static constexpr std::uintmax_t kMaxFileBytes = 4u << 20;
    static constexpr std::size_t kMaxFiles = 256;
    // What the folder's calendars may hold in all, files counted once.
    static constexpr std::uintmax_t kMaxFolderBytes = 16u << 20;
    // Nesting deeper than any calendar needs; libical frees components recursively.
    static constexpr int kMaxNesting = 8;

    IcsCalendarFolder(std::string folder, Diagnostic diagnostic);
    ~IcsCalendarFolder();

    const std::string& folder() const { return folder_; }

    // Occurrences overlapping [start, end) from every calendar, files in
    // name order; floating times and all-day dates in `timeZone`.
    std::vector<platform::EKEvent> eventsMatching(double start, double end, const std::string& timeZone);

    // $XDG_DATA_HOME/durazizi/calendars, with ~/.local/share for an unset
    // or relative XDG_DATA_HOME.
    static std::string folderFor(const std::string& dataHome);

private:
    struct Entry {
        std::uint64_t device = 0, inode = 0, size = 0;
        std::int64_t modified = 0;   // nanoseconds
        bool seen = false;           // this version was looked at
        std::shared_ptr<IcsCalendar> calendar;   // null when the file is unusable
    };
    void refresh(IcsBudget& budget);

    std::string folder_;
    Diagnostic diagnostic_;
    std::mutex mutex_;
    std::map<std::string, Entry> files_;
    std::string toldFullAt_;   // the file where the folder's bytes last ran out
};

}  // namespace linuxhost
