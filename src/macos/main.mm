// The entry of Durazizi.app.
#import <Foundation/Foundation.h>

#include <cstring>

#include "app/main.h"
#include "macos/MacPlatform.h"
#include "macos/MacText.h"
#include "macos/SelfCheck.h"

int main(int argc, char** argv) {
    @autoreleasepool {
        // Kept for the whole process: every service is reached through it.
        static macos::MacPlatform backend;
        platform::install(&backend);
        // Layout measures text as AppKit will draw it.
        macos::installTextMeasure();
        for (int i = 1; i < argc; ++i) {
            if (std::strcmp(argv[i], "--self-check") == 0) return macos::runSelfCheck(backend);
        }
        return durazizi::applicationMain();
    }
}
