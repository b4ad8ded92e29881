#pragma once

#include "macos/MacAccessibility.h"
#include "macos/MacApplication.h"
#include "macos/MacCalendarStore.h"
#include "macos/MacCapture.h"
#include "macos/MacClock.h"
#include "macos/MacDefaults.h"
#include "macos/MacEventMonitors.h"
#include "macos/MacEventTaps.h"
#include "macos/MacFiles.h"
#include "macos/MacImages.h"
#include "macos/MacLocale.h"
#include "macos/MacLoginService.h"
#include "macos/MacRunLoop.h"
#include "macos/MacScreens.h"
#include "macos/MacScripting.h"
#include "macos/MacSymbols.h"
#include "macos/MacURLSession.h"
#include "macos/MacWindowServer.h"
#include "macos/MacWorkspace.h"
#include "platform/Platform.h"

namespace macos {

// The macOS backend: one object per service, composed and handed out.
class MacPlatform final : public platform::Platform {
public:
    platform::Defaults& defaults() override { return defaults_; }
    platform::Clock& clock() override { return clock_; }
    platform::RunLoop& runLoop() override { return runLoop_; }
    platform::Accessibility& accessibility() override { return accessibility_; }
    platform::Screens& screens() override { return screens_; }
    platform::Workspace& workspace() override { return workspace_; }
    platform::Files& files() override { return files_; }
    platform::LoginService& loginService() override { return loginService_; }
    platform::Application& application() override { return application_; }
    platform::Capture& capture() override { return capture_; }
    platform::EventTaps& eventTaps() override { return eventTaps_; }
    platform::EventMonitors& eventMonitors() override { return eventMonitors_; }
    platform::CalendarStore& calendarStore() override { return calendarStore_; }
    platform::Locale& locale() override { return locale_; }
    platform::WindowServer& windowServer() override { return windowServer_; }
    platform::Symbols& symbols() override { return symbols_; }
    platform::Scripting& scripting() override { return scripting_; }
    platform::URLSession& urlSession() override { return urlSession_; }
    platform::Images& images() override { return images_; }

private:
    // The application object comes first: NSApp exists before any window.
    MacApplication application_;
    MacDefaults defaults_;
    MacClock clock_;
    MacRunLoop runLoop_;
    MacAccessibility accessibility_;
    MacScreens screens_;
    MacWorkspace workspace_;
    MacFiles files_;
    MacLoginService loginService_;
    MacCapture capture_;
    MacEventTaps eventTaps_;
    MacEventMonitors eventMonitors_;
    MacCalendarStore calendarStore_;
    MacLocale locale_;
    MacWindowServer windowServer_;
    MacSymbols symbols_;
    MacScripting scripting_;
    MacURLSession urlSession_;
    MacImages images_;
};

}  // namespace macos
