#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "kit/Appearance.h"
#include "kit/Color.h"
#include "kit/Geometry.h"
#include "kit/View.h"
#include "platform/WindowServer.h"

namespace sim {

class SimWindowServer;

// One of Durazizi's own windows or panels as the window server shows it.
struct OwnWindowInfo {
    std::string title;
    bool visible = false;
    bool minimized = false;                  // in the Dock
    kit::Rect frame;                         // top-left global coordinates
    platform::NSWindowLevel level = 0;
    double alpha = 1;
    std::int64_t windowNumber = 0;
    bool isPanel = false;
    bool key = false;
    std::shared_ptr<kit::View> contentView;
    // How the window server composes it (painters read these).
    std::uint64_t styleMask = 0;
    bool opaque = true;
    bool hasShadow = true;
    kit::Color backgroundColor = kit::Color::white();
    bool ignoresMouse = false;
    std::optional<kit::Appearance> appearance;   // nullopt follows the system's
};

// What the window server shows of Durazizi's windows, as a user (or a
// painter) sees them.
class OwnWindows final {
public:
    explicit OwnWindows(SimWindowServer& windowServer) : windowServer_(windowServer) {}

    // Every window the running process made and still holds, front-most
    // visible first, then the ordered-out ones in the order they were made.
    std::vector<OwnWindowInfo> list() const;

private:
    SimWindowServer& windowServer_;
};

}  // namespace sim
