#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Application.h"
#include "sim/Graveyard.h"
#include "sim/Service.h"
#include "sim/SimStatusItem.h"
#include "sim/World.h"

namespace sim {

// NSApplication of Durazizi's own simulated process, with the status bar and
// the main menu as a user would click them.
class SimApplication final : public platform::Application, public Service {
public:
    SimApplication(std::shared_ptr<World> world, Graveyard& graveyard, std::function<void()> terminateProcess);

    void setDelegate(std::shared_ptr<platform::ApplicationDelegate> delegate) override;
    int run() override;
    void terminate() override;

    bool setActivationPolicy(platform::ActivationPolicy policy) override;
    platform::ActivationPolicy activationPolicy() const override { return process_.policy; }
    void activateIgnoringOtherApps(bool flag) override;

    void setMainMenu(platform::MenuRef menu) override { process_.mainMenu = std::move(menu); }
    platform::MenuRef mainMenu() const override { return process_.mainMenu; }
    void setServicesMenu(platform::MenuRef menu) override { process_.servicesMenu = std::move(menu); }
    void setWindowsMenu(platform::MenuRef menu) override { process_.windowsMenu = std::move(menu); }
    void setHelpMenu(platform::MenuRef menu) override { process_.helpMenu = std::move(menu); }

    platform::StatusItemRef statusItemWithLength(double length) override;
    void orderFrontStandardAboutPanelWithOptions(const std::map<std::string, std::string>& options) override;

    kit::ImageRef applicationIconImage() override;
    kit::ImageRef bundleImageResource(const std::string& name, const std::string& extension) override;

    // --- the desktop's side -----------------------------------------------------
    // The process died: everything it held goes to the graveyard.
    void endProcess() override;
    // A new process: nothing of the previous one is left.
    void beginProcess() override;
    void fingerprint(Fingerprint& f) const override;

    bool hasStatusItem() const;
    kit::ImageRef statusItemImage() const;
    std::optional<kit::Rect> statusItemFrame() const;   // top-left global coordinates
    bool clickStatusItem();
    bool chooseMenuItem(const std::string& menuTitle, const std::string& itemTitle);
    // A key press the key window's views left alone: the main menu's item
    // with that key equivalent runs, as NSMenu's performKeyEquivalent:.
    // `characters` ignore the modifiers; an upper-case equivalent asks for
    // shift too. False when no item has it.
    bool performKeyEquivalent(const std::string& characters, std::uint64_t modifierFlags);
    std::optional<std::map<std::string, std::string>> aboutPanelOptions() const { return process_.aboutOptions; }
    int activations() const { return activations_; }
    // Where window actions sent down the responder chain end up (the key window).
    void setWindowActionHandler(std::function<void(const std::string&)> handler) {
        windowAction_ = std::move(handler);
    }
    std::shared_ptr<platform::ApplicationDelegate> delegate() const { return process_.delegate; }

private:
    struct Process {
        std::shared_ptr<platform::ApplicationDelegate> delegate;
        bool launched = false;
        platform::ActivationPolicy policy = platform::ActivationPolicy::Regular;
        platform::MenuRef mainMenu;
        platform::MenuRef servicesMenu;
        platform::MenuRef windowsMenu;
        platform::MenuRef helpMenu;
        std::vector<std::weak_ptr<SimStatusItem>> statusItems;
        int statusSlots = 0;
        std::optional<std::map<std::string, std::string>> aboutOptions;
    };

    bool running() const;
    bool pressStatusItem();
    bool pickMenuItem(const std::string& menuTitle, const std::string& itemTitle);
    void runItem(const platform::MenuItem& item);
    std::shared_ptr<SimStatusItem> firstStatusItem() const;
    // The application object's answer to an action sent down the responder chain.
    void sendAction(const std::string& selector);

    std::shared_ptr<World> world_;
    Graveyard& graveyard_;
    std::function<void()> terminateProcess_;
    Process process_;
    int activations_ = 0;
    std::function<void(const std::string&)> windowAction_;
};

}  // namespace sim
