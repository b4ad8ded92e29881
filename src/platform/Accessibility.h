#pragma once

#include <string>

#include "platform/CFType.h"

namespace platform {

// The AXUIElement API. Calls are synchronous and cross-process on macOS; every
// failure is an AXError, never an exception. Without Accessibility trust
// every call answers kAXErrorAPIDisabled.
class Accessibility {
public:
    virtual ~Accessibility() = default;

    virtual AXUIElementRef createSystemWide() = 0;                 // AXUIElementCreateSystemWide
    virtual AXUIElementRef createApplication(pid_t pid) = 0;       // AXUIElementCreateApplication
    virtual AXError copyAttributeValue(const AXUIElementRef& element, const std::string& attribute,
                                       CFType* value) = 0;        // AXUIElementCopyAttributeValue
    virtual AXError setAttributeValue(const AXUIElementRef& element, const std::string& attribute,
                                      const CFType& value) = 0;   // AXUIElementSetAttributeValue
    virtual AXError performAction(const AXUIElementRef& element, const std::string& action) = 0;
    // AXUIElementCopyElementAtPosition; the platform takes single-precision coordinates.
    virtual AXError copyElementAtPosition(const AXUIElementRef& application, float x, float y,
                                          AXUIElementRef* element) = 0;
    // _AXUIElementGetWindow, the private window-number call.
    virtual AXError getWindow(const AXUIElementRef& element, CGWindowID* windowID) = 0;
    virtual bool isProcessTrusted() = 0;                               // AXIsProcessTrusted
    virtual bool isProcessTrustedWithOptions(bool prompt) = 0;         // kAXTrustedCheckOptionPrompt
};

}  // namespace platform
