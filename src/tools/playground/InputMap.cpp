#include "tools/playground/InputMap.h"

#include <utility>

#include "platform/Constants.h"

namespace playground {

namespace {

// Events.h's kVK_* values, by key position.
constexpr std::pair<SDL_Scancode, std::uint16_t> kKeyCodes[] = {
    {SDL_SCANCODE_A, 0x00}, {SDL_SCANCODE_S, 0x01}, {SDL_SCANCODE_D, 0x02}, {SDL_SCANCODE_F, 0x03},
    {SDL_SCANCODE_H, 0x04}, {SDL_SCANCODE_G, 0x05}, {SDL_SCANCODE_Z, 0x06}, {SDL_SCANCODE_X, 0x07},
    {SDL_SCANCODE_C, 0x08}, {SDL_SCANCODE_V, 0x09}, {SDL_SCANCODE_B, 0x0B}, {SDL_SCANCODE_Q, 0x0C},
    {SDL_SCANCODE_W, 0x0D}, {SDL_SCANCODE_E, 0x0E}, {SDL_SCANCODE_R, 0x0F}, {SDL_SCANCODE_Y, 0x10},
    {SDL_SCANCODE_T, 0x11}, {SDL_SCANCODE_1, 0x12}, {SDL_SCANCODE_2, 0x13}, {SDL_SCANCODE_3, 0x14},
    {SDL_SCANCODE_4, 0x15}, {SDL_SCANCODE_6, 0x16}, {SDL_SCANCODE_5, 0x17}, {SDL_SCANCODE_EQUALS, 0x18},
    {SDL_SCANCODE_9, 0x19}, {SDL_SCANCODE_7, 0x1A}, {SDL_SCANCODE_MINUS, 0x1B}, {SDL_SCANCODE_8, 0x1C},
    {SDL_SCANCODE_0, 0x1D}, {SDL_SCANCODE_RIGHTBRACKET, 0x1E}, {SDL_SCANCODE_O, 0x1F}, {SDL_SCANCODE_U, 0x20},
    {SDL_SCANCODE_LEFTBRACKET, 0x21}, {SDL_SCANCODE_I, 0x22}, {SDL_SCANCODE_P, 0x23},
    {SDL_SCANCODE_RETURN, 0x24}, {SDL_SCANCODE_L, 0x25}, {SDL_SCANCODE_J, 0x26},
    {SDL_SCANCODE_APOSTROPHE, 0x27}, {SDL_SCANCODE_K, 0x28}, {SDL_SCANCODE_SEMICOLON, 0x29},
    {SDL_SCANCODE_BACKSLASH, 0x2A}, {SDL_SCANCODE_COMMA, 0x2B}, {SDL_SCANCODE_SLASH, 0x2C},
    {SDL_SCANCODE_N, 0x2D}, {SDL_SCANCODE_M, 0x2E}, {SDL_SCANCODE_PERIOD, 0x2F}, {SDL_SCANCODE_TAB, 0x30},
    {SDL_SCANCODE_SPACE, 0x31}, {SDL_SCANCODE_GRAVE, 0x32}, {SDL_SCANCODE_BACKSPACE, 0x33},
    {SDL_SCANCODE_ESCAPE, 0x35}, {SDL_SCANCODE_RGUI, 0x36}, {SDL_SCANCODE_LGUI, 0x37},
    {SDL_SCANCODE_LSHIFT, 0x38}, {SDL_SCANCODE_CAPSLOCK, 0x39}, {SDL_SCANCODE_LALT, 0x3A},
    {SDL_SCANCODE_LCTRL, 0x3B}, {SDL_SCANCODE_RSHIFT, 0x3C}, {SDL_SCANCODE_RALT, 0x3D},
    {SDL_SCANCODE_RCTRL, 0x3E}, {SDL_SCANCODE_HOME, 0x73}, {SDL_SCANCODE_PAGEUP, 0x74},
    {SDL_SCANCODE_DELETE, 0x75}, {SDL_SCANCODE_END, 0x77}, {SDL_SCANCODE_PAGEDOWN, 0x79},
    {SDL_SCANCODE_LEFT, 0x7B}, {SDL_SCANCODE_RIGHT, 0x7C}, {SDL_SCANCODE_DOWN, 0x7D}, {SDL_SCANCODE_UP, 0x7E},
    {SDL_SCANCODE_KP_ENTER, 0x4C},
};

}  // namespace

std::optional<std::uint16_t> macKeyCode(SDL_Scancode scancode) {
    for (const auto& [sdl, mac] : kKeyCodes) {
        if (sdl == scancode) return mac;
    }
    return std::nullopt;
}

std::uint64_t macModifierFlags(Uint16 sdlMod) {
    std::uint64_t flags = 0;
    if (sdlMod & KMOD_CTRL) flags |= platform::NSEventModifierFlagControl;
    if (sdlMod & KMOD_ALT) flags |= platform::NSEventModifierFlagOption;
    if (sdlMod & KMOD_SHIFT) flags |= platform::NSEventModifierFlagShift;
    if (sdlMod & KMOD_GUI) flags |= platform::NSEventModifierFlagCommand;
    if (sdlMod & KMOD_CAPS) flags |= platform::NSEventModifierFlagCapsLock;
    return flags;
}

double macScrollLines(const SDL_MouseWheelEvent& wheel) {
    // The platform's own events arrive already adjusted for natural scrolling.
    const double lines = wheel.preciseY;
    return wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -lines : lines;
}

}  // namespace playground
