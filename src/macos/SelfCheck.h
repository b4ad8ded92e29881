#pragma once

#include "platform/Platform.h"

namespace macos {

// `Durazizi --self-check`: makes every service, exercises what needs no
// permission (defaults, clock, timers and queues, screens, workspace,
// windows and levels, locale, folders, images), reports the permissions it
// finds, and returns 0 when every check passed. Runs on the main thread.
int runSelfCheck(platform::Platform& platform);

}  // namespace macos
