// Check-only: included before every Objective-C++ file of the macOS backend
// when it is type-checked against GNUstep (scripts/check-macos). Never used
// to build the app. It brings in GNUstep's AppKit, then declares, from
// Apple's public documentation, what GNUstep lacks or spells differently.
#pragma once

#import <AppKit/AppKit.h>
#import <Foundation/Foundation.h>

#include <CoreFoundation/CoreFoundation.h>
#include <CoreGraphics/CoreGraphics.h>

#include "MacCheckFoundation.h"
#include "MacCheckAppKit.h"
