#include "macos/MirrorView.h"

#include "macos/MirrorViews.h"

@implementation DurazziziMirrorView

- (BOOL)isFlipped {
    return flipped;
}

// Layer colours are fixed CGColors: they are made again for the new look.
- (void)viewDidChangeEffectiveAppearance {
    [super viewDidChangeEffectiveAppearance];
    if (owner != nullptr && owner->isRoot(handle)) owner->appearanceChanged();
}

@end

@implementation DurazziziMirrorScrollView

- (void)reflectScrolledClipView:(NSClipView*)clipView {
    [super reflectScrolledClipView:clipView];
    if (owner != nullptr) owner->scrolled(handle, [clipView bounds].origin.y);
}

@end

@implementation DurazziziMirrorTarget

- (void)controlChanged:(id)sender {
    if (owner != nullptr) owner->controlChanged(sender);
}

// The tracking areas of every view of the window report here.
- (void)mouseEntered:(NSEvent*)event {
    if (owner != nullptr) owner->pointerMoved(event);
}

- (void)mouseMoved:(NSEvent*)event {
    if (owner != nullptr) owner->pointerMoved(event);
}

- (void)mouseExited:(NSEvent*)event {
    if (owner != nullptr) owner->pointerExited(event);
}

@end
