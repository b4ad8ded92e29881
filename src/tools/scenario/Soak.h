#pragma once

#include <iosfwd>

namespace scenario {

struct SoakOptions {
    double minutes = 60;        // of virtual time
    double sampleEvery = 5;     // virtual minutes between two lines of the table
    double scale = 1;           // pixels per point of the pictures painted
};

// `durazizi-sim soak`: Durazizi on the default desktop, used for a long
// stretch of virtual time as someone would use it all day: the pointer
// rests on every Dock icon in turn (the previews, the players' panels, the
// calendar's), wanders over the panels, rests on the playing Spotify's icon,
// opens and closes the status item's panel, and drags the front window to
// the screen's edges so that it snaps; Spotify moves on to its next track
// every 30 seconds. Every frame is painted as the playground paints it.
// Writes to `out`, every `sampleEvery` virtual minutes, the process's
// resident size and the heap in use, so that growth that does not level off
// shows. Returns the exit status (0; 1 when the desktop cannot be set up).
int soakCommand(const SoakOptions& options, std::ostream& out, std::ostream& err);

}  // namespace scenario
