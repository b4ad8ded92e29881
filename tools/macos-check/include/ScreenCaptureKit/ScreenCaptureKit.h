// Check-only declarations of the ScreenCaptureKit names the macOS backend
// uses, from Apple's public documentation.
#pragma once

#import <Foundation/Foundation.h>

#include <CoreGraphics/CoreGraphics.h>

@interface SCWindow : NSObject
@property(readonly) CGWindowID windowID;
@property(readonly) CGRect frame;
@property(readonly) NSString* title;
@property(readonly) NSInteger windowLayer;
@end

@interface SCShareableContent : NSObject
+ (void)getShareableContentExcludingDesktopWindows:(BOOL)excludeDesktopWindows
                               onScreenWindowsOnly:(BOOL)onScreenWindowsOnly
                                 completionHandler:(void (^)(SCShareableContent* content, NSError* error))completionHandler;
@property(readonly) NSArray<SCWindow*>* windows;
@end

@interface SCContentFilter : NSObject
- (instancetype)initWithDesktopIndependentWindow:(SCWindow*)window;
@property(readonly) CGRect contentRect;     // macOS 14
@property(readonly) float pointPixelScale;  // macOS 14
@end

@interface SCStreamConfiguration : NSObject
@property size_t width;
@property size_t height;
@property BOOL scalesToFit;
@property BOOL showsCursor;
@property BOOL ignoreShadowsSingleWindow;   // macOS 14
@end

@interface SCScreenshotManager : NSObject   // macOS 14
+ (void)captureImageWithFilter:(SCContentFilter*)contentFilter
                 configuration:(SCStreamConfiguration*)config
             completionHandler:(void (^)(CGImageRef image, NSError* error))completionHandler;
@end
