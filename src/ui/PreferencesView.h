#pragma once

#include <memory>

#include "kit/Declarative.h"
#include "kit/Image.h"
#include "platform/WindowServer.h"

namespace durazizi {

// The five tabs of the preferences window. Each is a tree of controls bound
// straight to settings keys; none keeps state of its own.
namespace GeneralTab { kit::ui::Node body(); }
namespace AppearanceTab { kit::ui::Node body(); }
namespace SpecialsTab { kit::ui::Node body(); }
namespace WindowManagementTab { kit::ui::Node body(); }
namespace AboutTab {
kit::ui::Node body();
// The application's icon, made once per process: the bundle's "AppIcon.icns",
// else Durazizi's icon drawn from its paths, sharp at every size it is shown.
// The menu-bar panel, the terms and the guide show it too.
kit::ImageRef appIcon();
}

// The preferences window: made on the first show and kept, reused at its
// last position afterwards.
class PreferencesWindowController : public std::enable_shared_from_this<PreferencesWindowController> {
public:
    static constexpr double kContentWidth = 560;
    static constexpr double kContentHeight = 460;

    // One instance per process, made on first use.
    static std::shared_ptr<PreferencesWindowController> shared();

    void show();

    const std::shared_ptr<platform::Window>& window() const { return window_; }
    kit::ui::Node body();

private:
    std::shared_ptr<platform::Window> window_;
    std::size_t selectedTab_ = 0;
};

}  // namespace durazizi
