#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "kit/Image.h"
#include "platform/Constants.h"
#include "platform/Menu.h"

namespace platform {

// NSApplicationDelegate, the part the system implements.
class ApplicationDelegate {
public:
    virtual ~ApplicationDelegate() = default;
    virtual void applicationDidFinishLaunching() = 0;
};

// NSStatusBarButton
class StatusBarButton {
public:
    virtual ~StatusBarButton() = default;
    virtual void setImage(kit::ImageRef image) = 0;
    virtual kit::ImageRef image() const = 0;
    virtual void setAction(std::function<void()> action) = 0;   // target + action
    // -highlight: / isHighlighted: the pressed look the menu bar gives the
    // button of an item whose menu or panel is open.
    virtual void highlight(bool flag) = 0;
    virtual bool isHighlighted() const = 0;
    // The button's frame in Cocoa screen coordinates, when it is in a window.
    virtual std::optional<kit::Rect> screenFrame() const = 0;
};

// NSStatusItem
class StatusItem {
public:
    virtual ~StatusItem() = default;
    virtual double length() const = 0;
    // nil when the status bar could not give the item a button.
    virtual StatusBarButton* button() = 0;
};
using StatusItemRef = std::shared_ptr<StatusItem>;

// Option keys of orderFrontStandardAboutPanelWithOptions:.
inline constexpr const char* NSAboutPanelOptionApplicationName = "ApplicationName";
inline constexpr const char* NSAboutPanelOptionApplicationVersion = "ApplicationVersion";

// NSApplication (and NSStatusBar.systemStatusBar, NSBundle.mainBundle).
class Application {
public:
    virtual ~Application() = default;

    virtual void setDelegate(std::shared_ptr<ApplicationDelegate> delegate) = 0;
    // Runs the event loop. A host whose loop is driven from outside (the sim)
    // finishes launching and returns at once; a real host returns when the loop ends.
    virtual int run() = 0;
    virtual void terminate() = 0;                                   // terminate: with no sender

    virtual bool setActivationPolicy(ActivationPolicy policy) = 0;
    virtual ActivationPolicy activationPolicy() const = 0;
    virtual void activateIgnoringOtherApps(bool flag) = 0;
    // -deactivate: the application that was active before becomes active again.
    virtual void deactivate() = 0;

    virtual void setMainMenu(MenuRef menu) = 0;
    virtual MenuRef mainMenu() const = 0;
    virtual void setServicesMenu(MenuRef menu) = 0;
    virtual void setWindowsMenu(MenuRef menu) = 0;
    virtual void setHelpMenu(MenuRef menu) = 0;

    virtual StatusItemRef statusItemWithLength(double length) = 0;   // NSStatusBar.systemStatusBar
    virtual void orderFrontStandardAboutPanelWithOptions(const std::map<std::string, std::string>& options) = 0;

    virtual kit::ImageRef applicationIconImage() = 0;
    // -[NSBundle URLForResource:withExtension:] loaded as an image; none when missing or unreadable.
    virtual kit::ImageRef bundleImageResource(const std::string& name, const std::string& extension) = 0;
};

}  // namespace platform
