// Check-only declarations of the AppKit names the macOS backend uses that
// GNUstep lacks, from Apple's public documentation (names and values as
// Apple gives them, never GNUstep's).
#pragma once

#import <AppKit/AppKit.h>

#include <CoreGraphics/CoreGraphics.h>

@interface NSApplication (MacCheckModern)
- (BOOL)setActivationPolicy:(NSApplicationActivationPolicy)activationPolicy;
- (NSApplicationActivationPolicy)activationPolicy;
- (void)activate;   // macOS 14
- (void)setHelpMenu:(NSMenu*)helpMenu;
@end

typedef NSString* NSAboutPanelOptionKey;
extern NSAboutPanelOptionKey const NSAboutPanelOptionApplicationName;
extern NSAboutPanelOptionKey const NSAboutPanelOptionApplicationVersion;

@interface NSStatusItem (MacCheckModern)
@property(readonly, strong) NSStatusBarButton* button;
@end

typedef unsigned long long NSEventMask;
typedef NSUInteger NSEventModifierFlags;

@interface NSEvent (MacCheckModern)
+ (id)addGlobalMonitorForEventsMatchingMask:(NSEventMask)mask handler:(void (^)(NSEvent* event))block;
+ (id)addLocalMonitorForEventsMatchingMask:(NSEventMask)mask handler:(NSEvent* (^)(NSEvent* event))block;
+ (void)removeMonitor:(id)eventMonitor;
@end

@interface NSImage (MacCheckModern)
+ (NSImage*)imageWithSystemSymbolName:(NSString*)name accessibilityDescription:(NSString*)description;
- (instancetype)initWithCGImage:(CGImageRef)cgImage size:(NSSize)size;
+ (NSImage*)imageWithSize:(NSSize)size flipped:(BOOL)drawingHandlerShouldBeCalledWithFlippedContext drawingHandler:(BOOL (^)(NSRect dstRect))drawingHandler;
- (void)setTemplate:(BOOL)isTemplate;
- (BOOL)isTemplate;
@end

@interface NSWindow (MacCheckModern)
- (instancetype)animator;
- (NSAppearance*)appearance;
- (void)setAppearance:(NSAppearance*)appearance;
@end

@class CAMediaTimingFunction;
@interface NSAnimationContext (MacCheckModern)
- (void)setTimingFunction:(CAMediaTimingFunction*)timingFunction;
@end

@interface NSColorSpace (MacCheckModern)
+ (NSColorSpace*)sRGBColorSpace;
@end

extern NSString* const NSWorkspaceApplicationKey;
