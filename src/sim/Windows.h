#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "kit/Geometry.h"
#include "platform/Platform.h"
#include "sim/Service.h"

namespace sim {

struct World;

using platform::CGWindowID;
using platform::pid_t;

struct WindowSpec {
    pid_t pid = 0;
    std::string title;
    std::optional<CGWindowID> id;           // counts up from 100 when absent
    kit::Rect frame{100, 100, 800, 600};    // top-left global coordinates
    std::string subrole = "AXStandardWindow";
    bool minimized = false;
    bool closeButton = true;
    int depth = 3;                          // content elements between the window and the deepest one
    kit::Size minimumSize{120, 80};         // the app refuses to go smaller
    bool refusesMove = false;               // position writes fail
    bool refusesResize = false;             // size writes fail
    std::optional<std::uint32_t> space{};   // the current Space of the display its frame lies on when absent
};

// What a user, or another application, sees of one simulated window.
struct WindowInfo {
    CGWindowID id = 0;
    pid_t pid = 0;
    bool exists = false;
    std::string title;
    kit::Rect frame;       // top-left global coordinates
    bool minimized = false;
    bool focused = false;  // its app's focused window, and that app is frontmost
    std::uint32_t space = 0;       // the Space it is on; 0 on every Space
    bool onCurrentSpace = true;    // its Space is the one its display shows
};

// The other applications' windows, front to back.
class Windows final : public Service {
public:
    explicit Windows(World& world) : world_(world) {}

    CGWindowID add(const WindowSpec& spec);
    // Its application closes it (the user closed it there).
    void close(CGWindowID id);
    // Its application renames it (a document saved under another name).
    void setTitle(CGWindowID id, const std::string& title);
    WindowInfo info(CGWindowID id) const;
    // Front to back, every window of every running application.
    std::vector<WindowInfo> all() const;
    // A window's content as the capture service draws it (the same pixels a
    // captureImage of that size answers, without counting as a capture);
    // empty when the window is gone or the size has no pixels.
    std::vector<std::uint32_t> pixels(CGWindowID id, int pixelWidth, int pixelHeight) const;

    void fingerprint(Fingerprint& f) const override;

private:
    World& world_;
};

}  // namespace sim
