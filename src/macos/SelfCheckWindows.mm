#include "macos/SelfCheckWindows.h"

#import <AppKit/AppKit.h>

#include <filesystem>
#include <memory>
#include <vector>

#include "dock/PreviewPanel.h"
#include "kit/Declarative.h"
#include "macos/MirrorViews.h"
#include "platform/Platform.h"
#include "specials/CalendarContentView.h"
#include "specials/MediaContentView.h"
#include "ui/GuideWindow.h"
#include "ui/MenuBarPanel.h"
#include "ui/PreferencesView.h"
#include "ui/TermsGate.h"
#include "windowing/SnapOverlay.h"

namespace macos {

namespace {

// Lets the run loop turn, so the mirror is brought in step and AppKit lays out.
void settle() {
    for (int i = 0; i < 5; ++i) {
        [[NSRunLoop mainRunLoop] runMode:NSDefaultRunLoopMode beforeDate:[NSDate dateWithTimeIntervalSinceNow:0.02]];
    }
}

bool writePicture(NSView* view, const std::string& path) {
    const NSRect bounds = [view bounds];
    if (NSIsEmptyRect(bounds)) return false;
    NSBitmapImageRep* bitmap = [view bitmapImageRepForCachingDisplayInRect:bounds];
    if (bitmap == nil) return false;
    [view cacheDisplayInRect:bounds toBitmapImageRep:bitmap];
    NSData* png = [bitmap representationUsingType:NSBitmapImageFileTypePNG properties:@{}];
    return png != nil && [png writeToFile:[NSString stringWithUTF8String:path.c_str()] atomically:YES];
}

// At the centre of every visible kit view, the view AppKit hits shows the
// view kit hits (AppKit's own parts, as a control's title, count as their holder).
int hitDisagreements(const MirrorViews& mirror, const kit::ViewRef& root, NSView* rootView, std::string& first) {
    int wrong = 0;
    std::function<void(const kit::View&)> visit = [&](const kit::View& view) {
        if (view.isHidden()) return;
        const kit::Rect r = kit::frameInRoot(view);
        const kit::Point centre{r.midX(), r.midY()};
        kit::View* kitHit = root->hitTest(centre);
        NSView* nativeHit = [rootView hitTest:[[rootView superview] convertPoint:NSMakePoint(centre.x, centre.y)
                                                                        fromView:nil]];
        kit::ViewRef shown;
        for (NSView* v = nativeHit; v != nil && !shown; v = [v superview]) shown = mirror.kitViewFor(v);
        if (shown.get() != kitHit) {
            if (wrong++ == 0) first = view.identifier().empty() ? "a view" : view.identifier();
        }
        for (const auto& child : view.subviews()) visit(*child);
    };
    visit(*root);
    return wrong;
}

struct Shown {
    std::string name;
    std::shared_ptr<platform::Window> window;
};

std::shared_ptr<platform::Window> panelWith(kit::ViewRef content, kit::Size size) {
    auto panel = platform::current().windowServer().makePanel(
        {200, 200, size.width, size.height},
        platform::NSWindowStyleMaskBorderless | platform::NSWindowStyleMaskNonactivatingPanel,
        platform::NSBackingStoreBuffered, false);
    panel->setOpaque(false);
    panel->setBackgroundColor(kit::Color::clear());
    panel->setContentView(std::move(content));
    panel->orderFrontRegardless();
    return panel;
}

}  // namespace

void checkWindows(const std::string& folder, const std::function<void(bool, const std::string&)>& check) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    std::vector<Shown> shown;

    durazizi::PreferencesWindowController::shared()->show();
    shown.push_back({"preferences", durazizi::PreferencesWindowController::shared()->window()});
    durazizi::GuideWindowController::shared()->show();
    shown.push_back({"guide", durazizi::GuideWindowController::shared()->window()});
    durazizi::TermsGate::shared()->present([] {});
    shown.push_back({"terms", durazizi::TermsGate::shared()->window()});

    durazizi::HomePanelView home([] {}, [] {}, [] {}, [] {}, [] {});
    auto homeView = std::make_shared<kit::ui::HostingView>([home] { return home.body(); });
    shown.push_back({"home-panel", panelWith(homeView, homeView->fittingSize())});

    auto media = std::make_shared<durazizi::MediaContentView>(durazizi::MediaApp::music, nullptr);
    shown.push_back({"now-playing", panelWith(media, media->frame().size)});

    const double now = platform::current().clock().now();
    auto calendar = std::make_shared<platform::EKCalendar>(platform::EKCalendar{"Work", kit::Color::rgba(0.9, 0.3, 0.2)});
    std::vector<platform::EKEvent> events = {{"Stand-up", false, now + 600, now + 1500, calendar},
                                             {std::nullopt, false, now + 3600, now + 7200, nullptr}};
    auto upcoming = std::make_shared<durazizi::CalendarContentView>(events);
    shown.push_back({"upcoming-events", panelWith(upcoming, upcoming->fittingSize())});

    auto grid = std::make_shared<kit::FlippedView>(kit::Rect{0, 0, 420, 150});
    for (int i = 0; i < 3; ++i) {
        durazizi::WindowEntry entry;
        entry.id = static_cast<platform::CGWindowID>(i + 1);
        entry.title = "Window " + std::to_string(i + 1);
        entry.isOnScreen = i != 2;
        auto tile = std::make_shared<durazizi::ThumbTile>(entry, i == 0);
        tile->setFrame({12 + i * 136.0, 12, 126, 126});
        grid->addSubview(tile);
    }
    shown.push_back({"preview-tiles", panelWith(grid, grid->frame().size)});

    durazizi::SnapOverlay overlay;
    const auto screens = platform::current().screens().screens();
    if (!screens.empty()) {
        overlay.show({100, 100, 400, 300}, screens.front());
        shown.push_back({"snap-overlay", overlay.window()});
    }

    settle();
    for (const Shown& item : shown) {
        const auto* mirrored = dynamic_cast<const MirroredWindow*>(item.window.get());
        if (mirrored == nullptr || !item.window->contentView()) {
            check(false, "windows: " + item.name + " has mirrored content");
            continue;
        }
        NSView* root = mirrored->mirror().rootView();
        check(root != nil && [[mirrored->nativeWindow() contentView] isEqual:root],
              "windows: " + item.name + " shows its kit content through AppKit views");
        if (root == nil) continue;
        const std::string path = (std::filesystem::path(folder) / (item.name + ".png")).string();
        check(writePicture(root, path), "windows: " + item.name + " drawn into " + path);
        std::string first;
        const int wrong = hitDisagreements(mirrored->mirror(), item.window->contentView(), root, first);
        check(wrong == 0, "windows: " + item.name + ": AppKit and kit hit the same view" +
                              (wrong ? " (" + std::to_string(wrong) + " differ, first " + first + ")" : ""));
    }
    for (const Shown& item : shown) item.window->orderOut();
}

}  // namespace macos
