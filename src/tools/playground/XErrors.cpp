#include "tools/playground/XErrors.h"

#include <SDL.h>
#include <SDL_syswm.h>
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

void waitForXServer(SDL_Window* window) {
    SDL_SysWMinfo wm;
    SDL_VERSION(&wm.version);
    if (window && SDL_GetWindowWMInfo(window, &wm) && wm.subsystem == SDL_SYSWM_X11) XSync(wm.info.x11.display, False);
}

}  // namespace playground
