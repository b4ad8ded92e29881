#pragma once

#include "platform/Screens.h"

namespace macos {

// NSScreen and NSEvent.mouseLocation; both are Cocoa coordinates already.
class MacScreens final : public platform::Screens {
public:
    std::vector<platform::Screen> screens() override;
    std::optional<platform::Screen> mainScreen() override;
    kit::Point mouseLocation() override;
};

}  // namespace macos
