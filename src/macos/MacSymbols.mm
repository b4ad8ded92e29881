#include "macos/MacSymbols.h"

#import <AppKit/AppKit.h>

namespace macos {

kit::ImageRef MacSymbols::imageWithSystemSymbolName(const std::string& name,
                                                    const std::string& accessibilityDescription) {
    @autoreleasepool {
        NSString* symbol = [NSString stringWithUTF8String:name.c_str()];
        NSString* description = [NSString stringWithUTF8String:accessibilityDescription.c_str()];
        if (symbol == nil) return nullptr;
        // Names differ between releases; an unknown one is nil.
        NSImage* image = [NSImage imageWithSystemSymbolName:symbol accessibilityDescription:description];
        if (image == nil) return nullptr;
        // Kept as a symbol: the caller gives it the size and weight it is
        // drawn at (kit::Image::symbol), which nsImageFromKit hands to AppKit
        // as the symbol's configuration.
        return kit::Image::symbol(name, [image size].height, accessibilityDescription);
    }
}

}  // namespace macos
