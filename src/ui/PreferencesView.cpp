#include "ui/PreferencesView.h"

#include <cstdio>

#include "app/LoginItem.h"
#include "app/Settings.h"
#include "platform/PerProcess.h"
#include "platform/Platform.h"
#include "ui/Bindings.h"
#include "ui/RegularWindows.h"

namespace durazizi {

namespace {

using namespace kit::ui;

Node row(std::vector<Node> children) { return HStack(std::move(children)); }

Node labelled(const char* label, Node control) { return row({Text(label), Spacer(), std::move(control)}); }

Node modifierRow(const char* label, const std::string& prefix) {
    return row({Text(label), Spacer(), Bind::modifierToggle("\u2303", prefix + "_mod_control"),
                Bind::modifierToggle("\u2325", prefix + "_mod_alt"),
                Bind::modifierToggle("\u2318", prefix + "_mod_command"),
                Bind::modifierToggle("\u21E7", prefix + "_mod_shift")});
}

std::vector<std::string> labels(std::initializer_list<const char*> texts) { return {texts.begin(), texts.end()}; }

}  // namespace

// --- the tabs ------------------------------------------------------------------------------

Node GeneralTab::body() {
    // The switch shows whether the login item really is enabled after the
    // attempt: a registration that failed must not look like it worked.
    Node launch = Toggle("Launch Durazizi at login", [] { return Settings::boolValue("launchAtLogin"); },
                         [](bool on) {
                             Settings::setBool("launchAtLogin", on);
                             LoginItem::set(on);
                             const bool enabled = LoginItem::isEnabled();
                             if (enabled != on) Settings::setBool("launchAtLogin", enabled);
                         });
    return Form({
        Section("", {launch}),
        Section("", {Bind::toggle("Enable window previews", "window_preview_enable"),
                     Bind::integerStepper("Activation delay: ", " ms", "activationDelayMs", 0, 2000, 10)}),
        Section("Include", {Bind::toggle("Windows from all Spaces", "window_preview_allspaces"),
                            Bind::toggle("Minimized / hidden windows", "window_preview_minimized")}),
        Section("", {labelled("Order by", Bind::integerPicker("Order by",
                                                              labels({"Creation time", "Window title", "Application name"}),
                                                              "window_preview_order",
                                                              [] { return static_cast<std::int64_t>(Settings::orderBy()); })),
                     Bind::toggle("Order current-Space windows to front", "window_preview_order_spacefront")}),
        Section("Behaviour", {Bind::toggle("Hide when a Dock item is clicked", "docklets_hide_on_dockitem_click"),
                              Bind::toggle("Hide when a preview is clicked", "hideWhenPreviewClicked"),
                              Bind::toggle("Don't show if there is only one window", "window_preview_hideifonewindow")}),
    });
}

Node AppearanceTab::body() {
    const std::int64_t bubble = Settings::boundedInteger("window_preview_size");
    // The slider works on a real number; the setting keeps whole points.
    Node slider = Slider("Bubble size", [] { return static_cast<double>(Settings::boundedInteger("window_preview_size")); },
                         [](double value) { Settings::setInteger("window_preview_size", static_cast<std::int64_t>(value)); },
                         120, 400);
    char digits[32];
    std::snprintf(digits, sizeof digits, "%lld", static_cast<long long>(bubble));
    return Form({
        Section("", {labelled("Theme", Bind::integerPicker("Theme", labels({"Automatic", "Light", "Dark"}), "theme",
                                                                   [] { return static_cast<std::int64_t>(Settings::theme()); }))}),
        Section("Elements", {Bind::toggle("Application name", "window_preview_show_appname"),
                             Bind::toggle("Close button", "window_preview_closebox"),
                             Bind::toggle("Minimized indicator", "window_preview_indicators")}),
        Section("", {Bind::integerStepper("Distance from the Dock: ", " px", "docklets_dock_offset", 0, 200, 2),
                     row({Text("Bubble size"), slider, Text(digits)}),
                     Bind::integerStepper("Grid: ", " previews per row", "window_preview_grid_width", 1, 12, 1),
                     labelled("Popup animation",
                              Bind::integerPicker("Popup animation", labels({"None", "Fade", "Snap in"}),
                                                  "preview_popup_animation", [] {
                                                      return static_cast<std::int64_t>(Settings::popupAnimation());
                                                  }))}),
        Section("", {Bind::toggle("Draw highlight gradient", "docklets_draw_highlight"),
                     Bind::toggle("Indicate the front window", "window_preview_indicate_frontwindow"),
                     Bind::toggle("Shade invisible windows", "docklets_dark_invisible"),
                     Bind::toggle("Draw triangle below bubble", "docklets_draw_triangle")}),
    });
}

Node SpecialsTab::body() {
    return Form({
        Section("Media", {Bind::toggle("Enable Music preview & controls", "itunes_preview_enable"),
                          Bind::toggle("Scrolling the icon adjusts volume", "itunes_scroll_volume"),
                          Bind::toggle("Enable Spotify preview & controls", "spotify_preview_enable")}),
        Section("Calendar", {Bind::toggle("Enable Calendar events preview", "ical_preview_enable"),
                             Bind::integerStepper("Limit to ", " events", "ical_preview_limit_events", 1, 50, 1),
                             Bind::integerStepper("Within ", " day(s)", "ical_preview_limit_days", 1, 30, 1)}),
    });
}

Node WindowManagementTab::body() {
    return Form({
        Section("Window Snapping",
                {Bind::toggle("Snap windows when dragging to screen edges", "window_snapping"),
                 labelled("Delay (near border)", Bind::secondsStepper("window_snapping_delay_near", 0.0, 3.0, 0.1)),
                 labelled("Delay (exact border)", Bind::secondsStepper("window_snapping_delay_exact", 0.0, 3.0, 0.1)),
                 Bind::toggle("Snap the focused window with modifier + arrow keys", "keyboard_arrange"),
                 modifierRow("Keyboard modifiers", "keyboard_arrange"),
                 Bind::toggle("Scroll a window's titlebar to snap", "titlebar_scroll_arrange")}),
        Section("Window Dragging (from anywhere, not just the titlebar)",
                {Bind::toggle("Move windows when holding modifiers + drag", "move_windows"),
                 modifierRow("Move modifiers", "move_windows"),
                 Bind::toggle("Resize windows when holding modifiers + drag", "resize_windows"),
                 modifierRow("Resize modifiers", "resize_windows")}),
    });
}

Node AboutTab::body() {
    const kit::Color secondary = kit::Color::secondaryLabel();
    Node description = Text("Dock window previews & window management for modern macOS.", kit::Font::systemFont(13),
                            secondary);
    description.textAlignment = kit::TextAlignment::Center;
    return VStack({Image(appIcon(), {96, 96}), Text("Durazizi", kit::Font::systemFont(22, kit::Font::Weight::Bold)),
                   Text("Version 1.0 \u2014 native arm64", kit::Font::systemFont(13), secondary), description,
                   Divider().padding(Insets::symmetric(0, 4))},
                  12)
        .frameMax(true, true)
        .padding();
}

kit::ImageRef AboutTab::appIcon() {
    static platform::PerProcess icon{[] {
        auto& app = platform::current().application();
        kit::ImageRef image = app.bundleImageResource("AppIcon", "icns");
        if (!image) image = app.applicationIconImage();
        return image ? image : kit::Image::empty();
    }};
    return icon.get();
}

// --- the window ---------------------------------------------------------------------------------

std::shared_ptr<PreferencesWindowController> PreferencesWindowController::shared() {
    static platform::PerProcess instance{[] { return std::make_shared<PreferencesWindowController>(); }};
    return instance.get();
}

Node PreferencesWindowController::body() {
    static const std::vector<std::string> kTabs = {"General", "Appearance", "Specials", "Window Management", "About"};
    static const char* const kSymbols[] = {"switch.2", "paintpalette", "calendar", "macwindow.on.rectangle", "info.circle"};
    Node content;
    switch (selectedTab_) {
        case 1: content = AppearanceTab::body(); break;
        case 2: content = SpecialsTab::body(); break;
        case 3: content = WindowManagementTab::body(); break;
        case 4: content = AboutTab::body(); break;
        default: content = GeneralTab::body(); break;
    }
    // Only the selected tab is built: the others would be thrown away unseen.
    std::vector<Node> contents(kTabs.size(), Spacer());
    contents[selectedTab_ < kTabs.size() ? selectedTab_ : 0] = std::move(content);
    std::vector<kit::ImageRef> symbols;
    for (const char* name : kSymbols) symbols.push_back(platform::current().symbols().imageWithSystemSymbolName(name, ""));
    std::weak_ptr<PreferencesWindowController> weak = weak_from_this();
    return TabView(
               kTabs, std::move(contents),
               [weak] {
                   auto self = weak.lock();
                   return self ? static_cast<double>(self->selectedTab_) : 0.0;
               },
               [weak](double tab) {
                   if (auto self = weak.lock()) self->selectedTab_ = static_cast<std::size_t>(tab);
               },
               std::move(symbols))
        .padding();
}

void PreferencesWindowController::show() {
    if (!window_) {
        auto& server = platform::current().windowServer();
        window_ = server.makeWindow({0, 0, kContentWidth, kContentHeight},
                                    platform::NSWindowStyleMaskTitled | platform::NSWindowStyleMaskClosable |
                                        platform::NSWindowStyleMaskMiniaturizable,
                                    platform::NSBackingStoreBuffered, false);
        window_->setTitle("Durazizi Preferences");
        window_->setBackgroundColor(kit::Color::windowBackground());
        window_->setContentSize({kContentWidth, kContentHeight});
        std::weak_ptr<PreferencesWindowController> weak = weak_from_this();
        window_->setContentView(std::make_shared<HostingView>([weak] {
            auto self = weak.lock();
            return self ? self->body() : Spacer();
        }));
        window_->setWindowWillClose([weak] {
            if (auto self = weak.lock()) RegularWindows::closing(*self->window_);
        });
        window_->center();
    }
    // The settings may have changed elsewhere (the menu-bar panel, by hand)
    // since the window was last shown.
    if (auto content = std::dynamic_pointer_cast<HostingView>(window_->contentView())) content->rebuild();
    RegularWindows::show(window_);
}

}  // namespace durazizi
