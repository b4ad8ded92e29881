// Check-only declarations of the Core Animation names the macOS backend
// uses, from Apple's public documentation.
#pragma once

#import <Foundation/Foundation.h>

#include <CoreGraphics/CoreGraphics.h>

@interface CAMediaTimingFunction : NSObject
+ (instancetype)functionWithControlPoints:(float)c1x:(float)c1y:(float)c2x:(float)c2y;
@end

@interface CALayer : NSObject
- (void)setCornerRadius:(CGFloat)cornerRadius;
- (void)setMasksToBounds:(BOOL)masksToBounds;
- (void)setBackgroundColor:(CGColorRef)backgroundColor;
- (void)setBorderWidth:(CGFloat)borderWidth;
- (void)setBorderColor:(CGColorRef)borderColor;
@end
