#include <optional>
#include <string>

#include "render/Renderer.h"
#include "tools/scenario/Commands.h"
#include "tools/scenario/World.h"

namespace scenario {

Action parseSnapshot(Args& args) {
    const std::string path = args.text("a file path");
    if (!args.error() && path.empty()) args.fail("the file path cannot be empty");
    return [path](World& world, std::ostream&) -> std::optional<std::string> {
        // A renderer of its own each time: nothing cached from an earlier
        // picture can stand in for what the desktop shows now.
        render::DesktopRenderer renderer(world.desktop());
        const render::Frame& frame = renderer.paint(1.0);
        if (frame.width <= 0 || frame.height <= 0) return "snapshot: there is no display to picture";
        // A relative path is taken from the current directory, as a shell would.
        if (!render::writePNG(frame, path)) return "snapshot: cannot write " + path;
        return std::nullopt;
    };
}

}  // namespace scenario
