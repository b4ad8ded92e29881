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

// NSStatusItem length
inline constexpr double NSVariableStatusItemLength = -1;

// dispatch quality of service classes
enum class QualityOfService { UserInteractive, UserInitiated, Default, Utility, Background };

}  // namespace platform
