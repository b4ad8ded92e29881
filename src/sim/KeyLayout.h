#pragma once

#include <cstdint>
#include <string>

namespace sim {

// The simulated keyboard: a US (ANSI) layout, as the virtual key codes of
// the platform's HIToolbox name its keys. What a key types, shift aside
// (NSEvent's charactersIgnoringModifiers): "w" for key 13, "\r" for Return,
// "\x1b" for Escape; empty for keys that type nothing (arrows, modifiers).
std::string charactersIgnoringModifiers(std::int64_t keyCode);

}  // namespace sim
