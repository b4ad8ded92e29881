// durazizi-icon OUT_DIR: the application icon at every size of a macOS icon
// set, as OUT_DIR/icon_16x16.png … icon_512x512@2x.png. The macOS build runs
// it on AppIcon.iconset and turns that into AppIcon.icns with iconutil.
#include <cstdio>
#include <string>

#include "tools/icon/AppIcon.h"

int main(int argc, char** argv) {
    if (argc != 2 || argv[1][0] == '\0') {
        std::fprintf(stderr, "usage: durazizi-icon OUT_DIR\n");
        return 2;
    }
    const std::string failure = icon::writeIconset(argv[1]);
    if (!failure.empty()) {
        std::fprintf(stderr, "durazizi-icon: %s\n", failure.c_str());
        return 1;
    }
    return 0;
}
