#include "sim/OwnWindows.h"

#include "sim/SimWindowServer.h"

namespace sim {

std::vector<OwnWindowInfo> OwnWindows::list() const {
    std::shared_ptr<SimWindow> key = windowServer_.keyWindow();
    std::vector<OwnWindowInfo> result;
    for (const auto& window : windowServer_.windows()) {
        window->syncContentView();
        OwnWindowInfo info;
        info.title = window->title();
        info.visible = window->isVisible();
        info.minimized = window->isMiniaturized();
        info.frame = windowServer_.toTopLeft(window->frame());
        info.level = window->level();
        info.alpha = window->alphaValue();
        info.windowNumber = window->windowNumber();
        info.isPanel = window->isPanel();
        info.key = window == key;
        info.contentView = window->contentView();
        info.styleMask = window->styleMask();
        info.opaque = window->isOpaque();
        info.hasShadow = window->hasShadow();
        info.backgroundColor = window->backgroundColor();
        info.ignoresMouse = window->ignoresMouseEvents();
        info.appearance = window->appearance();
        result.push_back(std::move(info));
    }
    return result;
}

}  // namespace sim
