#pragma once

#include "platform/Platform.h"
#include "sim/Desktop.h"

namespace testsupport {

// A simulated desktop installed as the current platform for the life of the
// object, as a fresh process would see it.
struct InstalledDesktop {
    sim::Desktop desktop;

    InstalledDesktop() { platform::install(&desktop); }
    ~InstalledDesktop() { platform::install(nullptr); }
    InstalledDesktop(const InstalledDesktop&) = delete;
    InstalledDesktop& operator=(const InstalledDesktop&) = delete;
};

}  // namespace testsupport
