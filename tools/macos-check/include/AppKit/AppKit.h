// Check-only: stands in front of GNUstep's AppKit when scripts/check-macos
// type-checks the macOS backend, and adds what Apple's AppKit brings that
// GNUstep's lacks: Apple's AppKit.h imports ApplicationServices (and with it
// CoreGraphics and the Accessibility API), so including AppKit here does too.
// Never used to build the app.
#pragma once

#include_next <AppKit/AppKit.h>

#include <ApplicationServices/ApplicationServices.h>
#include <CoreFoundation/CoreFoundation.h>
#include <CoreGraphics/CoreGraphics.h>

#include "MacCheckAppKit.h"
