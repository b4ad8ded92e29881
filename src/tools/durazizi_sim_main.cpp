// durazizi-sim: runs a scenario file against the simulated desktop.
//
//   durazizi-sim run FILE|- [--home DIR]

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

#include "tools/scenario/Runner.h"

namespace {

int usage() {
    std::cerr << "usage: durazizi-sim run FILE|- [--home DIR]\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
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
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::cerr << "durazizi-sim: cannot open " << file << ": " << std::strerror(errno) << '\n';
        return 1;
    }
    return scenario::runScenario(in, std::cout, std::cerr, options);
}
