// durazizi-playground: the simulated desktop in a window, with Durazizi
// running on it in real time and the real mouse driving it.
//
//   durazizi-playground [--fresh]

#include <cstring>
#include <iostream>

#include "render/ControlPainter.h"
#include "tools/playground/Playground.h"

int main(int argc, char** argv) {
    playground::PlaygroundOptions options;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--fresh") == 0) {
            options.fresh = true;
        } else {
            std::cerr << "usage: durazizi-playground [--fresh]\n";
            return 2;
        }
    }
    // Windows are laid out with the fonts that draw them.
    render::installTextMeasure();
    return playground::runPlayground(options, std::cerr);
}
