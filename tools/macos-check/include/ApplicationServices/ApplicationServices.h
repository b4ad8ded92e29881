// Check-only declarations of the Accessibility API (HIServices) the macOS
// backend uses, from Apple's public documentation.
#pragma once

#include <CoreFoundation/CoreFoundation.h>
#include <CoreGraphics/CoreGraphics.h>
#include <sys/types.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef const struct __AXUIElement* AXUIElementRef;
typedef struct __AXObserver* AXObserverRef;
typedef const struct __AXValue* AXValueRef;
typedef int32_t AXError;
typedef UInt32 AXValueType;
enum { kAXErrorSuccess = 0, kAXErrorFailure = -25200, kAXErrorIllegalArgument = -25201,
       kAXErrorCannotComplete = -25204, kAXErrorAPIDisabled = -25211, kAXErrorNoValue = -25212 };
enum { kAXValueTypeIllegal = 0, kAXValueTypeCGPoint = 1, kAXValueTypeCGSize = 2, kAXValueTypeCGRect = 3,
       kAXValueTypeCFRange = 4, kAXValueTypeAXError = 5 };
// The older names are macros over the newer ones.
#define kAXValueCGPointType kAXValueTypeCGPoint
#define kAXValueCGSizeType kAXValueTypeCGSize
#define kAXValueCGRectType kAXValueTypeCGRect
#define kAXValueCFRangeType kAXValueTypeCFRange
#define kAXValueAXErrorType kAXValueTypeAXError
#define kAXValueIllegalType kAXValueTypeIllegal

AXUIElementRef AXUIElementCreateSystemWide(void);
AXUIElementRef AXUIElementCreateApplication(pid_t pid);
AXError AXUIElementCopyAttributeValue(AXUIElementRef element, CFStringRef attribute, CFTypeRef* value);
AXError AXUIElementSetAttributeValue(AXUIElementRef element, CFStringRef attribute, CFTypeRef value);
AXError AXUIElementPerformAction(AXUIElementRef element, CFStringRef action);
AXError AXUIElementCopyElementAtPosition(AXUIElementRef application, float x, float y, AXUIElementRef* element);
AXError AXUIElementGetPid(AXUIElementRef element, pid_t* pid);
AXError AXUIElementSetMessagingTimeout(AXUIElementRef element, float timeoutInSeconds);
CFTypeID AXUIElementGetTypeID(void);

typedef void (*AXObserverCallback)(AXObserverRef observer, AXUIElementRef element, CFStringRef notification,
                                   void* refcon);
AXError AXObserverCreate(pid_t application, AXObserverCallback callback, AXObserverRef* outObserver);
AXError AXObserverAddNotification(AXObserverRef observer, AXUIElementRef element, CFStringRef notification,
                                  void* refcon);
AXError AXObserverRemoveNotification(AXObserverRef observer, AXUIElementRef element, CFStringRef notification);
CFRunLoopSourceRef AXObserverGetRunLoopSource(AXObserverRef observer);

Boolean AXIsProcessTrusted(void);
Boolean AXIsProcessTrustedWithOptions(CFDictionaryRef options);
extern const CFStringRef kAXTrustedCheckOptionPrompt;

AXValueRef AXValueCreate(AXValueType theType, const void* valuePtr);
AXValueType AXValueGetType(AXValueRef value);
Boolean AXValueGetValue(AXValueRef value, AXValueType theType, void* valuePtr);
CFTypeID AXValueGetTypeID(void);

#ifdef __cplusplus
}
#endif
