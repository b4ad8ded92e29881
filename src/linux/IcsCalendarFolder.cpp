#include "linux/IcsCalendarFolder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <set>

namespace linuxhost {

namespace {

bool endsWithIcs(const std::string& name) {
    if (name.size() <= 4) return false;
    std::string tail = name.substr(name.size() - 4);
    std::transform(tail.begin(), tail.end(), tail.begin(), [](unsigned char c) { return std::tolower(c); });
    return tail == ".ics";
}

std::int64_t nanoseconds(const struct timespec& t) {
    return static_cast<std::int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

// Reads a regular file of at most `limit` bytes. Opening does not block
// (a FIFO put in the folder would otherwise wait for a writer forever),
// and what was opened is checked again, as the name may have been swapped.
std::optional<std::string> readBounded(const std::string& path, std::uintmax_t limit, std::string& why) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        why = std::strerror(errno);
        return std::nullopt;
    }
    struct stat info{};
    std::optional<std::string> text;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        why = "not a regular file";
    } else if (static_cast<std::uintmax_t>(info.st_size) > limit) {
        why = "larger than " + std::to_string(limit >> 20) + " MB";
    } else {
        std::string buffer;
        buffer.resize(static_cast<std::size_t>(info.st_size) + 1);
        std::size_t used = 0;
        // The file may grow while we read: stop at the limit all the same.
        while (true) {
            if (used == buffer.size()) {
                if (buffer.size() > limit) break;
                buffer.resize(std::min<std::uintmax_t>(buffer.size() * 2, limit + 1));
            }
            const ssize_t got = ::read(fd, buffer.data() + used, buffer.size() - used);
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) {
                why = std::strerror(errno);
                break;
            }
            if (got == 0) {
                buffer.resize(used);
                text = std::move(buffer);
                break;
            }
            used += static_cast<std::size_t>(got);
        }
        if (!text && why.empty()) why = "larger than " + std::to_string(limit >> 20) + " MB";
    }
    ::close(fd);
    return text;
}

// libical keeps nested components on a stack of its own but frees them
// recursively: refuse absurd nesting before it gets there.
bool nestedTooDeeply(std::string_view text, int limit) {
    int depth = 0;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(at, end - at);
        at = end + 1;
        auto startsWith = [&](std::string_view word) {
            if (line.size() < word.size()) return false;
            for (std::size_t i = 0; i < word.size(); ++i) {
                if (std::toupper(static_cast<unsigned char>(line[i])) != word[i]) return false;
            }
            return true;
        };
        if (startsWith("BEGIN:")) {
            if (++depth > limit) return true;
        } else if (startsWith("END:")) {
            depth = std::max(depth - 1, 0);
        }
    }
    return false;
}

}  // namespace

IcsCalendarFolder::IcsCalendarFolder(std::string folder, Diagnostic diagnostic)
    : folder_(std::move(folder)), diagnostic_(std::move(diagnostic)) {}

IcsCalendarFolder::~IcsCalendarFolder() = default;

std::string IcsCalendarFolder::folderFor(const std::string& dataHome) { return dataHome + "/durazizi/calendars"; }

void IcsCalendarFolder::refresh(IcsBudget& budget) {
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(folder_.c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            std::string name = entry->d_name;
            if (name.starts_with('.') || !endsWithIcs(name)) continue;
            names.push_back(std::move(name));
        }
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end());
    if (names.size() > kMaxFiles) {
        if (diagnostic_ && !files_.contains(names[kMaxFiles])) {
            diagnostic_("calendars: more than " + std::to_string(kMaxFiles) + " files; the rest are not read");
        }
        names.resize(kMaxFiles);
    }

    std::set<std::string> present(names.begin(), names.end());
    std::erase_if(files_, [&](const auto& item) { return !present.contains(item.first); });

    auto say = [&](const std::string& line) {
        if (diagnostic_) diagnostic_("calendars: " + line);
    };
    // Each file once, whatever number of names lead to it.
    std::map<std::pair<std::uint64_t, std::uint64_t>, const Entry*> files;
    std::uintmax_t held = 0;
    std::string fullAt;
    bool parsed = false;
    for (const std::string& name : names) {
        const std::string path = folder_ + "/" + name;
        struct stat info{};
        Entry& entry = files_[name];
        if (::stat(path.c_str(), &info) != 0) {
            entry = Entry{};
            continue;
        }
        const auto key = std::make_pair(static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino));
        const auto size = static_cast<std::uint64_t>(info.st_size);
        const bool unchanged = entry.device == key.first && entry.inode == key.second && entry.size == size &&
                               entry.modified == nanoseconds(info.st_mtim) && entry.seen;
        if (auto same = files.find(key); same != files.end() && S_ISREG(info.st_mode)) {
            if (!unchanged) {
                entry = *same->second;
                entry.seen = same->second->seen;
            }
            continue;
        }
        // A file over the size of one is refused by its size alone, below.
        const bool readable = S_ISREG(info.st_mode) && size <= kMaxFileBytes;
        if (readable) {
            // Past the folder's bytes: this file and the ones after it are
            // left out (and looked at again once the folder changes).
            if (!fullAt.empty() || held + size > kMaxFolderBytes) {
                if (fullAt.empty()) fullAt = name;
                entry = Entry{};
                continue;
            }
            held += size;
        }
        if (unchanged) {
            files.emplace(key, &entry);
            continue;
        }
        // A file that does not fit in what is left of this query's reading
        // waits for the next query; the version read before stays meanwhile.
        if (readable && parsed && size > budget.parseBytes) continue;
        entry = Entry{};
        entry.device = key.first;
        entry.inode = key.second;
        entry.size = size;
        entry.modified = nanoseconds(info.st_mtim);
        entry.seen = true;
        files.emplace(key, &entry);
        if (!S_ISREG(info.st_mode)) {
            say(name + ": not a regular file; skipped");
            continue;
        }
        std::string why;
        auto text = readBounded(path, kMaxFileBytes, why);
        if (!text) {
            say(name + ": " + why + "; skipped");
            continue;
        }
        parsed = true;
        budget.parseBytes -= std::min<std::size_t>(budget.parseBytes, text->size());
        if (nestedTooDeeply(*text, kMaxNesting)) {
            say(name + ": components nested more than " + std::to_string(kMaxNesting) + " deep; skipped");
            continue;
        }
        entry.calendar = IcsCalendar::parse(*text, name, say);
    }
    if (!fullAt.empty() && fullAt != toldFullAt_) {
        say(fullAt + ": the calendars hold more than " + std::to_string(kMaxFolderBytes >> 20) +
            " MB; this file and those after it are not read");
    }
    toldFullAt_ = fullAt;
}

std::vector<platform::EKEvent> IcsCalendarFolder::eventsMatching(double start, double end, const std::string& timeZone) {
    std::lock_guard lock(mutex_);
    IcsBudget budget;
    refresh(budget);
    std::vector<platform::EKEvent> events;
    std::set<const IcsCalendar*> listed;
    for (const auto& [name, entry] : files_) {
        if (entry.calendar && listed.insert(entry.calendar.get()).second) {
            entry.calendar->eventsMatching(start, end, timeZone, events, budget);
        }
    }
    return events;
}

}  // namespace linuxhost
