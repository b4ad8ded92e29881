// durazizi-sim: runs a scenario file against the simulated desktop, or the
// built-in tour that pictures Durazizi step by step.
//
//   durazizi-sim run FILE|- [--home DIR]
//   durazizi-sim tour OUT_DIR [--scale 1|2]
//   durazizi-sim soak [--minutes N] [--every M] [--scale 1|2]

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "render/ControlPainter.h"
#include "tools/scenario/Runner.h"
#include "tools/scenario/Soak.h"
#include "tools/scenario/Tour.h"

namespace {

int usage() {
    std::cerr << "usage: durazizi-sim run FILE|- [--home DIR]\n"
                 "       durazizi-sim tour OUT_DIR [--scale 1|2]\n"
                 "       durazizi-sim soak [--minutes N] [--every M] [--scale 1|2]\n";
    return 2;
}

// Pictures at one or two pixels a point.
bool parseScale(const char* text, double& scale) {
    if (std::strcmp(text, "1") == 0) scale = 1;
    else if (std::strcmp(text, "2") == 0) scale = 2;
    else return false;
    return true;
}

int tour(int argc, char** argv) {
    if (argc < 3 || argv[2][0] == '\0') return usage();
    scenario::TourOptions options;
    options.outDir = argv[2];
    for (int i = 3; i < argc; ++i) {
        if (std::strcmp(argv[i], "--scale") == 0 && i + 1 < argc) {
            if (!parseScale(argv[++i], options.scale)) return usage();
        } else {
            return usage();
        }
    }
    return scenario::tourCommand(options, std::cerr);
}

// A positive number of minutes, at most a week's worth.
bool parseMinutes(const char* text, double& minutes) {
    char* end = nullptr;
    const double value = std::strtod(text, &end);
    if (end == text || *end != '\0' || !(value > 0) || value > 7 * 24 * 60) return false;
    minutes = value;
    return true;
}

int soak(int argc, char** argv) {
    scenario::SoakOptions options;
    for (int i = 2; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--minutes") == 0 && hasValue) {
            if (!parseMinutes(argv[++i], options.minutes)) return usage();
        } else if (std::strcmp(argv[i], "--every") == 0 && hasValue) {
            if (!parseMinutes(argv[++i], options.sampleEvery)) return usage();
        } else if (std::strcmp(argv[i], "--scale") == 0 && hasValue) {
            if (!parseScale(argv[++i], options.scale)) return usage();
        } else {
            return usage();
        }
    }
    return scenario::soakCommand(options, std::cout, std::cerr);
}

}  // namespace

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    // Windows are laid out with the fonts that draw them.
    render::installTextMeasure();
    if (argc >= 2 && std::strcmp(argv[1], "tour") == 0) return tour(argc, argv);
    if (argc >= 2 && std::strcmp(argv[1], "soak") == 0) return soak(argc, argv);
    if (argc < 3 || std::strcmp(argv[1], "run") != 0) return usage();
    const std::string file = argv[2];
    scenario::RunOptions options;
    for (int i = 3; i < argc; ++i) {
        if (std::strcmp(argv[i], "--home") == 0 && i + 1 < argc && argv[i + 1][0] != '\0') {
            options.home = argv[++i];
        } else {
            return usage();
        }
    }

    if (file == "-") return scenario::runScenario(std::cin, std::cout, std::cerr, options);
    options.scenarioFolder = std::filesystem::path(file).parent_path().string();
    if (options.scenarioFolder.empty()) options.scenarioFolder = ".";
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::cerr << "durazizi-sim: cannot open " << file << ": " << std::strerror(errno) << '\n';
        return 1;
    }
    return scenario::runScenario(in, std::cout, std::cerr, options);
}
