#pragma once

#include <cstdint>
#include <optional>

#include <SDL.h>

namespace playground {

// A key press as the simulated Mac would receive it.
struct MacKey {
    std::uint16_t keyCode = 0;   // virtual key code (kVK_*)
    std::uint64_t flags = 0;     // NSEventModifierFlags
};

// The Mac's virtual key code for the key at that position on a US keyboard;
// nullopt for keys a Mac keyboard does not have. By position (scancode), as
// the Mac's codes are, so that a non-US layout still sends the codes of the
// keys it presses.
std::optional<std::uint16_t> macKeyCode(SDL_Scancode scancode);

// Control, option (Alt), shift, command (Super) and caps lock.
std::uint64_t macModifierFlags(Uint16 sdlMod);

// A scroll in lines, positive up, as the platform's scroll wheel event has it.
// SDL's wheel is positive up too, unless the system flips it.
double macScrollLines(const SDL_MouseWheelEvent& wheel);

}  // namespace playground
