// What a settings read costs when the defaults file is large: another
// program (or a careless script) can fill the domain with many thousand keys,
// and the hover poll reads several settings 20 times a second.
#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "app/Settings.h"
#include "linux/PlistDefaults.h"

namespace {

namespace fs = std::filesystem;

// A property list of `keys` entries of about 25 bytes each (130,000 keys make
// a file like the 3.8 MB one users met, under the 4 MiB the store reads),
// with a setting a hover tick reads at its end.
std::string writeLargeFile(const fs::path& folder, int keys) {
    const std::string path = linuxhost::PlistDefaults::pathFor(folder.string(), "app.bench.Defaults");
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream out(path);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n";
    for (int i = 0; i < keys; ++i) out << "<key>f" << i << "</key><true/>\n";
    out << "\t<key>activationDelayMs</key>\n\t<integer>120</integer>\n</dict>\n</plist>\n";
    return path;
}

// One read of each kind a hover tick makes, against a file of range(0) keys.
void BM_SettingsReadsFromALargeFile(benchmark::State& state) {
    char pattern[] = "/tmp/durazizi-bench-XXXXXX";
    const fs::path home = ::mkdtemp(pattern);
    const std::string path = writeLargeFile(home, static_cast<int>(state.range(0)));
    {
        linuxhost::PlistDefaults defaults(path, [](const std::string&) {});
        defaults.registerDefaults(durazizi::Settings::registeredDefaults());
        for (auto _ : state) {
            benchmark::DoNotOptimize(defaults.boolForKey("window_preview_enable"));
            benchmark::DoNotOptimize(defaults.integerForKey("activationDelayMs"));
            benchmark::DoNotOptimize(defaults.integerForKey("window_preview_size"));
            benchmark::DoNotOptimize(defaults.doubleForKey("window_snapping_delay_near"));
        }
        state.counters["reads"] = benchmark::Counter(4.0 * static_cast<double>(state.iterations()),
                                                     benchmark::Counter::kIsRate);
        state.counters["file_MB"] = static_cast<double>(fs::file_size(path)) / 1e6;
    }
    fs::remove_all(home);
}
BENCHMARK(BM_SettingsReadsFromALargeFile)->Arg(1000)->Arg(130000)->Unit(benchmark::kMicrosecond);

}  // namespace
