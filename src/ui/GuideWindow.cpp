#include "ui/GuideWindow.h"

#include "platform/PerProcess.h"
#include "platform/Platform.h"
#include "ui/PreferencesView.h"
#include "ui/RegularWindows.h"

namespace durazizi {

namespace {

using namespace kit::ui;

}  // namespace

GuideView::GuideView()
    : items{
          {"rectangle.stack", "Dock window previews",
           "Hover a running app's Dock icon to see live thumbnails of its windows. Click a thumbnail to switch to that "
           "window; hover a thumbnail and click \u2715 to close it."},
          {"square.grid.2x2", "Window snapping",
           "Drag a window to a screen edge \u2014 an overlay shows the target zone, release to tile it. Left/right = "
           "halves, top = maximize, corners = quarters."},
          {"keyboard", "Keyboard snapping",
           "Hold your snap modifiers (default \u2303\u2325) and press an arrow key: \u2190 \u2192 for halves, \u2191 to "
           "maximize, \u2193 for the bottom half."},
          {"arrow.up.and.down.and.arrow.left.and.right", "Move & resize from anywhere",
           "Hold the move modifiers (default \u2303\u2325) and drag anywhere inside a window to move it; hold the resize "
           "modifiers (default \u2303\u2325\u21E7) and drag to resize \u2014 no need to grab the title bar."},
          {"arrow.up.arrow.down", "Title-bar scroll",
           "Scroll up on a window's title bar to maximize it, scroll down to restore its previous size."},
          {"music.note", "Music & Spotify controls",
           "Hover the Music or Spotify Dock icon to see the current track with play/pause and skip buttons. Scroll over "
           "the icon to change the volume."},
          {"calendar", "Calendar preview",
           "Hover the Calendar Dock icon to see your upcoming events. Adjust how many events and days in Settings "
           "\u203A Specials."},
          {"slider.horizontal.3", "Make it yours",
           "Open Settings from the menu-bar panel to tune preview size, grid, delays, theme, animations, modifier keys "
           "and more."},
          {"lock.shield", "Permissions",
           "Durazizi needs Accessibility (to read the Dock and manage windows) and Screen Recording (for thumbnails). "
           "Music/Spotify and Calendar ask for access the first time you use them. Everything stays on your Mac."},
      } {}

Node GuideView::body() const {
    std::vector<Node> rows;
    for (const GuideItem& item : items) {
        rows.push_back(HStack({Image(platform::current().symbols().imageWithSystemSymbolName(item.icon, ""), {26, 20},
                                     kit::Color::accent()),
                               VStack({Text(item.title, kit::Font::systemFont(13, kit::Font::Weight::Semibold)),
                                       Text(item.body, kit::Font::systemFont(12), kit::Color::secondaryLabel())},
                                      3, HAlign::Leading)},
                              12, VAlign::Top));
    }
    return VStack({HStack({Image(AboutTab::appIcon(), {44, 44}),
                           VStack({Text("How to use Durazizi", kit::Font::systemFont(13, kit::Font::Weight::Semibold)),
                                   Text("A quick tour of everything it can do.", kit::Font::systemFont(11),
                                        kit::Color::secondaryLabel())},
                                  2, HAlign::Leading),
                           Spacer()},
                          12)
                       .padding(),
                   Divider(), ScrollArea(VStack(std::move(rows), 18, HAlign::Leading).padding(), true)},
                  0)
        .frame(GuideWindowController::kContentWidth, GuideWindowController::kContentHeight);
}

std::shared_ptr<GuideWindowController> GuideWindowController::shared() {
    static platform::PerProcess instance{[] { return std::make_shared<GuideWindowController>(); }};
    return instance.get();
}

void GuideWindowController::show() {
    if (!window_) {
        window_ = platform::current().windowServer().makeWindow(
            {0, 0, kContentWidth, kContentHeight},
            platform::NSWindowStyleMaskTitled | platform::NSWindowStyleMaskClosable |
                platform::NSWindowStyleMaskMiniaturizable,
            platform::NSBackingStoreBuffered, false);
        window_->setTitle("Durazizi Guide");
        window_->setBackgroundColor(kit::Color::windowBackground());
        window_->setContentSize({kContentWidth, kContentHeight});
        GuideView view;
        window_->setContentView(std::make_shared<kit::ui::HostingView>([view] { return view.body(); }));
        std::weak_ptr<GuideWindowController> weak = weak_from_this();
        window_->setWindowWillClose([weak] {
            if (auto self = weak.lock()) RegularWindows::closing(*self->window_);
        });
        window_->center();
    }
    RegularWindows::show(window_);
}

}  // namespace durazizi
