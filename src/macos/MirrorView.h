#pragma once

#import <AppKit/AppKit.h>

#include "macos/ViewMirror.h"

namespace macos {
class MirrorViews;
}

// The AppKit view of a kit view AppKit has no class for (FlippedView,
// Control, HostingView, the product's own views), and the holder of a
// control whose title sits beside it. It answers isFlipped as its kit view
// does and passes the pointer on to kit's input routing (MirrorViewMouse.mm).
@interface DurazziziMirrorView : NSView {
   @public
    BOOL flipped;
    macos::MirrorViews* owner;   // the window's mirror, which outlives its views
    macos::mirror::NativeHandle handle;
}
@end

// An NSScrollView that tells the mirror where the user scrolled to.
@interface DurazziziMirrorScrollView : NSScrollView {
   @public
    macos::MirrorViews* owner;
    macos::mirror::NativeHandle handle;
}
@end

// The target of every AppKit control of one window.
@interface DurazziziMirrorTarget : NSObject {
   @public
    macos::MirrorViews* owner;
}
- (void)controlChanged:(id)sender;
@end
