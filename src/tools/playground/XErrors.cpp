#include "tools/playground/XErrors.h"

#include <X11/Xlib.h>

#include <cstdio>

namespace playground {

namespace {

int onXError(Display* display, XErrorEvent* error) {
    if (error->error_code == BadWindow) return 0;
    char text[256] = {};
    XGetErrorText(display, error->error_code, text, sizeof text);
    std::fprintf(stderr, "durazizi-playground: X error (request %d): %s\n", error->request_code, text);
    return 0;
}

}  // namespace

void forgiveGoneXWindows() { XSetErrorHandler(onXError); }

}  // namespace playground
