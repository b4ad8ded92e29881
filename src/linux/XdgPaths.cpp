#include "linux/XdgPaths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace linuxhost {

namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string homeFolder() {
    std::string home = environment("HOME");
    if (!home.empty()) return home;
    if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir) return entry->pw_dir;
    return "/";
}

// The base-directory rules ignore relative values, as if unset.
std::string baseFolder(const char* variable, const std::string& fallback) {
    std::string value = environment(variable);
    return (!value.empty() && value.front() == '/') ? value : fallback;
}

std::string withSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

}  // namespace

XdgPaths XdgPaths::fromEnvironment() {
    const std::string home = homeFolder();
    XdgPaths paths;
    paths.configHome = baseFolder("XDG_CONFIG_HOME", home + "/.config");
    paths.stateHome = baseFolder("XDG_STATE_HOME", home + "/.local/state");
    paths.dataHome = baseFolder("XDG_DATA_HOME", home + "/.local/share");
    std::string tmp = environment("TMPDIR");
    paths.tempDir = withSlash(tmp.empty() ? "/tmp" : tmp);
    return paths;
}

XdgPaths XdgPaths::forHome(const std::string& home) {
    XdgPaths paths;
    paths.configHome = home + "/.config";
    paths.stateHome = home + "/.local/state";
    paths.dataHome = home + "/.local/share";
    paths.tempDir = home + "/tmp/";
    return paths;
}

}  // namespace linuxhost
