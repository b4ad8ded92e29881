#include "macos/KitImages.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "kit/Appearance.h"
#include "macos/CFRef.h"
#include "macos/CocoaHelpers.h"
#include "macos/MacText.h"
#include "macos/ObjCRef.h"

namespace macos {

namespace {

// kit keeps R, G, B, A bytes in memory, premultiplied: the layout of a
// big-endian 32-bit word with premultiplied alpha last.
constexpr uint32_t kKitBitmapInfo =
    static_cast<uint32_t>(kCGImageAlphaPremultipliedLast) | static_cast<uint32_t>(kCGBitmapByteOrder32Big);

}  // namespace

kit::ImageRef kitImageFromCGImage(CGImageRef image, int pixelWidth, int pixelHeight, kit::Size points) {
    if (image == nullptr || pixelWidth <= 0 || pixelHeight <= 0) return nullptr;
    if (static_cast<std::uint64_t>(pixelWidth) > helpers::kMaxImageSide ||
        static_cast<std::uint64_t>(pixelHeight) > helpers::kMaxImageSide) {
        return nullptr;
    }
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(pixelWidth) * static_cast<std::size_t>(pixelHeight));
    auto space = CFRef<CGColorSpaceRef>::adopt(CGColorSpaceCreateWithName(kCGColorSpaceSRGB));
    auto context = CFRef<CGContextRef>::adopt(CGBitmapContextCreate(pixels.data(), static_cast<size_t>(pixelWidth),
                                                                     static_cast<size_t>(pixelHeight), 8,
                                                                     static_cast<size_t>(pixelWidth) * 4,
                                                                     space.get(), kKitBitmapInfo));
    if (!context) return nullptr;
    // The bitmap's first row in memory is the top of the picture, which is
    // the order kit keeps its rows in.
    CGContextDrawImage(context.get(), CGRectMake(0, 0, pixelWidth, pixelHeight), image);
    return kit::Image::fromPixels(pixelWidth, pixelHeight, std::move(pixels), points);
}

kit::ImageRef kitImageFromNSImage(NSImage* image, kit::Size points, double scale) {
    if (image == nil) return nullptr;
    const auto size = helpers::pixelSizeAtScale(points, scale);
    NSRect proposed = NSMakeRect(0, 0, points.width, points.height);
    CGImageRef cgImage = [image CGImageForProposedRect:&proposed context:nil hints:nil];
    return kitImageFromCGImage(cgImage, size.width, size.height, points);
}

namespace {

NSColor* nsColor(const kit::Color& color) {
    const kit::Color c = kit::resolve(color, kit::Appearance::Aqua);
    return [NSColor colorWithSRGBRed:c.red green:c.green blue:c.blue alpha:c.alpha];
}

// The shape's lowest and highest y on the canvas.
std::pair<double, double> verticalExtent(const kit::VectorShape& shape) {
    if (shape.kind != kit::VectorShape::Kind::Polygon || shape.points.empty()) {
        return {shape.rect.minY(), shape.rect.maxY()};
    }
    double low = shape.points.front().y;
    double high = low;
    for (const auto& p : shape.points) {
        low = std::min(low, p.y);
        high = std::max(high, p.y);
    }
    return {low, high};
}

// Draws the shapes in AppKit's current context, whose origin is at the
// bottom-left unless the image was made flipped.
void draw(const kit::VectorDrawing& drawing) {
    for (const auto& shape : drawing.shapes) {
        NSBezierPath* path = nil;
        const NSRect rect = NSMakeRect(shape.rect.origin.x, shape.rect.origin.y, shape.rect.size.width,
                                       shape.rect.size.height);
        if (shape.kind == kit::VectorShape::Kind::RoundedRect) {
            path = [NSBezierPath bezierPathWithRoundedRect:rect xRadius:shape.cornerRadius yRadius:shape.cornerRadius];
        } else if (shape.kind == kit::VectorShape::Kind::Ellipse) {
            path = [NSBezierPath bezierPathWithOvalInRect:rect];
        } else {
            if (shape.points.size() < 2) continue;
            path = [NSBezierPath bezierPath];
            [path moveToPoint:NSMakePoint(shape.points.front().x, shape.points.front().y)];
            for (std::size_t i = 1; i < shape.points.size(); ++i) {
                [path lineToPoint:NSMakePoint(shape.points[i].x, shape.points[i].y)];
            }
            [path closePath];
        }
        if (shape.paint == kit::VectorShape::Paint::Fill && shape.gradientEnd) {
            NSGradient* gradient = autoreleased([[NSGradient alloc] initWithStartingColor:nsColor(shape.color)
                                                                              endingColor:nsColor(*shape.gradientEnd)]);
            const auto [low, high] = verticalExtent(shape);
            // From the top as seen, which is the high end unless the canvas is flipped.
            const double top = drawing.flipped ? low : high;
            const double bottom = drawing.flipped ? high : low;
            [NSGraphicsContext saveGraphicsState];
            [path addClip];
            [gradient drawFromPoint:NSMakePoint(0, top) toPoint:NSMakePoint(0, bottom)
                            options:NSGradientDrawsBeforeStartingLocation | NSGradientDrawsAfterEndingLocation];
            [NSGraphicsContext restoreGraphicsState];
        } else if (shape.paint == kit::VectorShape::Paint::Fill) {
            [nsColor(shape.color) setFill];
            [path fill];
        } else {
            [path setLineWidth:shape.lineWidth];
            [nsColor(shape.color) setStroke];
            [path stroke];
        }
    }
}

}  // namespace

NSImage* nsImageFromKit(const kit::ImageRef& image) {
    if (!image) return nil;
    if (const auto& drawing = image->drawing()) {
        // Drawn by AppKit at whatever scale the menu bar's screen has, each
        // time it is needed.
        kit::VectorDrawing copy = *drawing;
        NSImage* vector = [NSImage imageWithSize:NSMakeSize(copy.canvas.width, copy.canvas.height)
                                         flipped:copy.flipped
                                  drawingHandler:^BOOL(NSRect) {
                                      draw(copy);
                                      return YES;
                                  }];
        [vector setTemplate:image->isTemplate()];
        return vector;
    }
    if (!image->symbolName().empty()) {
        NSString* name = [NSString stringWithUTF8String:image->symbolName().c_str()];
        NSString* description = [NSString stringWithUTF8String:image->accessibilityDescription().c_str()];
        NSImage* symbol = [NSImage imageWithSystemSymbolName:name accessibilityDescription:description];
        // The size and weight kit asked for are the symbol's configuration,
        // not a scaling of its picture: strokes stay as thick as the weight says.
        NSImageSymbolConfiguration* configuration =
            [NSImageSymbolConfiguration configurationWithPointSize:image->size().height
                                                            weight:fontWeight(image->symbolWeight())];
        NSImage* configured = [symbol imageWithSymbolConfiguration:configuration];
        if (configured != nil) symbol = configured;
        [symbol setTemplate:YES];
        return symbol;
    }
    if (image->pixels().empty()) return nil;
    const auto& pixels = image->pixels();
    auto data = CFRef<CFDataRef>::adopt(CFDataCreate(nullptr, reinterpret_cast<const uint8_t*>(pixels.data()),
                                                      static_cast<CFIndex>(pixels.size() * 4)));
    auto provider = CFRef<CGDataProviderRef>::adopt(CGDataProviderCreateWithCFData(data.get()));
    auto space = CFRef<CGColorSpaceRef>::adopt(CGColorSpaceCreateWithName(kCGColorSpaceSRGB));
    auto cgImage = CFRef<CGImageRef>::adopt(CGImageCreate(
        static_cast<size_t>(image->pixelWidth()), static_cast<size_t>(image->pixelHeight()), 8, 32,
        static_cast<size_t>(image->pixelWidth()) * 4, space.get(), kKitBitmapInfo, provider.get(), nullptr, true,
        kCGRenderingIntentDefault));
    if (!cgImage) return nil;
    NSImage* result = autoreleased([[NSImage alloc] initWithCGImage:cgImage.get()
                                                  size:NSMakeSize(image->size().width, image->size().height)]);
    [result setTemplate:image->isTemplate()];
    return result;
}

}  // namespace macos
