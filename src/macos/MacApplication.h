#pragma once

#include "platform/Application.h"

namespace macos {

// NSApplication, NSStatusBar.systemStatusBar and NSBundle.mainBundle.
class MacApplication final : public platform::Application {
public:
    MacApplication();
    ~MacApplication() override;

    void setDelegate(std::shared_ptr<platform::ApplicationDelegate> delegate) override;
    int run() override;
    void terminate() override;
    bool setActivationPolicy(platform::ActivationPolicy policy) override;
    platform::ActivationPolicy activationPolicy() const override;
    void activateIgnoringOtherApps(bool flag) override;
    void deactivate() override;
    void setMainMenu(platform::MenuRef menu) override;
    platform::MenuRef mainMenu() const override;
    void setServicesMenu(platform::MenuRef menu) override;
    void setWindowsMenu(platform::MenuRef menu) override;
    void setHelpMenu(platform::MenuRef menu) override;
    platform::StatusItemRef statusItemWithLength(double length) override;
    void orderFrontStandardAboutPanelWithOptions(const std::map<std::string, std::string>& options) override;
    kit::ImageRef applicationIconImage() override;
    kit::ImageRef bundleImageResource(const std::string& name, const std::string& extension) override;

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace macos
