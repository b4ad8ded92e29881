#include "tools/playground/Playground.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include <SDL.h>

#include "kit/Saturate.h"
#include "linux/CurlURLSession.h"
#include "platform/Platform.h"
#include "render/Renderer.h"
#include "sim/SimLocale.h"
#include "tools/playground/HelpOverlay.h"
#include "tools/playground/InputMap.h"
#include "tools/playground/PlaygroundHome.h"
#include "tools/playground/XErrors.h"
#include "sim/SimScripting.h"
#include "sim/SimURLSession.h"
#include "tools/scenario/DefaultDesktop.h"
#include "tools/scenario/World.h"

namespace playground {

namespace {

constexpr const char* kProgram = "durazizi-playground: ";
constexpr const char* kTitle = "Durazizi \u2014 simulated desktop (F1: help)";

// The hover loop polls every 50 ms of simulated time; pumping at the same
// cadence keeps its latency what it is on a Mac without spinning.
constexpr int kPumpIntervalMs = 50;
// About one display refresh, while something on screen is moving.
constexpr int kAnimationIntervalMs = 16;
// How long a song plays before the playing player moves on, in seconds.
constexpr double kTrackLength = 30;
// Room for the window's title bar and borders on a screen just big enough.
constexpr int kDecorationAllowance = 48;

double steadySeconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

template <typename T, void (*Destroy)(T*)>
struct SdlDeleter {
    void operator()(T* p) const {
        if (p) Destroy(p);
    }
};
using WindowPtr = std::unique_ptr<SDL_Window, SdlDeleter<SDL_Window, SDL_DestroyWindow>>;
using RendererPtr = std::unique_ptr<SDL_Renderer, SdlDeleter<SDL_Renderer, SDL_DestroyRenderer>>;
using TexturePtr = std::unique_ptr<SDL_Texture, SdlDeleter<SDL_Texture, SDL_DestroyTexture>>;

// SDL_Init and SDL_Quit, paired.
struct SdlSession {
    bool ok = SDL_Init(SDL_INIT_VIDEO) == 0;
    ~SdlSession() { SDL_Quit(); }
};

class Playground {
public:
    Playground(scenario::World& world, HelpState help, int framesFd, std::ostream& err)
        : world_(world), renderer_(world.desktop()), help_(std::move(help)), err_(err), framesFd_(framesFd) {}

    bool open();
    void run();

private:
    sim::Desktop& desktop() { return world_.desktop(); }
    void handle(const SDL_Event& event);
    void handleKey(const SDL_KeyboardEvent& key);
    kit::Point toDesktop(int x, int y) const;
    void refreshHelpState();
    bool present(bool repaint);
    void announceFrame();

    void playNextTrackWhenDue(double now);

    scenario::World& world_;
    double lastTrackChange_ = 0;
    render::DesktopRenderer renderer_;
    HelpState help_;
    std::ostream& err_;
    int framesFd_ = -1;
    unsigned long framesShown_ = 0;

    WindowPtr window_;
    RendererPtr sdlRenderer_;
    TexturePtr texture_;
    int textureWidth_ = 0;
    int textureHeight_ = 0;
    double scale_ = 1;
    kit::Size display_;
    render::Frame composed_;

    bool quit_ = false;
    bool helpShown_ = false;
    bool overlayChanged_ = false;
    bool exposed_ = false;
};

bool Playground::open() {
    display_ = renderer_.displaySize();
    if (display_.width <= 0 || display_.height <= 0) {
        err_ << kProgram << "the simulated desktop has no display\n";
        return false;
    }
    const int width = kit::saturatingCast<int>(std::ceil(display_.width));
    const int height = kit::saturatingCast<int>(std::ceil(display_.height));

    // Scaled down, never up, to fit the screen the window opens on.
    double fit = 1;
    SDL_Rect usable;
    if (SDL_GetDisplayUsableBounds(0, &usable) == 0 && usable.w > 0 && usable.h > kDecorationAllowance) {
        fit = std::min({1.0, usable.w / display_.width, (usable.h - kDecorationAllowance) / display_.height});
    }
    window_.reset(SDL_CreateWindow(kTitle, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                   kit::saturatingCast<int>(width * fit), kit::saturatingCast<int>(height * fit),
                                   SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI));
    if (!window_) {
        err_ << kProgram << "cannot open a window: " << SDL_GetError() << '\n';
        return false;
    }
    sdlRenderer_.reset(SDL_CreateRenderer(window_.get(), -1, 0));
    if (!sdlRenderer_) {
        err_ << kProgram << "cannot draw into the window: " << SDL_GetError() << '\n';
        return false;
    }
    // Mouse events then arrive in the desktop's points whatever the window's
    // size, with the letterbox of a window of another shape taken out.
    SDL_RenderSetLogicalSize(sdlRenderer_.get(), width, height);

    // A high-density screen gets two pixels per point, as a Retina Mac would.
    int outputWidth = 0;
    int windowWidth = 0;
    SDL_GetRendererOutputSize(sdlRenderer_.get(), &outputWidth, nullptr);
    SDL_GetWindowSize(window_.get(), &windowWidth, nullptr);
    scale_ = (windowWidth > 0 && outputWidth >= 2 * windowWidth) ? 2 : 1;
    return true;
}

kit::Point Playground::toDesktop(int x, int y) const {
    // Outside the picture (the letterbox) counts as its nearest edge.
    return {std::clamp(static_cast<double>(x), 0.0, display_.width - 1),
            std::clamp(static_cast<double>(y), 0.0, display_.height - 1)};
}

void Playground::refreshHelpState() {
    const HelpState before = help_;
    auto& platform = desktop();
    help_.accessibility = platform.accessibility().isProcessTrusted();
    help_.screenRecording = platform.capture().preflightScreenCaptureAccess();
    help_.duraziziRunning = world_.running();
    help_.dark = platform.appearance().isDark();
    if (helpShown_ && (before.accessibility != help_.accessibility ||
                       before.screenRecording != help_.screenRecording ||
                       before.duraziziRunning != help_.duraziziRunning || before.dark != help_.dark)) {
        overlayChanged_ = true;
    }
}

void Playground::handleKey(const SDL_KeyboardEvent& key) {
    switch (key.keysym.sym) {
        case SDLK_ESCAPE: quit_ = true; return;
        case SDLK_F1:
            helpShown_ = !helpShown_;
            overlayChanged_ = true;
            return;
        case SDLK_F2: desktop().permissions().setAccessibilityTrusted(!desktop().accessibility().isProcessTrusted()); return;
        case SDLK_F3: desktop().permissions().setScreenRecording(!desktop().capture().preflightScreenCaptureAccess()); return;
        case SDLK_F4: desktop().appearance().setDark(!desktop().appearance().isDark()); return;
        case SDLK_F5: world_.relaunch(); return;
        default: break;
    }
    // Keys a Mac keyboard lacks are not sent at all; a modifier alone is no key-down.
    const std::optional<std::uint16_t> code = macKeyCode(key.keysym.scancode);
    if (!code) return;
    switch (key.keysym.sym) {
        case SDLK_LCTRL: case SDLK_RCTRL: case SDLK_LALT: case SDLK_RALT:
        case SDLK_LSHIFT: case SDLK_RSHIFT: case SDLK_LGUI: case SDLK_RGUI: case SDLK_CAPSLOCK:
            return;
        default: break;
    }
    const MacKey mac{*code, macModifierFlags(key.keysym.mod)};
    // Mission Control's own shortcuts: the system takes ⌃← and ⌃→ to move
    // between Spaces, and no application sees them.
    const std::uint64_t modifiers = mac.flags & (platform::kCGEventFlagMaskShift | platform::kCGEventFlagMaskControl |
                                                 platform::kCGEventFlagMaskAlternate | platform::kCGEventFlagMaskCommand);
    if (modifiers == platform::kCGEventFlagMaskControl && (mac.keyCode == platform::kVK_LeftArrow || mac.keyCode == platform::kVK_RightArrow)) {
        desktop().spaces().switchBeside(mac.keyCode == platform::kVK_LeftArrow ? -1 : 1);
        return;
    }
    desktop().input().keyDown(mac.keyCode, mac.flags);
}

void Playground::handle(const SDL_Event& event) {
    switch (event.type) {
        case SDL_QUIT: quit_ = true; break;
        case SDL_MOUSEMOTION: desktop().input().move(toDesktop(event.motion.x, event.motion.y)); break;
        case SDL_MOUSEBUTTONDOWN:
            // The modifiers held at the press go with the whole drag, as a Mac's do.
            if (event.button.button == SDL_BUTTON_LEFT)
                desktop().input().mouseDown(toDesktop(event.button.x, event.button.y), macModifierFlags(SDL_GetModState()));
            break;
        case SDL_MOUSEBUTTONUP:
            if (event.button.button == SDL_BUTTON_LEFT) desktop().input().mouseUp(toDesktop(event.button.x, event.button.y));
            break;
        case SDL_MOUSEWHEEL: {
            const double lines = macScrollLines(event.wheel);
            // A Mac's wheel also reports the same scroll in points, ten to a line.
            if (lines != 0) desktop().input().scrollWheel(desktop().input().location(), lines, 10 * lines, macModifierFlags(SDL_GetModState()));
            break;
        }
        case SDL_KEYDOWN: handleKey(event.key); break;
        case SDL_WINDOWEVENT:
            if (event.window.event == SDL_WINDOWEVENT_EXPOSED || event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED)
                exposed_ = true;
            break;
        default: break;
    }
}

bool Playground::present(bool repaint) {
    if (repaint) {
        const render::Frame& frame = renderer_.paint(scale_);
        const render::Frame* shown = &frame;
        if (helpShown_) {
            composed_ = frame;
            drawHelp(composed_, scale_, help_);
            shown = &composed_;
        }
        if (!texture_ || shown->width != textureWidth_ || shown->height != textureHeight_) {
            // Cairo's ARGB32 is one native-endian 0xAARRGGBB word per pixel, SDL's ARGB8888 too.
            texture_.reset(SDL_CreateTexture(sdlRenderer_.get(), SDL_PIXELFORMAT_ARGB8888,
                                             SDL_TEXTUREACCESS_STREAMING, shown->width, shown->height));
            if (!texture_) {
                err_ << kProgram << "cannot make a texture: " << SDL_GetError() << '\n';
                return false;
            }
            textureWidth_ = shown->width;
            textureHeight_ = shown->height;
        }
        SDL_UpdateTexture(texture_.get(), nullptr, shown->pixels.data(), shown->width * 4);
    }
    SDL_SetRenderDrawColor(sdlRenderer_.get(), 0, 0, 0, 255);
    SDL_RenderClear(sdlRenderer_.get());
    SDL_RenderCopy(sdlRenderer_.get(), texture_.get(), nullptr, nullptr);
    SDL_RenderPresent(sdlRenderer_.get());
    announceFrame();
    return true;
}

void Playground::announceFrame() {
    if (framesFd_ < 0) return;
    // The server must hold the frame before a reader, on another connection,
    // is told it may look.
    waitForXServer(window_.get());
    const std::string line = "frame " + std::to_string(++framesShown_) + "\n";
    // The descriptor is non-blocking: a reader that stopped reading must not
    // stall the desktop, so a line that does not fit is dropped, and a reader
    // that went away ends the announcements.
    const ssize_t written = ::write(framesFd_, line.data(), line.size());
    if (written < 0 && errno != EAGAIN && errno != EINTR) framesFd_ = -1;
}

void Playground::playNextTrackWhenDue(double now) {
    // Spotify moves on to its next song now and then, as a playing player does.
    if (now - lastTrackChange_ < kTrackLength) return;
    lastTrackChange_ = now;
    desktop().players().withPlayer("Spotify", [](sim::SimPlayer& player) {
        if (player.info().state == "playing") player.advanceTrack();
    });
}

void Playground::run() {
    lastTrackChange_ = steadySeconds();
    desktop().time().setRealTime(true);
    double lastPump = steadySeconds();
    bool animating = true;   // the first frame is always drawn
    if (!present(true)) return;
    while (!quit_) {
        int timeout = kAnimationIntervalMs;
        if (!animating) {
            const double sincePump = (steadySeconds() - lastPump) * 1000;
            timeout = std::max(1, kPumpIntervalMs - static_cast<int>(sincePump));
        }
        SDL_Event event;
        if (SDL_WaitEventTimeout(&event, timeout)) {
            handle(event);
            while (!quit_ && SDL_PollEvent(&event)) handle(event);
        }
        if (quit_) break;

        desktop().time().pump();
        lastPump = steadySeconds();
        playNextTrackWhenDue(lastPump);
        refreshHelpState();
        const bool repaint = renderer_.needsPaint() || overlayChanged_;
        // One frame at the animation cadence after each change: an animation
        // repaints every frame and so keeps it, a one-off change lets it go.
        animating = repaint;
        if (repaint || exposed_) {
            if (!present(repaint)) return;
        }
        overlayChanged_ = false;
        exposed_ = false;
    }
}

}  // namespace

int runPlayground(const PlaygroundOptions& options, std::ostream& err) {
    // The account: a throwaway one for --fresh, otherwise the user's own,
    // kept between runs.
    std::optional<scenario::ScratchHome> scratch;
    std::string home;
    if (options.fresh) {
        scratch.emplace("durazizi-playground");
        home = scratch->path();
        if (home.empty()) {
            err << kProgram << "cannot create a home folder: " << scratch->error() << '\n';
            return 1;
        }
    } else {
        const auto kept = persistentHome([](const char* name) { return std::getenv(name); });
        if (!kept) {
            err << kProgram << "neither HOME nor XDG_DATA_HOME is set; use --fresh\n";
            return 1;
        }
        std::error_code error;
        std::filesystem::create_directories(*kept, error);
        if (error) {
            err << kProgram << "cannot create " << *kept << ": " << error.message() << '\n';
            return 1;
        }
        home = *kept;
    }

    // Before SDL is up. The first click into the window, while another one
    // has the focus, should reach the desktop as a Mac's would.
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
    // Before SDL starts as well as after: SDL puts back the handler it found
    // when it shuts down, and closing its second connection then can still
    // bring the answer to a wake-up message sent to the window just destroyed.
    playground::forgiveGoneXWindows();
    SdlSession sdl;
    if (!sdl.ok) {
        err << kProgram << "cannot start SDL: " << SDL_GetError() << '\n';
        return 1;
    }
    playground::forgiveGoneXWindows();

    scenario::World world(home, [&err](const std::string& notice) { err << kProgram << notice << '\n'; });
    // The person at the keyboard reads dates in their own zone and language.
    world.desktop().locale().setTimeZoneName(sim::SimLocale::hostTimeZoneName());
    world.desktop().locale().setLocaleIdentifier(sim::SimLocale::hostLocaleIdentifier());
    scenario::DefaultDesktopOptions desktopOptions;
    desktopOptions.fresh = options.fresh;
    scenario::buildDefaultDesktop(world, desktopOptions);
    // Artwork addresses the simulated world does not serve itself go out for real.
    world.desktop().downloads().useUpstream(std::make_shared<linuxhost::CurlURLSession>());

    HelpState help;
    help.home = home;
    help.fresh = options.fresh;
    if (options.framesFd >= 0) {
        const int flags = ::fcntl(options.framesFd, F_GETFL);
        if (flags < 0 || ::fcntl(options.framesFd, F_SETFL, flags | O_NONBLOCK) < 0) {
            err << kProgram << "--frames-fd=" << options.framesFd << " is not an open descriptor\n";
            return 1;
        }
        // A reader that goes away must not end the playground.
        std::signal(SIGPIPE, SIG_IGN);
    }
    Playground playground(world, help, options.framesFd, err);
    if (!playground.open()) return 1;
    if (auto error = world.launch()) {
        err << kProgram << *error << '\n';
        return 1;
    }
    err << kProgram << (options.fresh ? "a fresh account" : "account kept in " + home) << "; F1 for help, Esc quits\n";
    playground.run();
    return 0;
}

}  // namespace playground
