#pragma once

#include <cstdint>

// Platform constants with their numeric values, named once.
namespace platform {

using pid_t = std::int32_t;
using CGWindowID = std::uint32_t;

// AXError
enum AXError : std::int32_t {
    kAXErrorSuccess = 0,
    kAXErrorFailure = -25200,
    kAXErrorIllegalArgument = -25201,
    kAXErrorInvalidUIElement = -25202,
    kAXErrorInvalidUIElementObserver = -25203,
    kAXErrorCannotComplete = -25204,
    kAXErrorAttributeUnsupported = -25205,
    kAXErrorActionUnsupported = -25206,
    kAXErrorNotificationUnsupported = -25207,
    kAXErrorNotImplemented = -25208,
    kAXErrorNotificationAlreadyRegistered = -25209,
    kAXErrorNotificationNotRegistered = -25210,
    kAXErrorAPIDisabled = -25211,
    kAXErrorNoValue = -25212,
    kAXErrorParameterizedAttributeUnsupported = -25213,
    kAXErrorNotEnoughPrecision = -25214,
};

// AXValueType
enum AXValueType : std::int32_t {
    kAXValueCGPointType = 1,
    kAXValueCGSizeType = 2,
    kAXValueCGRectType = 3,
    kAXValueCFRangeType = 4,
    kAXValueAXErrorType = 5,
    kAXValueIllegalType = 0,
};

// NSEventModifierFlags (the same bits as CGEventFlags for these four).
enum ModifierFlag : std::uint64_t {
    NSEventModifierFlagCapsLock = 0x10000,
    NSEventModifierFlagShift = 0x20000,
    NSEventModifierFlagControl = 0x40000,
    NSEventModifierFlagOption = 0x80000,
    NSEventModifierFlagCommand = 0x100000,
    NSEventModifierFlagNumericPad = 0x200000,
    NSEventModifierFlagFunction = 0x800000,
};

// NSApplicationActivationPolicy
enum class ActivationPolicy : std::int64_t {
    Regular = 0,
    Accessory = 1,
    Prohibited = 2,
};

// EKEntityType
enum EKEntityType : std::int64_t { EKEntityTypeEvent = 0, EKEntityTypeReminder = 1 };

// EKAuthorizationStatus (authorized and full access share the value 3).
enum EKAuthorizationStatus : std::int64_t {
    EKAuthorizationStatusNotDetermined = 0,
    EKAuthorizationStatusRestricted = 1,
    EKAuthorizationStatusDenied = 2,
    EKAuthorizationStatusFullAccess = 3,
    EKAuthorizationStatusWriteOnly = 4,
};

// SMAppServiceStatus
enum SMAppServiceStatus : std::int64_t {
    SMAppServiceStatusNotRegistered = 0,
    SMAppServiceStatusEnabled = 1,
    SMAppServiceStatusRequiresApproval = 2,
    SMAppServiceStatusNotFound = 3,
};

// NSSearchPathDirectory / NSSearchPathDomainMask
enum SearchPathDirectory : std::int64_t { NSLibraryDirectory = 5 };
enum SearchPathDomainMask : std::int64_t { NSUserDomainMask = 1 };

// NSStatusItem length. AppKit defines the name as a macro of the same
// value; a file that includes AppKit sees that one.
#ifndef NSVariableStatusItemLength
inline constexpr double NSVariableStatusItemLength = -1;
#endif

// dispatch quality of service classes
enum class QualityOfService { UserInteractive, UserInitiated, Default, Utility, Background };

// --- window server -----------------------------------------------------------

// NSWindowStyleMask
enum NSWindowStyleMask : std::uint64_t {
    NSWindowStyleMaskBorderless = 0,
    NSWindowStyleMaskTitled = 1 << 0,
    NSWindowStyleMaskClosable = 1 << 1,
    NSWindowStyleMaskMiniaturizable = 1 << 2,
    NSWindowStyleMaskResizable = 1 << 3,
    NSWindowStyleMaskUtilityWindow = 1 << 4,
    NSWindowStyleMaskDocModalWindow = 1 << 6,
    NSWindowStyleMaskNonactivatingPanel = 1 << 7,
    NSWindowStyleMaskUnifiedTitleAndToolbar = 1 << 12,
    NSWindowStyleMaskHUDWindow = 1 << 13,
    NSWindowStyleMaskFullScreen = 1 << 14,
    NSWindowStyleMaskFullSizeContentView = 1 << 15,
};

// NSBackingStoreType
enum NSBackingStoreType : std::uint64_t {
    NSBackingStoreRetained = 0,
    NSBackingStoreNonretained = 1,
    NSBackingStoreBuffered = 2,
};

// NSWindowCollectionBehavior
enum NSWindowCollectionBehavior : std::uint64_t {
    NSWindowCollectionBehaviorDefault = 0,
    NSWindowCollectionBehaviorCanJoinAllSpaces = 1 << 0,
    NSWindowCollectionBehaviorMoveToActiveSpace = 1 << 1,
    NSWindowCollectionBehaviorManaged = 1 << 2,
    NSWindowCollectionBehaviorTransient = 1 << 3,
    NSWindowCollectionBehaviorStationary = 1 << 4,
    NSWindowCollectionBehaviorParticipatesInCycle = 1 << 5,
    NSWindowCollectionBehaviorIgnoresCycle = 1 << 6,
    NSWindowCollectionBehaviorFullScreenPrimary = 1 << 7,
    NSWindowCollectionBehaviorFullScreenAuxiliary = 1 << 8,
    NSWindowCollectionBehaviorFullScreenNone = 1 << 9,
    NSWindowCollectionBehaviorFullScreenAllowsTiling = 1 << 11,
    NSWindowCollectionBehaviorFullScreenDisallowsTiling = 1 << 12,
};

// CGWindowLevel and NSWindowLevel: a window is drawn above every window of a
// lower level, whatever their order within a level.
using CGWindowLevel = std::int32_t;
using NSWindowLevel = std::int64_t;

// CGWindowLevelKey
enum CGWindowLevelKey : std::int32_t {
    kCGBaseWindowLevelKey = 0,
    kCGMinimumWindowLevelKey = 1,
    kCGDesktopWindowLevelKey = 2,
    kCGBackstopMenuLevelKey = 3,
    kCGNormalWindowLevelKey = 4,
    kCGFloatingWindowLevelKey = 5,
    kCGTornOffMenuWindowLevelKey = 6,
    kCGDockWindowLevelKey = 7,
    kCGMainMenuWindowLevelKey = 8,
    kCGStatusWindowLevelKey = 9,
    kCGModalPanelWindowLevelKey = 10,
    kCGPopUpMenuWindowLevelKey = 11,
    kCGDraggingWindowLevelKey = 12,
    kCGScreenSaverWindowLevelKey = 13,
    kCGMaximumWindowLevelKey = 14,
    kCGOverlayWindowLevelKey = 15,
    kCGHelpWindowLevelKey = 16,
    kCGUtilityWindowLevelKey = 17,
    kCGDesktopIconWindowLevelKey = 18,
    kCGCursorWindowLevelKey = 19,
    kCGAssistiveTechHighWindowLevelKey = 20,
    kCGNumberOfWindowLevelKeys = 21,
};

// The levels CGWindowLevelForKey answers (CGWindowLevel.h).
inline constexpr CGWindowLevel kCGBaseWindowLevel = INT32_MIN;
inline constexpr CGWindowLevel kCGMinimumWindowLevel = kCGBaseWindowLevel + 5;
inline constexpr CGWindowLevel kCGMaximumWindowLevel = INT32_MAX - 16;
inline constexpr CGWindowLevel kCGDesktopWindowLevel = kCGMinimumWindowLevel + 20;
inline constexpr CGWindowLevel kCGDesktopIconWindowLevel = kCGDesktopWindowLevel + 20;
inline constexpr CGWindowLevel kCGBackstopMenuLevel = -20;
inline constexpr CGWindowLevel kCGNormalWindowLevel = 0;
inline constexpr CGWindowLevel kCGFloatingWindowLevel = 3;
inline constexpr CGWindowLevel kCGTornOffMenuWindowLevel = 3;
inline constexpr CGWindowLevel kCGModalPanelWindowLevel = 8;
inline constexpr CGWindowLevel kCGUtilityWindowLevel = 19;
inline constexpr CGWindowLevel kCGDockWindowLevel = 20;
inline constexpr CGWindowLevel kCGMainMenuWindowLevel = 24;
inline constexpr CGWindowLevel kCGStatusWindowLevel = 25;
inline constexpr CGWindowLevel kCGPopUpMenuWindowLevel = 101;
inline constexpr CGWindowLevel kCGOverlayWindowLevel = 102;
inline constexpr CGWindowLevel kCGHelpWindowLevel = 200;
inline constexpr CGWindowLevel kCGDraggingWindowLevel = 500;
inline constexpr CGWindowLevel kCGScreenSaverWindowLevel = 1000;
inline constexpr CGWindowLevel kCGAssistiveTechHighWindowLevel = 1500;
inline constexpr CGWindowLevel kCGCursorWindowLevel = kCGMaximumWindowLevel - 1;

// The table behind CGWindowLevelForKey, for backends that answer it
// themselves. An unknown key answers the normal level.
constexpr CGWindowLevel standardWindowLevelForKey(CGWindowLevelKey key) {
    switch (key) {
        case kCGBaseWindowLevelKey: return kCGBaseWindowLevel;
        case kCGMinimumWindowLevelKey: return kCGMinimumWindowLevel;
        case kCGDesktopWindowLevelKey: return kCGDesktopWindowLevel;
        case kCGBackstopMenuLevelKey: return kCGBackstopMenuLevel;
        case kCGNormalWindowLevelKey: return kCGNormalWindowLevel;
        case kCGFloatingWindowLevelKey: return kCGFloatingWindowLevel;
        case kCGTornOffMenuWindowLevelKey: return kCGTornOffMenuWindowLevel;
        case kCGDockWindowLevelKey: return kCGDockWindowLevel;
        case kCGMainMenuWindowLevelKey: return kCGMainMenuWindowLevel;
        case kCGStatusWindowLevelKey: return kCGStatusWindowLevel;
        case kCGModalPanelWindowLevelKey: return kCGModalPanelWindowLevel;
        case kCGPopUpMenuWindowLevelKey: return kCGPopUpMenuWindowLevel;
        case kCGDraggingWindowLevelKey: return kCGDraggingWindowLevel;
        case kCGScreenSaverWindowLevelKey: return kCGScreenSaverWindowLevel;
        case kCGMaximumWindowLevelKey: return kCGMaximumWindowLevel;
        case kCGOverlayWindowLevelKey: return kCGOverlayWindowLevel;
        case kCGHelpWindowLevelKey: return kCGHelpWindowLevel;
        case kCGUtilityWindowLevelKey: return kCGUtilityWindowLevel;
        case kCGDesktopIconWindowLevelKey: return kCGDesktopIconWindowLevel;
        case kCGCursorWindowLevelKey: return kCGCursorWindowLevel;
        case kCGAssistiveTechHighWindowLevelKey: return kCGAssistiveTechHighWindowLevel;
        case kCGNumberOfWindowLevelKeys: break;
    }
    return kCGNormalWindowLevel;
}

// NSWindowLevel constants (the AppKit names for the same numbers).
inline constexpr NSWindowLevel NSNormalWindowLevel = kCGNormalWindowLevel;
inline constexpr NSWindowLevel NSFloatingWindowLevel = kCGFloatingWindowLevel;
inline constexpr NSWindowLevel NSSubmenuWindowLevel = kCGTornOffMenuWindowLevel;
inline constexpr NSWindowLevel NSTornOffMenuWindowLevel = kCGTornOffMenuWindowLevel;
inline constexpr NSWindowLevel NSModalPanelWindowLevel = kCGModalPanelWindowLevel;
inline constexpr NSWindowLevel NSMainMenuWindowLevel = kCGMainMenuWindowLevel;
inline constexpr NSWindowLevel NSStatusWindowLevel = kCGStatusWindowLevel;
inline constexpr NSWindowLevel NSPopUpMenuWindowLevel = kCGPopUpMenuWindowLevel;
inline constexpr NSWindowLevel NSScreenSaverWindowLevel = kCGScreenSaverWindowLevel;

}  // namespace platform
