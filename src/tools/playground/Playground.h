#pragma once

#include <iosfwd>

namespace playground {

struct PlaygroundOptions {
    bool fresh = false;   // a new account in a throwaway home
};

// Opens a window showing the default simulated desktop at the primary
// display's size (scaled down to fit a smaller screen), runs Durazizi on it
// in real time and feeds it the real mouse. Returns the exit status: 0 when
// the user quits, 1 when the window or the home cannot be set up.
int runPlayground(const PlaygroundOptions& options, std::ostream& err);

}  // namespace playground
