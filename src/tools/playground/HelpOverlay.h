#pragma once

#include <string>

#include "render/Renderer.h"

namespace playground {

// What the help card tells about the running playground.
struct HelpState {
    bool accessibility = true;
    bool screenRecording = true;
    bool duraziziRunning = true;
    bool dark = false;    // the system's appearance
    std::string home;     // where the account is kept
    bool fresh = false;   // a throwaway account
};

// The help card's text, in Pango markup.
std::string helpMarkup(const HelpState& state);

// Paints the help card onto a frame painted at `scale`, near its top-left
// corner, clear of the menu bar and of the Dock.
void drawHelp(render::Frame& frame, double scale, const HelpState& state);

}  // namespace playground
