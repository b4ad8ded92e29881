// Check-only: stands in front of GNUstep's Foundation when scripts/check-macos
// type-checks the macOS backend, and adds the Foundation names GNUstep lacks
// or compiles out. Never used to build the app.
#pragma once

#include_next <Foundation/Foundation.h>

#include <CoreFoundation/CoreFoundation.h>

#include "MacCheckFoundation.h"
