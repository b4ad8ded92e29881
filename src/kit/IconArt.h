#pragma once

#include "kit/VectorDrawing.h"

// Icons drawn as paths, so that every host paints them sharp at the size it
// shows them: the core shows them as kit images, the Linux renderer
// rasterises them (render/VectorPainter.h), and the Mac bundle's icon file
// is made from the same drawing. Each is `side` points square, laid out on
// the macOS icon grid: a rounded tile with the grid's margin and shadow.
namespace kit::IconArt {

// Durazizi's own icon: a preview panel over a Dock, on a sky-blue tile.
VectorDrawing durazizi(double side);

// What stands in for an application whose icon is missing, as the system's
// generic application icon does: a light tile with a grey "A" glyph.
VectorDrawing genericApplication(double side);

// The artwork placeholder of a player with nothing to show: a beamed note
// on a grey square, as the players' own placeholders look. No grid margin:
// artwork fills its frame.
VectorDrawing musicPlaceholder(double side);

// An application tile in `color`, the way the simulated applications draw
// their icons: a gradient from a lighter tint of it, with a window glyph.
VectorDrawing coloredApplication(double side, Color color);

}  // namespace kit::IconArt
