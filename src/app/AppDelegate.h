#pragma once

#include <memory>

#include "dock/HoverController.h"
#include "platform/Application.h"
#include "platform/RunLoop.h"
#include "ui/MenuBarPanel.h"
#include "windowing/InputTap.h"
#include "windowing/SnapController.h"

namespace durazizi {

// The root of the running system: owns the long-lived controllers, builds the
// menus and the status item, gates the first launch on the terms, and starts
// the controllers once Accessibility access is granted.
class AppDelegate : public platform::ApplicationDelegate,
                    public std::enable_shared_from_this<AppDelegate> {
public:
    AppDelegate();

    void applicationDidFinishLaunching() override;

    void setupMainMenu();
    void setupStatusItem();
    void beginRunning();
    void startIfPermitted();

    // Actions of the menus, the status item and the menu-bar panel.
    void togglePopover();
    HomePanelView homePanel();
    void openGuide();
    void openPrefs();
    void openAX();
    void openSR();
    void showAbout();
    void openSupport();
    void emailSupport();
    void quit();

    bool isStarted() const { return started_; }
    const platform::StatusItemRef& statusItem() const { return statusItem_; }
    const HoverController& hover() const { return *hover_; }
    const SnapController& snap() const { return *snap_; }
    const InputTap& input() const { return *input_; }
    const MenuBarPanelController& panelController() const { return *panelController_; }

private:
    platform::StatusItemRef statusItem_;
    std::shared_ptr<HoverController> hover_;
    std::shared_ptr<SnapController> snap_;
    std::shared_ptr<InputTap> input_;
    std::shared_ptr<platform::Timer> permTimer_;
    bool started_ = false;
    std::shared_ptr<MenuBarPanelController> panelController_;
};

}  // namespace durazizi
