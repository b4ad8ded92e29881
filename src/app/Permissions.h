#pragma once

#include <string>

namespace durazizi::Permissions {

inline constexpr const char* kAccessibilityPane = "com.apple.preference.security?Privacy_Accessibility";
inline constexpr const char* kScreenCapturePane = "com.apple.preference.security?Privacy_ScreenCapture";

// Opens "x-apple.systempreferences:" + anchor in the system settings, when
// that is a valid URL.
void open(const std::string& anchor);

}  // namespace durazizi::Permissions
