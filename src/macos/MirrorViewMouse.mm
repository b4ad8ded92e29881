// The pointer over a mirrored window: clicks, moves, and the tracking areas'
// entries and exits go to kit's input routing, which finds the kit view the
// same way AppKit found this one.
#include "macos/MirrorView.h"

#include "macos/MirrorViews.h"

@implementation DurazziziMirrorView (Mouse)

- (void)mouseDown:(NSEvent*)event {
    if (owner != nullptr) owner->mouseDown(event);
}

- (void)mouseUp:(NSEvent*)event {
    if (owner != nullptr) owner->mouseUp(event);
}

- (void)mouseMoved:(NSEvent*)event {
    if (owner != nullptr) owner->pointerMoved(event);
}

- (void)mouseDragged:(NSEvent*)event {
    if (owner != nullptr) owner->pointerMoved(event);
}

- (void)mouseEntered:(NSEvent*)event {
    if (owner != nullptr) owner->pointerMoved(event);
}

- (void)mouseExited:(NSEvent*)event {
    if (owner != nullptr) owner->pointerExited(event);
}

// Durazizi's panels never become key; the first click acts at once.
- (BOOL)acceptsFirstMouse:(NSEvent*)event {
    return YES;
}

@end
