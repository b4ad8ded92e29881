#include "app/AppDelegate.h"

#include <string>
#include <utility>

#include "app/Diag.h"
#include "app/LoginItem.h"
#include "app/Permissions.h"
#include "app/Settings.h"
#include "ax/Answering.h"
#include "kit/URL.h"
#include "platform/Platform.h"
#include "ui/GuideWindow.h"
#include "ui/PreferencesView.h"
#include "ui/StatusIcon.h"
#include "ui/TermsGate.h"

namespace durazizi {

namespace {

constexpr const char* kSupportPage = "https://durazizi.app/support";
constexpr const char* kSupportMailPrefix = "mailto:support@durazizi.app?subject=";
constexpr const char* kSupportMailSubject = "Durazizi Support";

constexpr double kPermissionPollInterval = 1.5;   // seconds

// Command + option: the modifier mask of "Hide Others".
constexpr std::uint64_t kCommandOption =
    platform::NSEventModifierFlagCommand | platform::NSEventModifierFlagOption;

// An item for the responder chain: the application object answers `action`.
platform::MenuItem chainItem(std::string title, std::string action, std::string key,
                             std::uint64_t modifiers = platform::NSEventModifierFlagCommand) {
    platform::MenuItem item;
    item.title = std::move(title);
    item.action = std::move(action);
    item.keyEquivalent = std::move(key);
    item.keyEquivalentModifierMask = modifiers;
    return item;
}

// An item whose target is the delegate, held weakly so that the menu bar never
// keeps the delegate alive and a late choice reaches nothing.
platform::MenuItem delegateItem(std::string title, std::string action, std::string key,
                                std::weak_ptr<AppDelegate> delegate, void (AppDelegate::*method)()) {
    platform::MenuItem item = chainItem(std::move(title), std::move(action), std::move(key));
    item.target = [delegate = std::move(delegate), method] {
        if (auto strong = delegate.lock()) ((*strong).*method)();
    };
    return item;
}

platform::MenuItem submenuItem(std::string title, platform::MenuRef submenu) {
    platform::MenuItem item;
    item.title = std::move(title);
    item.submenu = std::move(submenu);
    return item;
}

const char* trueFalse(bool value) { return value ? "true" : "false"; }

}  // namespace

AppDelegate::AppDelegate()
    : hover_(std::make_shared<HoverController>()),
      snap_(std::make_shared<SnapController>()),
      input_(std::make_shared<InputTap>()),
      panelController_(std::make_shared<MenuBarPanelController>()) {}

void AppDelegate::applicationDidFinishLaunching() {
    Settings::registerDefaults();
    // The preference may have been edited outside the app since the last run;
    // the login item follows it at every launch.
    LoginItem::set(Settings::boolValue("launchAtLogin"));
    platform::current().application().setActivationPolicy(platform::ActivationPolicy::Accessory);
    setupMainMenu();
    setupStatusItem();

    if (Settings::integerValue("termsVersionAccepted") >= 1) {
        beginRunning();
        return;
    }
    TermsGate::shared()->present([weak = weak_from_this()] {
        if (auto self = weak.lock()) self->beginRunning();
    });
}

void AppDelegate::setupMainMenu() {
    auto& app = platform::current().application();
    const std::weak_ptr<AppDelegate> self = weak_from_this();

    auto appMenu = std::make_shared<platform::Menu>();
    appMenu->addItem(delegateItem("About Durazizi", "showAbout", "", self, &AppDelegate::showAbout));
    appMenu->addItem(platform::MenuItem::separator());
    appMenu->addItem(delegateItem("Settings\u2026", "openPrefs", ",", self, &AppDelegate::openPrefs));
    appMenu->addItem(platform::MenuItem::separator());
    auto servicesMenu = std::make_shared<platform::Menu>("Services");
    appMenu->addItem(submenuItem("Services", servicesMenu));
    app.setServicesMenu(servicesMenu);
    appMenu->addItem(platform::MenuItem::separator());
    appMenu->addItem(chainItem("Hide Durazizi", "hide:", "h"));
    appMenu->addItem(chainItem("Hide Others", "hideOtherApplications:", "h", kCommandOption));
    appMenu->addItem(chainItem("Show All", "unhideAllApplications:", ""));
    appMenu->addItem(platform::MenuItem::separator());
    appMenu->addItem(chainItem("Quit Durazizi", "terminate:", "q"));

    auto editMenu = std::make_shared<platform::Menu>("Edit");
    editMenu->addItem(chainItem("Undo", "undo:", "z"));
    // Upper case means shift: command-shift-Z.
    editMenu->addItem(chainItem("Redo", "redo:", "Z"));
    editMenu->addItem(platform::MenuItem::separator());
    editMenu->addItem(chainItem("Cut", "cut:", "x"));
    editMenu->addItem(chainItem("Copy", "copy:", "c"));
    editMenu->addItem(chainItem("Paste", "paste:", "v"));
    editMenu->addItem(chainItem("Select All", "selectAll:", "a"));

    auto windowMenu = std::make_shared<platform::Menu>("Window");
    windowMenu->addItem(chainItem("Minimize", "performMiniaturize:", "m"));
    windowMenu->addItem(chainItem("Close", "performClose:", "w"));

    auto helpMenu = std::make_shared<platform::Menu>("Help");
    helpMenu->addItem(delegateItem("Durazizi Guide", "openGuide", "?", self, &AppDelegate::openGuide));
    helpMenu->addItem(platform::MenuItem::separator());
    helpMenu->addItem(delegateItem("Durazizi Support", "openSupport", "", self, &AppDelegate::openSupport));
    helpMenu->addItem(delegateItem("Email Support\u2026", "emailSupport", "", self, &AppDelegate::emailSupport));

    // The application menu's top item stays untitled: the menu bar shows the
    // application's name there whatever the item says.
    auto mainMenu = std::make_shared<platform::Menu>();
    mainMenu->addItem(submenuItem("", appMenu));
    mainMenu->addItem(submenuItem("Edit", editMenu));
    mainMenu->addItem(submenuItem("Window", windowMenu));
    mainMenu->addItem(submenuItem("Help", helpMenu));

    app.setWindowsMenu(windowMenu);
    app.setHelpMenu(helpMenu);
    app.setMainMenu(mainMenu);
}

void AppDelegate::setupStatusItem() {
    auto item = platform::current().application().statusItemWithLength(platform::NSVariableStatusItemLength);
    if (!item) return;
    if (auto* button = item->button()) {
        button->setImage(StatusIcon::image());
        button->setAction([weak = weak_from_this()] {
            if (auto self = weak.lock()) self->togglePopover();
        });
    }
    statusItem_ = std::move(item);
}

void AppDelegate::beginRunning() {
    auto& platform = platform::current();
    // Before any message is sent: a process that does not answer must not
    // hold the main thread for the platform's default of several seconds.
    Answering::limitMessagingTimeout();
    const bool trusted = platform.accessibility().isProcessTrusted();
    const bool canCapture = platform.capture().preflightScreenCaptureAccess();
    Diag::log("launched pid=" + std::to_string(platform.workspace().processIdentifier()) +
              " ax=" + trueFalse(trusted) + " sr=" + trueFalse(canCapture));

    if (!trusted) platform.accessibility().isProcessTrustedWithOptions(/*prompt=*/true);
    if (!canCapture) platform.capture().requestScreenCaptureAccess();

    startIfPermitted();

    // Trust can arrive at any moment from System Settings and there is no
    // notification for it, so poll; the poll also outlives the start on purpose,
    // logging when trust is later withdrawn.
    permTimer_ = platform.runLoop().scheduledTimer(kPermissionPollInterval, /*repeats=*/true,
                                                   [weak = weak_from_this()](platform::Timer&) {
                                                       if (auto self = weak.lock()) self->startIfPermitted();
                                                   });

    if (!Settings::boolValue("guideShown")) {
        Settings::setBool("guideShown", true);
        GuideWindowController::shared()->show();
    }
}

void AppDelegate::startIfPermitted() {
    auto& platform = platform::current();
    if (!platform.accessibility().isProcessTrusted()) {
        Diag::log(std::string("waiting for Accessibility permission (ax=NO sr=") +
                  (platform.capture().preflightScreenCaptureAccess() ? "yes" : "NO") + ")");
        return;
    }
    if (started_) return;
    started_ = true;
    Diag::log("permissions OK \u2014 starting hover + snap + input tap");
    hover_->start();
    snap_->start();
    input_->start();
}

void AppDelegate::togglePopover() {
    if (!statusItem_) return;
    auto* button = statusItem_->button();
    if (!button) return;
    // Built before the check so that every opening gets a view with fresh
    // permission flags.
    HomePanelView view = homePanel();
    const auto& panel = panelController_->panel();
    if (panel && panel->isVisible()) {
        panelController_->hide();
        return;
    }
    panelController_->show(*button, view.erased());
}

HomePanelView AppDelegate::homePanel() {
    auto hideThen = [weak = weak_from_this()](void (AppDelegate::*method)()) {
        return [weak, method] {
            if (auto self = weak.lock()) {
                self->panelController_->hide();
                ((*self).*method)();
            }
        };
    };
    return HomePanelView(hideThen(&AppDelegate::openGuide), hideThen(&AppDelegate::openPrefs),
                         hideThen(&AppDelegate::openAX), hideThen(&AppDelegate::openSR),
                         [] { platform::current().application().terminate(); });
}

void AppDelegate::openGuide() { GuideWindowController::shared()->show(); }

void AppDelegate::openPrefs() { PreferencesWindowController::shared()->show(); }

void AppDelegate::openAX() {
    auto& accessibility = platform::current().accessibility();
    if (!accessibility.isProcessTrusted()) accessibility.isProcessTrustedWithOptions(/*prompt=*/true);
    Permissions::open(Permissions::kAccessibilityPane);
}

void AppDelegate::openSR() {
    auto& capture = platform::current().capture();
    if (!capture.preflightScreenCaptureAccess()) capture.requestScreenCaptureAccess();
    Permissions::open(Permissions::kScreenCapturePane);
}

void AppDelegate::showAbout() {
    auto& app = platform::current().application();
    // An accessory application is not active; without this the panel would
    // open behind the front application's windows.
    app.activateIgnoringOtherApps(true);
    app.orderFrontStandardAboutPanelWithOptions({
        {platform::NSAboutPanelOptionApplicationName, "Durazizi"},
        {platform::NSAboutPanelOptionApplicationVersion, "1.0"},
        {"Copyright", ""},
    });
}

void AppDelegate::openSupport() {
    if (auto url = kit::URL::fromString(kSupportPage)) platform::current().workspace().openURL(*url);
}

void AppDelegate::emailSupport() {
    const std::string text = kSupportMailPrefix + kit::percentEncodeQuery(kSupportMailSubject);
    if (auto url = kit::URL::fromString(text)) platform::current().workspace().openURL(*url);
}

void AppDelegate::quit() { platform::current().application().terminate(); }

}  // namespace durazizi
