// The settings file is the user's: edited by hand, truncated by a full disk,
// replaced by anything. Each input becomes that file, read through the real
// store (size and nesting bounds, the property-list parser, type coercion),
// and one key is written, which is where a damaged file is moved aside; then
// the file is emptied as an in-place save does, and another key is written.
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "linux/PlistDefaults.h"

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kPrefix = "durazizi-fuzz-defaults-";

// libFuzzer ends a run with _Exit, so no exit handler removes the folder;
// each run clears what runs before it left instead.
void removeLeftovers(const fs::path& base) {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(base, error)) {
        const std::string name = entry.path().filename().string();
        if (!name.starts_with(kPrefix)) continue;
        const long pid = std::strtol(name.c_str() + kPrefix.size(), nullptr, 10);
        if (pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) fs::remove_all(entry.path(), error);
    }
}

const fs::path& folder() {
    static const fs::path made = [] {
        // Every write is synced to disk; in memory that costs nothing, and
        // the fuzzer gets through a hundred times more files.
        std::error_code error;
        const fs::path base = fs::is_directory("/dev/shm", error) ? fs::path("/dev/shm") : fs::temp_directory_path();
        removeLeftovers(base);
        fs::path path = base / (std::string(kPrefix) + std::to_string(::getpid()));
        fs::remove_all(path);
        fs::create_directories(path);
        return path;
    }();
    return made;
}

void emptyFolder() {
    for (const auto& entry : fs::directory_iterator(folder())) fs::remove_all(entry.path());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    emptyFolder();
    const std::string file = (folder() / "com.durazizi.fuzz.plist").string();
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(data),
                                                static_cast<std::streamsize>(size));
    {
        linuxhost::PlistDefaults defaults(file, [](const std::string&) {});
        defaults.registerDefaults({{"previewSize", std::int64_t{220}}, {"enabled", true}, {"delay", 0.5}});
        (void)defaults.boolForKey("enabled");
        (void)defaults.integerForKey("previewSize");
        (void)defaults.doubleForKey("delay");
        (void)defaults.objectForKey("snapEnabled");
        (void)defaults.integerForKey("missing");
        defaults.setInteger(240, "previewSize");
        // What was just written reads back, whatever the file held before.
        if (defaults.integerForKey("previewSize") != 240) __builtin_trap();
        // An editor saving in place empties the file; the next write keeps
        // every value the store holds.
        std::ofstream(file, std::ios::binary | std::ios::trunc);
        defaults.setBool(false, "enabled");
    }
    // And a second store reading the file the first one wrote sees it too.
    linuxhost::PlistDefaults again(file, [](const std::string&) {});
    if (again.integerForKey("previewSize") != 240) __builtin_trap();
    return 0;
}
