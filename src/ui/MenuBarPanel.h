#pragma once

#include <functional>
#include <memory>
#include <optional>

#include "kit/Declarative.h"
#include "platform/Application.h"
#include "platform/EventMonitors.h"
#include "platform/WindowServer.h"

namespace durazizi {

// A declarative view behind a uniform face: its body, and what to do each
// time it comes on screen.
struct AnyView {
    std::function<kit::ui::Node()> body;
    std::function<void()> onAppear;
};

// The content of the drop-down panel under the status item: the header, the
// two feature switches bound to their settings, a row for each missing
// permission and the three commands.
class HomePanelView {
public:
    HomePanelView(std::function<void()> openGuide, std::function<void()> openSettings, std::function<void()> openAX,
                  std::function<void()> openSR, std::function<void()> quit);

    kit::ui::Node body() const;
    // Reads the two permission flags again (the view coming on screen).
    void refreshPermissions() const;
    AnyView erased() const;

    std::function<void()> openGuide;
    std::function<void()> openSettings;
    std::function<void()> openAX;
    std::function<void()> openSR;
    std::function<void()> quit;

private:
    struct State {
        bool axGranted = false;
        bool srGranted = false;
    };
    std::shared_ptr<State> state_ = std::make_shared<State>();
};

// The drop-down panel under the status item: a borderless, translucent,
// keyable panel that fades in under the button and closes on any click
// that goes to another application.
class MenuBarPanelController : public std::enable_shared_from_this<MenuBarPanelController> {
public:
    static constexpr double kWidth = 288;
    static constexpr double kScreenMargin = 6;     // from the visible frame's sides
    static constexpr double kGapBelowButton = 2;
    static constexpr double kCornerRadius = 12;
    static constexpr double kFadeInDuration = 0.12;
    static constexpr double kFadeOutDuration = 0.1;

    void show(platform::StatusBarButton& from, AnyView rootView);
    void hide();

    const std::shared_ptr<platform::Panel>& panel() const { return panel_; }

private:
    std::shared_ptr<platform::Panel> panel_;
    platform::EventMonitorRef clickMonitor_;
    // The button drawn pressed while the panel is open. The status item that
    // owns it lives as long as the process, as this controller does.
    platform::StatusBarButton* highlighted_ = nullptr;
};

}  // namespace durazizi
