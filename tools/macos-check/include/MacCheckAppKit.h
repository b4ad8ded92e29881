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

@interface NSImageSymbolConfiguration : NSObject
+ (instancetype)configurationWithPointSize:(CGFloat)pointSize weight:(NSFontWeight)weight;
@end

@interface NSImage (MacCheckSymbols)
- (NSImage*)imageWithSymbolConfiguration:(NSImageSymbolConfiguration*)configuration;
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

// The names the view mirror uses.
@class CALayer;

static const NSButtonType NSButtonTypePushOnPushOff = static_cast<NSButtonType>(1);
static const NSButtonType NSButtonTypeMomentaryPushIn = static_cast<NSButtonType>(7);

@interface NSFont (MacCheckModern)
+ (NSFont*)systemFontOfSize:(CGFloat)fontSize weight:(NSFontWeight)weight;
@end

@interface NSView (MacCheckModern)
- (void)setWantsLayer:(BOOL)wantsLayer;
- (BOOL)wantsLayer;
- (CALayer*)layer;
- (NSAppearance*)effectiveAppearance;
- (void)viewDidChangeEffectiveAppearance;
- (void)setIdentifier:(NSString*)identifier;
- (NSString*)identifier;
- (void)setAccessibilityLabel:(NSString*)accessibilityLabel;
- (void)addTrackingArea:(NSTrackingArea*)trackingArea;
- (void)removeTrackingArea:(NSTrackingArea*)trackingArea;
@end

@interface NSTextField (MacCheckModern)
+ (instancetype)labelWithString:(NSString*)stringValue;
@end

@interface NSControl (MacCheckModern)
- (void)setLineBreakMode:(NSLineBreakMode)lineBreakMode;
@end

@interface NSSegmentedControl (MacCheckModern)
- (void)setTrackingMode:(NSSegmentSwitchTracking)trackingMode;
@end

@interface NSColor (MacCheckAccent)
+ (NSColor*)controlAccentColor;
@end

@interface NSColor (MacCheckLink)
+ (NSColor*)linkColor;
@end

static const NSCellImagePosition NSImageLeading = static_cast<NSCellImagePosition>(7);

@interface NSButton (MacCheckModern)
- (void)setImageScaling:(NSImageScaling)imageScaling;
- (void)setBezelColor:(NSColor*)bezelColor;
- (void)setContentTintColor:(NSColor*)contentTintColor;
@end

@interface NSImageView (MacCheckModern)
- (void)setContentTintColor:(NSColor*)contentTintColor;
@end

static const NSBitmapImageFileType NSBitmapImageFileTypePNG = static_cast<NSBitmapImageFileType>(4);
