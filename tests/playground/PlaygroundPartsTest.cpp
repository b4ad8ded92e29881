// The parts of the playground that need no window: where the account is
// kept, how the keyboard reads in the Mac's terms, and the help card.

#include <gtest/gtest.h>

#include <glib.h>
#include <pango/pango.h>

#include <map>
#include <optional>
#include <string>

#include "platform/Constants.h"
#include "tools/playground/HelpOverlay.h"
#include "tools/playground/InputMap.h"
#include "tools/playground/PlaygroundHome.h"

namespace {

TEST(PlaygroundHome, FollowsXdgDataHomeThenHome) {
    struct Case {
        std::optional<std::string> data, home, expected;
    };
    const Case cases[] = {
        {"/data", "/home/ann", "/data/durazizi-playground"},
        {std::nullopt, "/home/ann", "/home/ann/.local/share/durazizi-playground"},
        // A relative XDG_DATA_HOME is invalid and ignored, as the XDG rules ask.
        {"data", "/home/ann", "/home/ann/.local/share/durazizi-playground"},
        {"", "/home/ann", "/home/ann/.local/share/durazizi-playground"},
        {std::nullopt, std::nullopt, std::nullopt},
        {"relative", "also-relative", std::nullopt},
    };
    for (const Case& c : cases) {
        const auto found = playground::persistentHome([&c](const char* name) -> const char* {
            const auto& value = std::string(name) == "XDG_DATA_HOME" ? c.data : c.home;
            return value ? value->c_str() : nullptr;
        });
        EXPECT_EQ(found, c.expected) << c.data.value_or("(unset)") << " / " << c.home.value_or("(unset)");
    }
}

TEST(InputMap, KeysAndModifiersReadAsOnAMac) {
    // Option is Alt and command is the Super (Windows) key, on either side.
    const std::map<Uint16, std::uint64_t> modifiers = {
        {KMOD_LCTRL, platform::NSEventModifierFlagControl},  {KMOD_RCTRL, platform::NSEventModifierFlagControl},
        {KMOD_LALT, platform::NSEventModifierFlagOption},    {KMOD_RALT, platform::NSEventModifierFlagOption},
        {KMOD_LSHIFT, platform::NSEventModifierFlagShift},   {KMOD_LGUI, platform::NSEventModifierFlagCommand},
        {KMOD_RGUI, platform::NSEventModifierFlagCommand},   {KMOD_CAPS, platform::NSEventModifierFlagCapsLock},
        {KMOD_NUM, 0},                                        {KMOD_NONE, 0},
    };
    for (const auto& [sdl, mac] : modifiers) EXPECT_EQ(playground::macModifierFlags(sdl), mac) << sdl;
    EXPECT_EQ(playground::macModifierFlags(KMOD_LCTRL | KMOD_LALT | KMOD_LGUI),
              platform::NSEventModifierFlagControl | platform::NSEventModifierFlagOption |
                  platform::NSEventModifierFlagCommand);

    // The arrows snapping listens for, and keys whose Mac codes are out of
    // alphabetical order.
    const std::map<SDL_Scancode, std::optional<std::uint16_t>> keys = {
        {SDL_SCANCODE_LEFT, 123}, {SDL_SCANCODE_RIGHT, 124}, {SDL_SCANCODE_DOWN, 125}, {SDL_SCANCODE_UP, 126},
        {SDL_SCANCODE_A, 0x00},   {SDL_SCANCODE_Z, 0x06},    {SDL_SCANCODE_Q, 0x0C},   {SDL_SCANCODE_RETURN, 0x24},
        {SDL_SCANCODE_5, 0x17},   {SDL_SCANCODE_6, 0x16},    {SDL_SCANCODE_SPACE, 0x31},
        {SDL_SCANCODE_APPLICATION, std::nullopt},
    };
    for (const auto& [scancode, code] : keys) EXPECT_EQ(playground::macKeyCode(scancode), code) << scancode;

    SDL_MouseWheelEvent wheel{};
    wheel.preciseY = 1.5f;
    wheel.direction = SDL_MOUSEWHEEL_NORMAL;
    EXPECT_DOUBLE_EQ(playground::macScrollLines(wheel), 1.5);
    wheel.direction = SDL_MOUSEWHEEL_FLIPPED;
    EXPECT_DOUBLE_EQ(playground::macScrollLines(wheel), -1.5);
}

TEST(HelpOverlay, CardSaysWhatIsOnAndSurvivesAnyHomePath) {
    playground::HelpState state;
    state.accessibility = false;
    state.home = "/home/a&b/<data>";
    const std::string markup = playground::helpMarkup(state);
    // The card is Pango markup: a home path with markup characters must not
    // make it unreadable.
    char* text = nullptr;
    GError* error = nullptr;
    ASSERT_TRUE(pango_parse_markup(markup.c_str(), -1, 0, nullptr, &text, nullptr, &error))
        << (error ? error->message : "");
    const std::string plain = text;
    g_free(text);
    EXPECT_NE(plain.find("/home/a&b/<data>"), std::string::npos);
    EXPECT_NE(plain.find("Accessibility permission (now off)"), std::string::npos);
    EXPECT_NE(plain.find("Screen recording permission (now on)"), std::string::npos);
    EXPECT_NE(plain.find("Esc"), std::string::npos);
    EXPECT_NE(plain.find("Ctrl+Alt with an arrow key"), std::string::npos) << "the card tells how to snap";

    state.fresh = true;
    pango_parse_markup(playground::helpMarkup(state).c_str(), -1, 0, nullptr, &text, nullptr, nullptr);
    EXPECT_EQ(std::string(text).find("/home/a&b"), std::string::npos) << "a fresh account is not kept anywhere";
    g_free(text);
}

TEST(HelpOverlay, DrawsACardBelowTheMenuBarAndNothingElse) {
    for (double scale : {1.0, 2.0}) {
        render::Frame frame;
        frame.width = static_cast<int>(1440 * scale);
        frame.height = static_cast<int>(900 * scale);
        const std::uint32_t wallpaper = 0xff336699;
        frame.pixels.assign(static_cast<std::size_t>(frame.width) * frame.height, wallpaper);
        playground::drawHelp(frame, scale, {});

        auto changed = [&](double x, double y) {
            return frame.at(static_cast<int>(x * scale), static_cast<int>(y * scale)) != wallpaper;
        };
        EXPECT_TRUE(changed(100, 60)) << scale;    // the card
        EXPECT_FALSE(changed(100, 10)) << scale;   // the menu bar
        EXPECT_FALSE(changed(700, 60)) << scale;   // right of the card
        EXPECT_FALSE(changed(720, 870)) << scale;  // the Dock
        // Opaque enough to read on any wallpaper, and with text on it.
        int light = 0;
        for (int y = 40; y < 200; ++y) {
            for (int x = 24; x < 624; ++x) {
                if ((frame.at(static_cast<int>(x * scale), static_cast<int>(y * scale)) & 0xff) > 0xc0) ++light;
            }
        }
        EXPECT_GT(light, 200) << scale;
    }
}

}  // namespace
