#include "ui/TermsGate.h"

#include <utility>

#include "app/Settings.h"
#include "kit/URL.h"
#include "platform/PerProcess.h"
#include "platform/Platform.h"
#include "ui/PreferencesView.h"
#include "ui/RegularWindows.h"

namespace durazizi {

namespace {

using namespace kit::ui;

constexpr double kCallout = 12;

Node point(const char* symbolName, const char* text) {
    return HStack({Image(platform::current().symbols().imageWithSystemSymbolName(symbolName, ""), {16, 16}),
                   Text(text, kit::Font::systemFont(kCallout))},
                  6, VAlign::Top);
}

Node link(const char* text, const char* address) {
    return Link(text, address, [address] {
        if (auto url = kit::URL::fromString(address)) platform::current().workspace().openURL(*url);
    }, kit::Font::systemFont(10));
}

}  // namespace

Node TermsView::body() const {
    Node summary = VStack({Text("Before you start, please review and accept the terms.", kit::Font::systemFont(kCallout)),
                           point("lock.shield", "Runs fully on your Mac \u2014 no analytics, no tracking, no data sent to us."),
                           point("gearshape", "Uses Accessibility, Screen Recording, Automation and Calendar only to "
                                              "provide its features."),
                           point("rectangle.on.rectangle", "Window thumbnails exist only briefly in memory and are never "
                                                           "saved or transmitted."),
                           point("doc.text", "Provided \u201Cas is\u201D, without warranty. See the full EULA & "
                                             "Privacy Policy.")},
                          10, HAlign::Leading)
                       .frameMax(true, false, HAlign::Leading)
                       .padding(12);
    Node quitButton = Button("Quit", quit);
    // The cancel role: Escape presses it.
    quitButton.keyEquivalent = "\x1b";
    Node agreeButton = Button("I Agree", agree, ButtonStyle::Prominent);
    agreeButton.keyEquivalent = "\r";
    return VStack({Image(AboutTab::appIcon(), {64, 64}),
                   Text("Welcome to Durazizi", kit::Font::systemFont(17, kit::Font::Weight::Bold)),
                   ScrollArea(summary, true)
                       .frame(std::nullopt, 180)
                       .backgroundColor(kit::Color::textBackground(0.4), 8),
                   HStack({link("EULA", TermsGate::kEulaURL), link("Privacy Policy", TermsGate::kPrivacyURL),
                           link("Terms of Sale", TermsGate::kTermsURL)},
                          16),
                   HStack({quitButton, Spacer(), agreeButton})},
                  16)
        .padding(20)
        .frame(TermsGate::kContentWidth, TermsGate::kContentHeight);
}

std::shared_ptr<TermsGate> TermsGate::shared() {
    static platform::PerProcess instance{[] { return std::make_shared<TermsGate>(); }};
    return instance.get();
}

void TermsGate::present(std::function<void()> onAgree) {
    onAgree_ = std::move(onAgree);
    std::weak_ptr<TermsGate> weak = weak_from_this();
    TermsView view;
    view.agree = [weak] {
        if (auto self = weak.lock()) self->accept();
    };
    view.quit = [] { platform::current().application().terminate(); };

    if (!window_) {
        // A title bar only: no close, minimise or resize buttons.
        window_ = platform::current().windowServer().makeWindow({0, 0, kContentWidth, kContentHeight},
                                                                platform::NSWindowStyleMaskTitled,
                                                                platform::NSBackingStoreBuffered, false);
        window_->setTitle("Welcome to Durazizi");
        window_->setBackgroundColor(kit::Color::windowBackground());
        std::weak_ptr<platform::Window> closing = window_;
        window_->setWindowWillClose([weak, closing] {
            auto self = weak.lock();
            auto window = closing.lock();
            if (self && window) self->windowWillClose(*window);
        });
    }
    window_->setContentSize({kContentWidth, kContentHeight});
    window_->setContentView(std::make_shared<HostingView>([view] { return view.body(); }));
    window_->center();
    RegularWindows::show(window_);
}

void TermsGate::accept() {
    // A second "I Agree" (a double click) must not start the application twice.
    if (agreed_) return;
    agreed_ = true;
    Settings::setInteger("termsVersionAccepted", 1);
    if (auto window = std::exchange(window_, nullptr)) window->close();
    if (auto onAgree = onAgree_) onAgree();
}

void TermsGate::windowWillClose(const platform::Window& window) {
    RegularWindows::closing(window);
    if (!agreed_) platform::current().application().terminate();
}

}  // namespace durazizi
