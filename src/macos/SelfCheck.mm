#include "macos/SelfCheck.h"

#import <Foundation/Foundation.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

#include "kit/TextMetrics.h"
#include "macos/CocoaHelpers.h"
#include "macos/KitImages.h"
#include "macos/SelfCheckWindows.h"

namespace macos {

namespace {

struct Report {
    int failures = 0;
    void check(bool ok, const std::string& what) {
        std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
        if (!ok) ++failures;
    }
    void note(const std::string& what) { std::printf("info %s\n", what.c_str()); }
};

// Runs the main run loop until `done` or the deadline, so that timers and
// main-queue work get their turn.
template <typename Done>
bool spin(Done done, double seconds) {
    NSDate* deadline = [NSDate dateWithTimeIntervalSinceNow:seconds];
    while (!done() && [deadline timeIntervalSinceNow] > 0) {
        [[NSRunLoop mainRunLoop] runMode:NSDefaultRunLoopMode beforeDate:[NSDate dateWithTimeIntervalSinceNow:0.01]];
    }
    return done();
}

// A 1 × 1 opaque red PNG.
constexpr std::uint8_t kTinyPng[] = {
    0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44, 0x52, 0x00, 0x00,
    0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x08, 0x02, 0x00, 0x00, 0x00, 0x90, 0x77, 0x53, 0xde, 0x00, 0x00, 0x00,
    0x0c, 0x49, 0x44, 0x41, 0x54, 0x08, 0xd7, 0x63, 0xf8, 0xcf, 0xc0, 0x00, 0x00, 0x03, 0x01, 0x01, 0x00, 0x18,
    0xdd, 0x8d, 0xb0, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82};

}  // namespace

int runSelfCheck(platform::Platform& p) {
    Report report;

    const double now = p.clock().now();
    report.check(std::isfinite(now) && now > 1.6e9, "clock: the wall clock reads a date after 2020");

    p.defaults().registerDefaults({{"durazizi.selfCheck.registered", std::int64_t{42}}});
    report.check(p.defaults().integerForKey("durazizi.selfCheck.registered") == 42,
                 "defaults: a registered value reads back");
    report.check(!p.defaults().objectForKey(std::string("bad\nkey")), "defaults: a key with a control character is refused");

    bool fired = false;
    auto timer = p.runLoop().scheduledTimer(0.01, false, [&](platform::Timer&) { fired = true; });
    report.check(spin([&] { return fired; }, 2), "run loop: a timer fires on the main run loop");
    report.check(!timer->isValid(), "run loop: a timer that does not repeat is invalid once it fired");
    bool hopped = false;
    p.runLoop().asyncGlobal(platform::QualityOfService::Utility, [&] {
        const bool background = !p.runLoop().isMainThread();
        p.runLoop().asyncMain([&, background] { hopped = background && p.runLoop().isMainThread(); });
    });
    report.check(spin([&] { return hopped; }, 2), "queues: global work runs off the main thread and hops back");

    const auto screens = p.screens().screens();
    report.check(!screens.empty(), "screens: at least one screen");
    if (!screens.empty()) {
        const kit::Rect primary = screens.front().frame;
        report.check(primary.origin.x == 0 && primary.origin.y == 0, "screens: the primary screen is at the origin");
        const kit::Rect flipped = helpers::quartzRectFromCocoa(screens.front().visibleFrame, primary.height());
        report.check(flipped.minY() >= 0, "screens: the visible frame lies below the menu bar in Quartz space");
    }

    const platform::pid_t self = p.workspace().processIdentifier();
    bool found = false;
    for (const auto& app : p.workspace().runningApplications()) found = found || app->processIdentifier() == self;
    report.check(found, "workspace: this process is among the running applications");
    report.check(!p.workspace().runningApplicationsWithBundleIdentifier("com.apple.dock").empty(),
                 "workspace: the Dock is running");

    auto panel = p.windowServer().makePanel({100, 100, 200, 120}, platform::NSWindowStyleMaskBorderless |
                                                                      platform::NSWindowStyleMaskNonactivatingPanel,
                                            platform::NSBackingStoreBuffered, false);
    panel->setLevel(platform::NSStatusWindowLevel);
    panel->orderFrontRegardless();
    report.check(panel->isVisible() && panel->level() == platform::NSStatusWindowLevel,
                 "window server: a panel orders in at the status level");
    bool animated = false;
    p.windowServer().runAnimationGroup([&](platform::AnimationContext& context) {
        context.setDuration(0.05);
        panel->animator().setAlphaValue(0.5);
    }, [&] { animated = true; });
    report.check(!animated, "window server: the completion does not run inside the call");
    report.check(spin([&] { return animated; }, 2) && std::abs(panel->alphaValue() - 0.5) < 0.01,
                 "window server: an animation group ends at its target and completes");
    panel->orderOut();
    report.check(!panel->isVisible(), "window server: a panel orders out");
    report.check(p.windowServer().windowLevelForKey(platform::kCGStatusWindowLevelKey) == platform::NSStatusWindowLevel,
                 "window server: CGWindowLevelForKey gives the documented status level");

    report.check(p.locale().addDays(now, 1).has_value(), "locale: a day is added in the current calendar");
    report.check(!p.locale().dateFormatterFromTemplate("jmm")->stringFromDate(now).empty(), "locale: a time formats");
    report.check(p.locale().localizedCaseInsensitiveCompare("a", "B") < 0, "locale: comparison ignores case");

    const auto library = p.files().urlsForDirectory(platform::NSLibraryDirectory, platform::NSUserDomainMask);
    report.check(!library.empty() && std::filesystem::is_directory(library.front()), "files: the user's Library folder");
    report.check(std::filesystem::is_directory(p.files().temporaryDirectory()), "files: the temporary folder");

    auto image = p.images().imageWithData(kTinyPng);
    report.check(image && image->pixelWidth() == 1 && (image->pixelAt(0, 0) & 0xff) == 0xff,
                 "images: a PNG decodes to red pixels");
    report.check(!p.images().imageWithData(std::span<const std::uint8_t>(kTinyPng, 20)), "images: a cut PNG is refused");
    report.check(p.symbols().imageWithSystemSymbolName("calendar", "") != nullptr, "symbols: a system symbol exists");

    const kit::Font regular = kit::Font::systemFont(13);
    const kit::Font semibold = kit::Font::systemFont(13, kit::Font::Weight::Semibold);
    const double plain = kit::textWidth("Upcoming events", regular);
    report.check(plain > 13 * 4 && plain < 13 * 15, "text: CoreText measures a line in the system font");
    report.check(kit::textWidth("Upcoming events", semibold) > plain, "text: the semibold face is wider");
    report.check(nsImageFromKit(kit::Image::symbol("play.fill", 15, "", kit::Font::Weight::Semibold)) != nil,
                 "symbols: a symbol at a size and weight");

    // Every window and panel, shown by AppKit views; the pictures go next to
    // the ones `durazizi-sim tour` paints on Linux, for comparing by eye.
    const std::string pictures = (std::filesystem::path(p.files().temporaryDirectory()) / "durazizi-self-check").string();
    checkWindows(pictures, [&](bool ok, const std::string& what) { report.check(ok, what); });
    report.note("window pictures: " + pictures);

    report.note(std::string("macOS ") + std::to_string(p.capture().operatingSystemMajorVersion()));
    report.note(std::string("accessibility trusted: ") + (p.accessibility().isProcessTrusted() ? "yes" : "no"));
    report.note(std::string("screen recording: ") + (p.capture().preflightScreenCaptureAccess() ? "yes" : "no"));
    report.note("calendar status: " +
                std::to_string(p.calendarStore().authorizationStatusForEntityType(platform::EKEntityTypeEvent)));
    report.note("login item status: " + std::to_string(p.loginService().status()));

    std::printf("%d failures\n", report.failures);
    return report.failures == 0 ? 0 : 1;
}

}  // namespace macos
