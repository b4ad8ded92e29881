// Check-only declarations of the CoreText names the macOS backend uses,
// from Apple's public documentation. GNUstep has no CoreText.
#pragma once

#include <CoreFoundation/CoreFoundation.h>
#include <CoreGraphics/CoreGraphics.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef const struct __CTFont* CTFontRef;
typedef const struct __CTLine* CTLineRef;

extern const CFStringRef kCTFontAttributeName;

CTLineRef CTLineCreateWithAttributedString(CFAttributedStringRef attrString);
double CTLineGetTypographicBounds(CTLineRef line, CGFloat* ascent, CGFloat* descent, CGFloat* leading);

#ifdef __cplusplus
}
#endif
