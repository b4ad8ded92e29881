#pragma once

#include "platform/Accessibility.h"
#include "platform/Application.h"
#include "platform/CalendarStore.h"
#include "platform/Capture.h"
#include "platform/Clock.h"
#include "platform/Defaults.h"
#include "platform/EventMonitors.h"
#include "platform/EventTaps.h"
#include "platform/Files.h"
#include "platform/Locale.h"
#include "platform/Images.h"
#include "platform/LoginService.h"
#include "platform/RunLoop.h"
#include "platform/Screens.h"
#include "platform/Scripting.h"
#include "platform/Symbols.h"
#include "platform/URLSession.h"
#include "platform/WindowServer.h"
#include "platform/Workspace.h"

namespace platform {

// Every operating-system service the system uses, reached through one object.
class Platform {
public:
    virtual ~Platform() = default;

    virtual Defaults& defaults() = 0;
    virtual Clock& clock() = 0;
    virtual RunLoop& runLoop() = 0;
    virtual Accessibility& accessibility() = 0;
    virtual Screens& screens() = 0;
    virtual Workspace& workspace() = 0;
    virtual Files& files() = 0;
    virtual LoginService& loginService() = 0;
    virtual Application& application() = 0;
    virtual Capture& capture() = 0;
    virtual EventTaps& eventTaps() = 0;
    virtual EventMonitors& eventMonitors() = 0;
    virtual CalendarStore& calendarStore() = 0;
    virtual Locale& locale() = 0;
    virtual WindowServer& windowServer() = 0;
    virtual Symbols& symbols() = 0;
    virtual Scripting& scripting() = 0;
    virtual URLSession& urlSession() = 0;
    virtual Images& images() = 0;
};

// The installed backend. Installing one marks the start of a new process:
// values the system computes "once per process" are computed again.
Platform& current();
void install(Platform* backend);
bool isInstalled();
unsigned processGeneration();

}  // namespace platform
