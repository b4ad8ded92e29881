#include "app/Diag.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <mutex>
#include <optional>

#include "platform/Platform.h"

namespace durazizi::Diag {

namespace {

// What one process decides once: whether to log, and where.
struct ProcessState {
    std::mutex mutex;
    unsigned generation = 0;
    std::optional<bool> enabled;
    std::optional<std::string> path;
    std::optional<std::string> logFolder;   // present when the path lies in the library
    bool folderMade = false;
};

// Never destroyed: a background completion may still log while the process exits.
ProcessState& processState() {
    static ProcessState* state = new ProcessState();
    return *state;
}

// Installing a platform starts a new process as far as the system can tell;
// everything decided "once per process" is decided again.
void forgetIfNewProcess(ProcessState& state) {
    unsigned generation = platform::processGeneration();
    if (state.generation == generation) return;
    state.generation = generation;
    state.enabled.reset();
    state.path.reset();
    state.logFolder.reset();
    state.folderMade = false;
}

struct Location {
    std::string path;
    std::optional<std::string> folder;
};

Location locate() {
    platform::Files& files = platform::current().files();
    auto libraries = files.urlsForDirectory(platform::NSLibraryDirectory, platform::NSUserDomainMask);
    if (!libraries.empty()) {
        std::string folder = libraries.front();
        if (folder.empty() || folder.back() != '/') folder += '/';
        folder += "Logs";
        return {folder + "/Durazizi.log", folder};
    }
    // NSTemporaryDirectory already ends with a slash.
    return {files.temporaryDirectory() + "Durazizi.log", std::nullopt};
}

bool isEnabled() {
    ProcessState& state = processState();
    unsigned generation;
    {
        std::lock_guard<std::mutex> guard(state.mutex);
        forgetIfNewProcess(state);
        if (state.enabled) return *state.enabled;
        generation = state.generation;
    }
    // Read outside the lock: the defaults may report through their own channel.
    bool enabled = platform::current().defaults().boolForKey("DuraziziDebugLog");
    std::lock_guard<std::mutex> guard(state.mutex);
    forgetIfNewProcess(state);
    if (state.generation == generation && !state.enabled) state.enabled = enabled;
    return state.enabled.value_or(enabled);
}

Location currentLocation() {
    ProcessState& state = processState();
    unsigned generation;
    {
        std::lock_guard<std::mutex> guard(state.mutex);
        forgetIfNewProcess(state);
        if (state.path) return {*state.path, state.logFolder};
        generation = state.generation;
    }
    Location location = locate();
    std::lock_guard<std::mutex> guard(state.mutex);
    forgetIfNewProcess(state);
    if (state.generation == generation && !state.path) {
        state.path = location.path;
        state.logFolder = location.folder;
    }
    return location;
}

// The log folder is made once, and only once something is logged.
void makeFolderOnce(const Location& location) {
    if (!location.folder) return;
    ProcessState& state = processState();
    // Held while creating: a thread that finds the folder "made" must find it
    // on disk too, or its first line is lost.
    std::lock_guard<std::mutex> guard(state.mutex);
    if (state.folderMade) return;
    std::error_code ignored;
    std::filesystem::create_directories(*location.folder, ignored);
    state.folderMade = true;
}

// NSDate's description: "2026-12-05 13:36:01 +0000", always UTC.
std::string timestamp(double secondsSince1970) {
    if (!std::isfinite(secondsSince1970)) secondsSince1970 = 0;
    // gmtime cannot take years past 9999 in this format anyway.
    secondsSince1970 = std::clamp(secondsSince1970, -62135596800.0, 253402300799.0);
    std::time_t seconds = static_cast<std::time_t>(std::floor(secondsSince1970));
    std::tm parts {};
    ::gmtime_r(&seconds, &parts);
    char text[40];
    std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S +0000", &parts);
    return std::string(text, length);
}

// Titles and application names come from other programs: a line break in
// one would start a line of its own that reads like ours. Control
// characters, and the Unicode ones that viewers take for line breaks, are
// written as escapes instead.
std::string escaped(const std::string& message) {
    std::string out;
    out.reserve(message.size());
    char code[12];
    for (std::size_t i = 0; i < message.size(); ++i) {
        const auto c = static_cast<unsigned char>(message[i]);
        if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20 || c == 0x7F) {
            std::snprintf(code, sizeof code, "\\x%02X", c);
            out += code;
        } else if (c == 0xC2 && i + 1 < message.size() && static_cast<unsigned char>(message[i + 1]) >= 0x80 &&
                   static_cast<unsigned char>(message[i + 1]) <= 0x9F) {
            std::snprintf(code, sizeof code, "\\u{%X}", static_cast<unsigned char>(message[i + 1]));
            out += code;
            ++i;
        } else if (c == 0xE2 && i + 2 < message.size() && static_cast<unsigned char>(message[i + 1]) == 0x80 &&
                   (static_cast<unsigned char>(message[i + 2]) == 0xA8 ||
                    static_cast<unsigned char>(message[i + 2]) == 0xA9)) {
            out += static_cast<unsigned char>(message[i + 2]) == 0xA8 ? "\\u{2028}" : "\\u{2029}";
            i += 2;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

}  // namespace

void log(const std::string& message) {
    if (!isEnabled()) return;
    Location location = currentLocation();
    makeFolderOnce(location);

    std::string line = "[" + timestamp(platform::current().clock().now()) + "] " + escaped(message) + "\n";
    // O_APPEND with one write per line: lines from many threads (and from
    // other processes) land whole, one after another, never spliced.
    // O_NONBLOCK: opening a FIFO would wait for a reader, on whichever thread
    // logs, the main one included.
    int fd = ::open(location.path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0644);
    if (fd < 0) return;   // an unwritable log loses the line, silently
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);   // only a plain file is a log; a FIFO or a device loses the line
        return;
    }
    while (::write(fd, line.data(), line.size()) < 0 && errno == EINTR) {
    }
    ::close(fd);
}

std::string path() { return currentLocation().path; }

}  // namespace durazizi::Diag
