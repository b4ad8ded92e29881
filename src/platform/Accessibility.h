#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/CFType.h"

namespace platform {

// An AXObserverRef: notifications about one process's elements, delivered
// on the main run loop for as long as the observer is kept. Dropping the
// last reference removes it and its run-loop source.
class AXObserver {
public:
    virtual ~AXObserver() = default;
};
using AXObserverRef = std::shared_ptr<AXObserver>;
// The element the notification is about, and the notification's name.
using AXObserverCallback = std::function<void(const AXUIElementRef& element, const std::string& notification)>;

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
    // AXUIElementGetPid. Answered from the handle itself: no message to the
    // process, so it costs nothing even when the process hangs.
    virtual AXError getPid(const AXUIElementRef& element, pid_t* pid) = 0;
    // AXUIElementSetMessagingTimeout: how long a message to the element's
    // process waits for an answer before it fails with kAXErrorCannotComplete.
    // On the system-wide element it sets the process-wide default, which
    // elements without a timeout of their own (or of their application
    // element) use; 0 restores the platform's default there, and elsewhere
    // returns to inheriting. Local to the caller; no message is sent.
    virtual AXError setMessagingTimeout(const AXUIElementRef& element, float timeoutInSeconds) = 0;
    // AXObserverCreate, with its run-loop source already on the main run loop.
    virtual AXError createObserver(pid_t pid, AXObserverCallback callback, AXObserverRef* observer) = 0;
    // AXObserverAddNotification: `element` must belong to the observer's process.
    virtual AXError addNotification(const AXObserverRef& observer, const AXUIElementRef& element,
                                    const std::string& notification) = 0;
    virtual bool isProcessTrusted() = 0;                               // AXIsProcessTrusted
    virtual bool isProcessTrustedWithOptions(bool prompt) = 0;         // kAXTrustedCheckOptionPrompt
};

}  // namespace platform
