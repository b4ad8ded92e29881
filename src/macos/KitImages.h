#pragma once

#import <AppKit/AppKit.h>

#include <CoreGraphics/CoreGraphics.h>

#include "kit/Image.h"

// Conversions between the system's images and kit's premultiplied RGBA pixels.
namespace macos {

// Draws `image` into exactly pixelWidth × pixelHeight pixels; the result
// keeps `points` as its size. Null when the bitmap cannot be made.
kit::ImageRef kitImageFromCGImage(CGImageRef image, int pixelWidth, int pixelHeight, kit::Size points);
// An NSImage (an application icon, a bundle resource) at `points`, drawn at `scale` pixels per point.
kit::ImageRef kitImageFromNSImage(NSImage* image, kit::Size points, double scale);
// A kit image for AppKit: pixels become a bitmap, a symbol the system's own
// symbol, a vector drawing an image AppKit draws on demand.
NSImage* nsImageFromKit(const kit::ImageRef& image);

}  // namespace macos
