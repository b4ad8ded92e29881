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

// AXValueType, under both of its names. The Accessibility headers define
// the older names as macros over the newer ones, so the older names are
// declared only where those headers have not been read.
enum AXValueType : std::int32_t {
    kAXValueTypeCGPoint = 1,
    kAXValueTypeCGSize = 2,
    kAXValueTypeCGRect = 3,
    kAXValueTypeCFRange = 4,
    kAXValueTypeAXError = 5,
    kAXValueTypeIllegal = 0,
#ifndef kAXValueCGPointType
    kAXValueCGPointType = kAXValueTypeCGPoint,
    kAXValueCGSizeType = kAXValueTypeCGSize,
    kAXValueCGRectType = kAXValueTypeCGRect,
    kAXValueCFRangeType = kAXValueTypeCFRange,
    kAXValueAXErrorType = kAXValueTypeAXError,
    kAXValueIllegalType = kAXValueTypeIllegal,
#endif
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

// CGWindowListOption
enum CGWindowListOption : std::uint32_t {
    kCGWindowListOptionAll = 0,
    kCGWindowListOptionOnScreenOnly = 1 << 0,
    kCGWindowListOptionOnScreenAboveWindow = 1 << 1,
    kCGWindowListOptionOnScreenBelowWindow = 1 << 2,
    kCGWindowListOptionIncludingWindow = 1 << 3,
    kCGWindowListExcludeDesktopElements = 1 << 4,
};

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

// The levels CGWindowLevelForKey answers (CGWindowLevel.h). CoreGraphics
// names them as macros over CGWindowLevelForKey, so the numbers live under
// names of their own, and the CoreGraphics names are declared here only
// where CoreGraphics has not declared them.
namespace levels {
inline constexpr CGWindowLevel base = INT32_MIN;
inline constexpr CGWindowLevel minimum = base + 5;
inline constexpr CGWindowLevel maximum = INT32_MAX - 16;
inline constexpr CGWindowLevel desktop = minimum + 20;
inline constexpr CGWindowLevel desktopIcon = desktop + 20;
inline constexpr CGWindowLevel backstopMenu = -20;
inline constexpr CGWindowLevel normal = 0;
inline constexpr CGWindowLevel floating = 3;
inline constexpr CGWindowLevel tornOffMenu = 3;
inline constexpr CGWindowLevel modalPanel = 8;
inline constexpr CGWindowLevel utility = 19;
inline constexpr CGWindowLevel dock = 20;
inline constexpr CGWindowLevel mainMenu = 24;
inline constexpr CGWindowLevel status = 25;
inline constexpr CGWindowLevel popUpMenu = 101;
inline constexpr CGWindowLevel overlay = 102;
inline constexpr CGWindowLevel help = 200;
inline constexpr CGWindowLevel dragging = 500;
inline constexpr CGWindowLevel screenSaver = 1000;
inline constexpr CGWindowLevel assistiveTechHigh = 1500;
inline constexpr CGWindowLevel cursor = maximum - 1;
}  // namespace levels

#ifndef kCGNormalWindowLevel
inline constexpr CGWindowLevel kCGBaseWindowLevel = levels::base;
inline constexpr CGWindowLevel kCGMinimumWindowLevel = levels::minimum;
inline constexpr CGWindowLevel kCGMaximumWindowLevel = levels::maximum;
inline constexpr CGWindowLevel kCGDesktopWindowLevel = levels::desktop;
inline constexpr CGWindowLevel kCGDesktopIconWindowLevel = levels::desktopIcon;
inline constexpr CGWindowLevel kCGBackstopMenuLevel = levels::backstopMenu;
inline constexpr CGWindowLevel kCGNormalWindowLevel = levels::normal;
inline constexpr CGWindowLevel kCGFloatingWindowLevel = levels::floating;
inline constexpr CGWindowLevel kCGTornOffMenuWindowLevel = levels::tornOffMenu;
inline constexpr CGWindowLevel kCGModalPanelWindowLevel = levels::modalPanel;
inline constexpr CGWindowLevel kCGUtilityWindowLevel = levels::utility;
inline constexpr CGWindowLevel kCGDockWindowLevel = levels::dock;
inline constexpr CGWindowLevel kCGMainMenuWindowLevel = levels::mainMenu;
inline constexpr CGWindowLevel kCGStatusWindowLevel = levels::status;
inline constexpr CGWindowLevel kCGPopUpMenuWindowLevel = levels::popUpMenu;
inline constexpr CGWindowLevel kCGOverlayWindowLevel = levels::overlay;
inline constexpr CGWindowLevel kCGHelpWindowLevel = levels::help;
inline constexpr CGWindowLevel kCGDraggingWindowLevel = levels::dragging;
inline constexpr CGWindowLevel kCGScreenSaverWindowLevel = levels::screenSaver;
inline constexpr CGWindowLevel kCGAssistiveTechHighWindowLevel = levels::assistiveTechHigh;
inline constexpr CGWindowLevel kCGCursorWindowLevel = levels::cursor;
#endif

// The table behind CGWindowLevelForKey, for backends that answer it
// themselves. An unknown key answers the normal level.
constexpr CGWindowLevel standardWindowLevelForKey(CGWindowLevelKey key) {
    switch (key) {
        case kCGBaseWindowLevelKey: return levels::base;
        case kCGMinimumWindowLevelKey: return levels::minimum;
        case kCGDesktopWindowLevelKey: return levels::desktop;
        case kCGBackstopMenuLevelKey: return levels::backstopMenu;
        case kCGNormalWindowLevelKey: return levels::normal;
        case kCGFloatingWindowLevelKey: return levels::floating;
        case kCGTornOffMenuWindowLevelKey: return levels::tornOffMenu;
        case kCGDockWindowLevelKey: return levels::dock;
        case kCGMainMenuWindowLevelKey: return levels::mainMenu;
        case kCGStatusWindowLevelKey: return levels::status;
        case kCGModalPanelWindowLevelKey: return levels::modalPanel;
        case kCGPopUpMenuWindowLevelKey: return levels::popUpMenu;
        case kCGDraggingWindowLevelKey: return levels::dragging;
        case kCGScreenSaverWindowLevelKey: return levels::screenSaver;
        case kCGMaximumWindowLevelKey: return levels::maximum;
        case kCGOverlayWindowLevelKey: return levels::overlay;
        case kCGHelpWindowLevelKey: return levels::help;
        case kCGUtilityWindowLevelKey: return levels::utility;
        case kCGDesktopIconWindowLevelKey: return levels::desktopIcon;
        case kCGCursorWindowLevelKey: return levels::cursor;
        case kCGAssistiveTechHighWindowLevelKey: return levels::assistiveTechHigh;
        case kCGNumberOfWindowLevelKeys: break;
    }
    return levels::normal;
}

// NSWindowLevel constants (the AppKit names for the same numbers).
inline constexpr NSWindowLevel NSNormalWindowLevel = levels::normal;
inline constexpr NSWindowLevel NSFloatingWindowLevel = levels::floating;
inline constexpr NSWindowLevel NSSubmenuWindowLevel = levels::tornOffMenu;
inline constexpr NSWindowLevel NSTornOffMenuWindowLevel = levels::tornOffMenu;
inline constexpr NSWindowLevel NSModalPanelWindowLevel = levels::modalPanel;
inline constexpr NSWindowLevel NSMainMenuWindowLevel = levels::mainMenu;
inline constexpr NSWindowLevel NSStatusWindowLevel = levels::status;
inline constexpr NSWindowLevel NSPopUpMenuWindowLevel = levels::popUpMenu;
inline constexpr NSWindowLevel NSScreenSaverWindowLevel = levels::screenSaver;

}  // namespace platform
