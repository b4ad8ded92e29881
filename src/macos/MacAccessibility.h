#pragma once

#include "platform/Accessibility.h"

namespace macos {

// The AXUIElement and AXObserver C API. macOS answers accessibility calls
// safely only on the main thread, so every call asserts it.
class MacAccessibility final : public platform::Accessibility {
public:
    platform::AXUIElementRef createSystemWide() override;
    platform::AXUIElementRef createApplication(platform::pid_t pid) override;
    platform::AXError copyAttributeValue(const platform::AXUIElementRef& element, const std::string& attribute,
                                         platform::CFType* value) override;
    platform::AXError setAttributeValue(const platform::AXUIElementRef& element, const std::string& attribute,
                                        const platform::CFType& value) override;
    platform::AXError performAction(const platform::AXUIElementRef& element, const std::string& action) override;
    platform::AXError copyElementAtPosition(const platform::AXUIElementRef& application, float x, float y,
                                            platform::AXUIElementRef* element) override;
    platform::AXError getWindow(const platform::AXUIElementRef& element, platform::CGWindowID* windowID) override;
    platform::AXError getPid(const platform::AXUIElementRef& element, platform::pid_t* pid) override;
    platform::AXError setMessagingTimeout(const platform::AXUIElementRef& element, float timeoutInSeconds) override;
    platform::AXError createObserver(platform::pid_t pid, platform::AXObserverCallback callback,
                                     platform::AXObserverRef* observer) override;
    platform::AXError addNotification(const platform::AXObserverRef& observer, const platform::AXUIElementRef& element,
                                      const std::string& notification) override;
    bool isProcessTrusted() override;
    bool isProcessTrustedWithOptions(bool prompt) override;
};

}  // namespace macos
