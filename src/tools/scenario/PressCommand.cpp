#include <ostream>

#include "kit/Button.h"
#include "tools/scenario/Commands.h"
#include "tools/scenario/World.h"

namespace scenario {

namespace {

using Result = std::optional<std::string>;

// The first visible button, depth first, whose title or accessibility label is `text`.
const kit::Button* findButton(const kit::View& view, const std::string& text) {
    if (view.isHidden()) return nullptr;
    if (auto button = dynamic_cast<const kit::Button*>(&view)) {
        if (button->title() == text || button->accessibilityLabel() == text) return button;
    }
    for (const auto& child : view.subviews()) {
        if (auto found = findButton(*child, text)) return found;
    }
    return nullptr;
}

}  // namespace

Action parsePress(Args& args) {
    const std::string text = args.text("the text of a control");
    return [text](World& world, std::ostream&) -> Result {
        if (!world.running()) return "press: Durazizi is not running";
        // Front-most first; the first window that has such a control takes the click.
        for (const sim::OwnWindowInfo& window : world.desktop().ownWindows().list()) {
            if (!window.visible || !window.contentView) continue;
            const kit::Button* button = findButton(*window.contentView, text);
            if (!button) continue;
            const kit::Rect bounds = button->bounds();
            const kit::Point inContent = button->convertToRoot(bounds.center());
            // The content fills the window; unflipped content counts up from the bottom.
            const double y = window.contentView->isFlipped() ? window.frame.minY() + inContent.y
                                                             : window.frame.maxY() - inContent.y;
            const kit::Point topLeft{window.frame.minX() + inContent.x, y};
            world.desktop().input().move(topLeft);
            world.desktop().input().click(topLeft);
            return std::nullopt;
        }
        return "press: no control \"" + text + "\" in Durazizi's windows";
    };
}

}  // namespace scenario
