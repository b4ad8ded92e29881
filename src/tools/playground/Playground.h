#pragma once

#include <iosfwd>

namespace playground {

struct PlaygroundOptions {
    bool fresh = false;   // a new account in a throwaway home
    // When set, one line "frame N" is written to this descriptor after each
    // frame reaches the window, so that a program driving the playground
    // (its tests) can wait for what it did to be shown instead of guessing.
    int framesFd = -1;
};

// Opens a window showing the default simulated desktop at the primary
// display's size (scaled down to fit a smaller screen), runs Durazizi on it
// in real time and feeds it the real mouse. Returns the exit status: 0 when
// the user quits, 1 when the window or the home cannot be set up.
int runPlayground(const PlaygroundOptions& options, std::ostream& err);

}  // namespace playground
