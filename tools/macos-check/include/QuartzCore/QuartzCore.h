// Check-only declarations of the Core Animation names the macOS backend
// uses, from Apple's public documentation.
#pragma once

#import <Foundation/Foundation.h>

@interface CAMediaTimingFunction : NSObject
+ (instancetype)functionWithControlPoints:(float)c1x:(float)c1y:(float)c2x:(float)c2y;
@end
