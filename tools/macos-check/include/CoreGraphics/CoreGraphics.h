// Check-only declarations of the CoreGraphics names the macOS backend uses,
// from Apple's public documentation. GNUstep has only CGFloat; on a Mac,
// NSRect, NSPoint and NSSize are the CoreGraphics structs, which the
// typedefs below imitate with GNUstep's own.
#pragma once

#import <Foundation/Foundation.h>

#include <CoreFoundation/CoreFoundation.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef NSRect CGRect;
typedef NSPoint CGPoint;
typedef NSSize CGSize;

CGRect CGRectMake(CGFloat x, CGFloat y, CGFloat width, CGFloat height);
extern const CGRect CGRectZero;

typedef uint32_t CGWindowID;
typedef uint32_t CGDirectDisplayID;
typedef int32_t CGWindowLevel;
typedef int32_t CGWindowLevelKey;
enum : CGWindowLevelKey {
    kCGBaseWindowLevelKey = 0, kCGMinimumWindowLevelKey = 1, kCGDesktopWindowLevelKey = 2,
    kCGBackstopMenuLevelKey = 3, kCGNormalWindowLevelKey = 4, kCGFloatingWindowLevelKey = 5,
    kCGTornOffMenuWindowLevelKey = 6, kCGDockWindowLevelKey = 7, kCGMainMenuWindowLevelKey = 8,
    kCGStatusWindowLevelKey = 9, kCGModalPanelWindowLevelKey = 10, kCGPopUpMenuWindowLevelKey = 11,
    kCGDraggingWindowLevelKey = 12, kCGScreenSaverWindowLevelKey = 13, kCGMaximumWindowLevelKey = 14,
    kCGOverlayWindowLevelKey = 15, kCGHelpWindowLevelKey = 16, kCGUtilityWindowLevelKey = 17,
    kCGDesktopIconWindowLevelKey = 18, kCGCursorWindowLevelKey = 19, kCGAssistiveTechHighWindowLevelKey = 20,
    kCGNumberOfWindowLevelKeys = 21,
};
CGWindowLevel CGWindowLevelForKey(CGWindowLevelKey key);

typedef uint32_t CGWindowListOption;
enum : CGWindowListOption {
    kCGWindowListOptionAll = 0, kCGWindowListOptionOnScreenOnly = 1 << 0,
    kCGWindowListOptionOnScreenAboveWindow = 1 << 1, kCGWindowListOptionOnScreenBelowWindow = 1 << 2,
    kCGWindowListOptionIncludingWindow = 1 << 3, kCGWindowListExcludeDesktopElements = 1 << 4,
};
CFArrayRef CGWindowListCopyWindowInfo(CGWindowListOption option, CGWindowID relativeToWindow);
bool CGRectMakeWithDictionaryRepresentation(CFDictionaryRef dict, CGRect* rect);
extern const CFStringRef kCGWindowNumber, kCGWindowOwnerPID, kCGWindowLayer, kCGWindowIsOnscreen,
    kCGWindowBounds, kCGWindowName, kCGWindowOwnerName, kCGWindowAlpha;
// CoreGraphics names the levels as macros over CGWindowLevelForKey, not as
// constants: any other declaration of these names breaks once it is included.
#define kCGBaseWindowLevel CGWindowLevelForKey(kCGBaseWindowLevelKey)
#define kCGMinimumWindowLevel CGWindowLevelForKey(kCGMinimumWindowLevelKey)
#define kCGDesktopWindowLevel CGWindowLevelForKey(kCGDesktopWindowLevelKey)
#define kCGDesktopIconWindowLevel CGWindowLevelForKey(kCGDesktopIconWindowLevelKey)
#define kCGBackstopMenuLevel CGWindowLevelForKey(kCGBackstopMenuLevelKey)
#define kCGNormalWindowLevel CGWindowLevelForKey(kCGNormalWindowLevelKey)
#define kCGFloatingWindowLevel CGWindowLevelForKey(kCGFloatingWindowLevelKey)
#define kCGTornOffMenuWindowLevel CGWindowLevelForKey(kCGTornOffMenuWindowLevelKey)
#define kCGModalPanelWindowLevel CGWindowLevelForKey(kCGModalPanelWindowLevelKey)
#define kCGUtilityWindowLevel CGWindowLevelForKey(kCGUtilityWindowLevelKey)
#define kCGDockWindowLevel CGWindowLevelForKey(kCGDockWindowLevelKey)
#define kCGMainMenuWindowLevel CGWindowLevelForKey(kCGMainMenuWindowLevelKey)
#define kCGStatusWindowLevel CGWindowLevelForKey(kCGStatusWindowLevelKey)
#define kCGPopUpMenuWindowLevel CGWindowLevelForKey(kCGPopUpMenuWindowLevelKey)
#define kCGOverlayWindowLevel CGWindowLevelForKey(kCGOverlayWindowLevelKey)
#define kCGHelpWindowLevel CGWindowLevelForKey(kCGHelpWindowLevelKey)
#define kCGDraggingWindowLevel CGWindowLevelForKey(kCGDraggingWindowLevelKey)
#define kCGScreenSaverWindowLevel CGWindowLevelForKey(kCGScreenSaverWindowLevelKey)
#define kCGAssistiveTechHighWindowLevel CGWindowLevelForKey(kCGAssistiveTechHighWindowLevelKey)
#define kCGCursorWindowLevel CGWindowLevelForKey(kCGCursorWindowLevelKey)
#define kCGMaximumWindowLevel CGWindowLevelForKey(kCGMaximumWindowLevelKey)

bool CGPreflightScreenCaptureAccess(void);
bool CGRequestScreenCaptureAccess(void);

// Quartz events
typedef struct __CGEvent* CGEventRef;
typedef struct __CGEventTapProxy* CGEventTapProxy;
typedef uint64_t CGEventMask;
#define CGEventMaskBit(eventType) ((CGEventMask)1 << (eventType))
#define kCGEventMaskForAllEvents (~(CGEventMask)0)
#define kCGNullWindowID ((CGWindowID)0)
typedef uint64_t CGEventFlags;
typedef uint32_t CGEventType;
typedef uint32_t CGEventTapLocation;
typedef uint32_t CGEventTapPlacement;
typedef uint32_t CGEventTapOptions;
typedef uint32_t CGEventField;
enum { kCGHIDEventTap = 0, kCGSessionEventTap = 1, kCGAnnotatedSessionEventTap = 2 };
enum { kCGHeadInsertEventTap = 0, kCGTailAppendEventTap = 1 };
enum { kCGEventTapOptionDefault = 0, kCGEventTapOptionListenOnly = 1 };
enum { kCGEventTapDisabledByTimeout = 0xFFFFFFFEu, kCGEventTapDisabledByUserInput = 0xFFFFFFFFu };
enum {
    kCGKeyboardEventKeycode = 9,
    kCGScrollWheelEventDeltaAxis1 = 11,
    kCGScrollWheelEventPointDeltaAxis1 = 96,
    kCGScrollWheelEventIsContinuous = 88,
};
typedef CGEventRef (*CGEventTapCallBack)(CGEventTapProxy proxy, CGEventType type, CGEventRef event, void* userInfo);
CFMachPortRef CGEventTapCreate(CGEventTapLocation tap, CGEventTapPlacement place, CGEventTapOptions options,
                               CGEventMask eventsOfInterest, CGEventTapCallBack callback, void* userInfo);
void CGEventTapEnable(CFMachPortRef tap, bool enable);
bool CGEventTapIsEnabled(CFMachPortRef tap);
CGEventType CGEventGetType(CGEventRef event);
CGEventFlags CGEventGetFlags(CGEventRef event);
CGPoint CGEventGetLocation(CGEventRef event);
int64_t CGEventGetIntegerValueField(CGEventRef event, CGEventField field);
double CGEventGetDoubleValueField(CGEventRef event, CGEventField field);

// Images and bitmap contexts
typedef struct CGImage* CGImageRef;
typedef struct CGColorSpace* CGColorSpaceRef;
typedef struct CGContext* CGContextRef;
typedef struct CGDataProvider* CGDataProviderRef;
typedef enum CGImageAlphaInfo : uint32_t { kCGImageAlphaPremultipliedLast = 1 } CGImageAlphaInfo;
// CF_OPTIONS: in C++ the type is the integer, the names an anonymous enum.
typedef uint32_t CGBitmapInfo;
enum : CGBitmapInfo { kCGBitmapByteOrder32Big = 4 << 12 };
typedef enum CGColorRenderingIntent : int32_t { kCGRenderingIntentDefault = 0 } CGColorRenderingIntent;
extern const CFStringRef kCGColorSpaceSRGB;
CGColorSpaceRef CGColorSpaceCreateWithName(CFStringRef name);
CGContextRef CGBitmapContextCreate(void* data, size_t width, size_t height, size_t bitsPerComponent,
                                   size_t bytesPerRow, CGColorSpaceRef space, uint32_t bitmapInfo);
void CGContextDrawImage(CGContextRef c, CGRect rect, CGImageRef image);
void CGContextClearRect(CGContextRef c, CGRect rect);
size_t CGImageGetWidth(CGImageRef image);
size_t CGImageGetHeight(CGImageRef image);
CGImageRef CGImageRetain(CGImageRef image);
void CGImageRelease(CGImageRef image);
CGDataProviderRef CGDataProviderCreateWithCFData(CFDataRef data);
CGImageRef CGImageCreate(size_t width, size_t height, size_t bitsPerComponent, size_t bitsPerPixel,
                         size_t bytesPerRow, CGColorSpaceRef space, CGBitmapInfo bitmapInfo,
                         CGDataProviderRef provider, const CGFloat* decode, bool shouldInterpolate,
                         CGColorRenderingIntent intent);

#ifdef __cplusplus
}
#endif
