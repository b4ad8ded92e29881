// durazizi-playground: the simulated desktop in a window, with Durazizi
// running on it in real time and the real mouse driving it.
//
//   durazizi-playground [--fresh] [--frames-fd=N]

#include <cstdlib>
#include <cstring>
#include <iostream>

#include "render/ControlPainter.h"
#include "tools/playground/Playground.h"

int main(int argc, char** argv) {
    playground::PlaygroundOptions options;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--fresh") == 0) {
            options.fresh = true;
        } else if (std::strncmp(argv[i], "--frames-fd=", 12) == 0 && argv[i][12] != '\0') {
            char* end = nullptr;
            const long fd = std::strtol(argv[i] + 12, &end, 10);
            if (*end != '\0' || fd < 0 || fd > 1 << 20) {
                std::cerr << "durazizi-playground: --frames-fd wants a file descriptor number\n";
                return 2;
            }
            options.framesFd = static_cast<int>(fd);
        } else {
            std::cerr << "usage: durazizi-playground [--fresh] [--frames-fd=N]\n";
            return 2;
        }
    }
    // Windows are laid out with the fonts that draw them.
    render::installTextMeasure();
    return playground::runPlayground(options, std::cerr);
}
