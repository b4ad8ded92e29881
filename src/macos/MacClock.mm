#include "macos/MacClock.h"

#import <Foundation/Foundation.h>

namespace macos {

double MacClock::now() { return [[NSDate date] timeIntervalSince1970]; }

}  // namespace macos
