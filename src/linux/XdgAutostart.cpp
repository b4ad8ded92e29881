#include "linux/XdgAutostart.h"

#include <unistd.h>

#include <cerrno>
#include <string_view>

#include "linux/AtomicFile.h"

namespace linuxhost {

namespace {

std::string_view trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
    return text;
}

// The Exec key names the program as one argument: arguments holding reserved
// characters go in double quotes with ", `, $ and \ escaped; then the whole
// value gets the general string escapes (so a backslash in a quoted argument
// ends up as four) and % is doubled because it starts field codes.
std::string execValue(const std::string& executable) {
    constexpr std::string_view reserved = " \t\n\"'\\><~|&;$*?#()`";
    std::string argument;
    if (executable.find_first_of(reserved) != std::string::npos) {
        argument += '"';
        for (char c : executable) {
            if (c == '"' || c == '`' || c == '$' || c == '\\') argument += '\\';
            argument += c;
        }
        argument += '"';
    } else {
        argument = executable;
    }
    std::string value;
    for (char c : argument) {
        switch (c) {
        case '\\': value += "\\\\"; break;
        case '\n': value += "\\n"; break;
        case '\t': value += "\\t"; break;
        case '\r': value += "\\r"; break;
        case '%': value += "%%"; break;
        default: value += c;
        }
    }
    return value;
}

// The entry is off when the user hid it or a desktop disabled it; only keys
// of the [Desktop Entry] group count.
bool entryIsEnabled(std::string_view text) {
    bool inMainGroup = false;
    while (!text.empty()) {
        auto end = text.find('\n');
        std::string_view line = trim(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line.empty() || line.front() == '#') continue;
        if (line.front() == '[') {
            inMainGroup = line == "[Desktop Entry]";
            continue;
        }
        if (!inMainGroup) continue;
        auto equals = line.find('=');
        if (equals == std::string_view::npos) continue;
        std::string_view key = trim(line.substr(0, equals));
        std::string_view value = trim(line.substr(equals + 1));
        if (key == "Hidden" && value == "true") return false;
        if (key == "X-GNOME-Autostart-enabled" && value == "false") return false;
    }
    return true;
}

}  // namespace

XdgAutostart::XdgAutostart(std::string configHome, std::string bundleId, std::string executable)
    : configHome_(std::move(configHome)), bundleId_(std::move(bundleId)), executable_(std::move(executable)) {}

std::string XdgAutostart::entryPath() const { return configHome_ + "/autostart/" + bundleId_ + ".desktop"; }

platform::SMAppServiceStatus XdgAutostart::status() {
    std::string text;
    // An entry is a few lines; anything much longer is not one we wrote.
    constexpr std::size_t kMaxEntryBytes = 64 * 1024;
    if (fileio::readWhole(entryPath(), &text, nullptr, kMaxEntryBytes) != fileio::ReadStatus::ok) {
        return platform::SMAppServiceStatusNotRegistered;
    }
    return entryIsEnabled(text) ? platform::SMAppServiceStatusEnabled : platform::SMAppServiceStatusNotRegistered;
}

bool XdgAutostart::registerService(std::string* error) {
    const std::string path = entryPath();
    std::string message;
    if (!fileio::makeFolders(fileio::parentFolder(path), &message)) {
        if (error) *error = message;
        return false;
    }
    std::string entry = "[Desktop Entry]\n"
                        "Type=Application\n"
                        "Name=Durazizi\n"
                        "Exec=" + execValue(executable_) + "\n"
                        "X-GNOME-Autostart-enabled=true\n";
    if (!fileio::replaceAtomically(path, entry, 0644, &message)) {
        if (error) *error = message;
        return false;
    }
    return true;
}

bool XdgAutostart::unregisterService(std::string* error) {
    const std::string path = entryPath();
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) {
        if (error) *error = fileio::errorText("cannot remove", path, errno);
        return false;
    }
    return true;
}

}  // namespace linuxhost
