#pragma once

#include <string>
#include <vector>

#include "sim/Desktop.h"

namespace scenario {

class World;

// The desktop the playground and the tour start from: one 1440 x 900
// display, the Dock with 48-point icons, a few applications with several
// windows each, the three applications that get special panels, a folder and
// the trash. Permissions are granted, calendar access too, and a sample of
// calendars is saved relative to the desktop's clock.
struct DefaultDesktop {
    sim::pid_t editor = 0;     // three documents
    sim::pid_t browser = 0;    // two pages and a minimized one
    sim::pid_t notes = 0;
    sim::pid_t terminal = 0;
    sim::pid_t music = 0;
    sim::pid_t spotify = 0;
    sim::pid_t calendar = 0;
    sim::CGWindowID minimizedPage = 0;   // the Browser's minimized window
    sim::CGWindowID awayNote = 0;        // a Notes window on the second Space, which is not shown

    // Dock titles of the applications whose icons show window previews.
    std::vector<std::string> previewApps;
};

struct DefaultDesktopOptions {
    // A fresh account: the terms are not accepted and the guide not shown,
    // so the first launch presents both.
    bool fresh = false;
};

// A home folder of its own under $TMPDIR (or /tmp), removed with everything
// in it when the object goes. path() is empty, and error() says why, when it
// could not be made.
class ScratchHome {
public:
    explicit ScratchHome(const std::string& prefix);
    ~ScratchHome();
    ScratchHome(const ScratchHome&) = delete;
    ScratchHome& operator=(const ScratchHome&) = delete;

    const std::string& path() const { return path_; }
    const std::string& error() const { return error_; }

private:
    std::string path_;
    std::string error_;
};

// Builds the default desktop into the world, before launch. Unless `fresh`,
// writes the defaults of an account that has accepted the terms and seen
// the guide.
DefaultDesktop buildDefaultDesktop(World& world, const DefaultDesktopOptions& options = {});

}  // namespace scenario
