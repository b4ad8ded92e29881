#pragma once

struct SDL_Window;

namespace playground {

// Keeps an X error about a window that is already gone from ending the
// process. SDL can still answer a message for its window while the window is
// being torn down (a window manager's, or a test's synthetic events racing
// the quit); Xlib's default answer to that BadWindow is exit status 1. Other
// errors are reported on standard error and the program goes on. Harmless
// where the display is not X11.
void forgiveGoneXWindows();

// Returns once the X server has carried out every request made so far for
// the window, so that another client (a screenshot) sees what was drawn.
// Does nothing where the window is not an X11 one.
void waitForXServer(SDL_Window* window);

}  // namespace playground
