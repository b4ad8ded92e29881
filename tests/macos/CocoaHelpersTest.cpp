#include <gtest/gtest.h>

#include <limits>

#include "macos/CocoaHelpers.h"
#include "platform/EventMonitors.h"

namespace {

using namespace macos::helpers;

TEST(CocoaEvents, ModifiersReadTheSameFromEitherSideAndWithoutCoalescing) {
    // Left Command (0x8) and right Command (0x10) are device bits under the
    // Command bit; a non-coalesced mouse move adds 0x100.
    const std::uint64_t leftCommand = platform::kCGEventFlagMaskCommand | 0x8;
    const std::uint64_t rightCommand = platform::kCGEventFlagMaskCommand | 0x10;
    EXPECT_EQ(deviceIndependentFlags(leftCommand), deviceIndependentFlags(rightCommand));
    EXPECT_EQ(deviceIndependentFlags(leftCommand), platform::kCGEventFlagMaskCommand);
    EXPECT_EQ(deviceIndependentFlags(platform::kCGEventFlagMaskNonCoalesced), 0u);
    // Every modifier the core reads survives, and the seam's NSEvent names
    // are the same bits.
    const std::uint64_t all = platform::kCGEventFlagMaskShift | platform::kCGEventFlagMaskControl |
                              platform::kCGEventFlagMaskAlternate | platform::kCGEventFlagMaskCommand |
                              platform::kCGEventFlagMaskSecondaryFn | platform::kCGEventFlagMaskAlphaShift;
    EXPECT_EQ(deviceIndependentFlags(all | 0xff), all);
    EXPECT_EQ(deviceIndependentFlags(platform::NSEventModifierFlagOption), platform::kCGEventFlagMaskAlternate);
}

TEST(CocoaEvents, TypesTheCoreDoesNotKnowAreIgnoredButTapNoticesArrive) {
    EXPECT_EQ(eventTypeFromNative(1), platform::kCGEventLeftMouseDown);
    EXPECT_EQ(eventTypeFromNative(22), platform::kCGEventScrollWheel);
    EXPECT_EQ(eventTypeFromNative(0xFFFFFFFEu), platform::kCGEventTapDisabledByTimeout);
    EXPECT_EQ(eventTypeFromNative(0xFFFFFFFFu), platform::kCGEventTapDisabledByUserInput);
    // Right-mouse drag (7), tablet (23) and other-button (25) events would
    // otherwise reach a switch that has no case for them.
    for (std::uint32_t unknown : {7u, 8u, 23u, 25u, 29u, 0xFFFFFFFDu}) {
        EXPECT_EQ(eventTypeFromNative(unknown), platform::kCGEventNull) << unknown;
    }
}

TEST(CocoaEvents, MasksSelectTheirTypesAndNeverTheTapNotices) {
    EXPECT_TRUE(maskSelects(platform::NSEventMaskLeftMouseDown, platform::kCGEventLeftMouseDown));
    EXPECT_FALSE(maskSelects(platform::NSEventMaskLeftMouseDown, platform::kCGEventLeftMouseUp));
    EXPECT_TRUE(maskSelects(platform::CGEventMaskBit(platform::kCGEventScrollWheel), 22));
    // NSEventMaskAny and kCGEventMaskForAllEvents set every bit; the
    // disabled notices still are not events a mask can ask for.
    const std::uint64_t any = std::numeric_limits<std::uint64_t>::max();
    EXPECT_TRUE(maskSelects(any, platform::kCGEventKeyDown));
    EXPECT_FALSE(maskSelects(any, platform::kCGEventTapDisabledByTimeout));
    EXPECT_FALSE(maskSelects(any, 64));
    // 0xFFFFFFFE shifted as if modulo 64 would land on bit 62.
    EXPECT_FALSE(maskSelects(1ull << 62, platform::kCGEventTapDisabledByTimeout));
}

TEST(CocoaCoordinates, FlipsBetweenCocoaAndQuartzAroundThePrimaryScreen) {
    const double primaryHeight = 900;
    // A 100 × 50 window whose bottom edge is 10 points above the bottom of
    // the primary screen has its top edge 840 points below the top.
    const kit::Rect cocoa(30, 10, 100, 50);
    const kit::Rect quartz = quartzRectFromCocoa(cocoa, primaryHeight);
    EXPECT_DOUBLE_EQ(quartz.minX(), 30);
    EXPECT_DOUBLE_EQ(quartz.minY(), 840);
    EXPECT_DOUBLE_EQ(quartz.width(), 100);
    EXPECT_DOUBLE_EQ(quartz.height(), 50);
    const kit::Rect back = cocoaRectFromQuartz(quartz, primaryHeight);
    EXPECT_DOUBLE_EQ(back.minY(), 10);

    // A screen above the primary one has negative Quartz y; one below has
    // negative Cocoa y.
    EXPECT_DOUBLE_EQ(quartzRectFromCocoa({0, 900, 1440, 900}, primaryHeight).minY(), -900);
    EXPECT_DOUBLE_EQ(cocoaRectFromQuartz({0, 900, 1440, 900}, primaryHeight).minY(), -900);

    // Points flip without a height: the pointer at the top-left corner.
    const kit::Point top = quartzPointFromCocoa({0, 900}, primaryHeight);
    EXPECT_DOUBLE_EQ(top.y, 0);
    EXPECT_DOUBLE_EQ(cocoaPointFromQuartz({5, 0}, primaryHeight).y, 900);
    EXPECT_DOUBLE_EQ(cocoaPointFromQuartz(quartzPointFromCocoa({7, 123}, primaryHeight), primaryHeight).y, 123);
}

TEST(CocoaAccessibility, UnknownErrorsAndValueTypesAreNeverSuccess) {
    EXPECT_EQ(axErrorFromNative(0), platform::kAXErrorSuccess);
    EXPECT_EQ(axErrorFromNative(-25204), platform::kAXErrorCannotComplete);
    EXPECT_EQ(axErrorFromNative(-25211), platform::kAXErrorAPIDisabled);
    EXPECT_EQ(axErrorFromNative(-25214), platform::kAXErrorNotEnoughPrecision);
    for (std::int32_t unknown : {1, -1, -25199, -25215, -1743, std::numeric_limits<std::int32_t>::min()}) {
        EXPECT_EQ(axErrorFromNative(unknown), platform::kAXErrorFailure) << unknown;
    }
    EXPECT_EQ(axValueTypeFromNative(1), platform::kAXValueCGPointType);
    EXPECT_EQ(axValueTypeFromNative(2), platform::kAXValueCGSizeType);
    EXPECT_EQ(axValueTypeFromNative(6), platform::kAXValueIllegalType);
    EXPECT_EQ(axValueTypeFromNative(0xFFFFFFFFu), platform::kAXValueIllegalType);
}

TEST(CocoaCapture, PixelSizeIsExactlyWhatWasAskedOrRefused) {
    // What the caller asks for is what it gets, whatever the screen's scale.
    const auto asked = capturePixelSize(320, 200);
    ASSERT_TRUE(asked);
    EXPECT_EQ(asked->width, 320);
    EXPECT_EQ(asked->height, 200);
    EXPECT_TRUE(capturePixelSize(kMaxCaptureSide, kMaxCaptureSide));
    // A side of no size, or a bitmap past the limit, is an invalid
    // configuration rather than a silently different picture.
    EXPECT_FALSE(capturePixelSize(0, 200));
    EXPECT_FALSE(capturePixelSize(320, -1));
    EXPECT_FALSE(capturePixelSize(kMaxCaptureSide + 1, kMaxCaptureSide));
    EXPECT_FALSE(capturePixelSize(1 << 30, 1 << 30));   // overflows int arithmetic

    // The image keeps the window's size in points, not its pixel size.
    EXPECT_DOUBLE_EQ(capturePointSize({640, 400}, {320, 200}).width, 320);
    EXPECT_DOUBLE_EQ(capturePointSize({640, 400}, {0, 0}).width, 640);
}

TEST(CocoaCapture, IconsTakeTheirPointsAtTheScreenScale) {
    // Rounded up so that no column of the picture is lost.
    const PixelSize icon = pixelSizeAtScale({100.5, 50}, 2);
    EXPECT_EQ(icon.width, 201);
    EXPECT_EQ(icon.height, 100);
    const PixelSize empty = pixelSizeAtScale({0, 0}, 2);
    EXPECT_EQ(empty.width, 1);
    EXPECT_EQ(empty.height, 1);
    EXPECT_EQ(pixelSizeAtScale({10, 10}, std::numeric_limits<double>::quiet_NaN()).width, 10);
    // A huge image keeps its shape under the cap.
    const PixelSize huge = pixelSizeAtScale({20000, 10000}, 2);
    EXPECT_EQ(huge.width, kMaxCaptureSide);
    EXPECT_EQ(huge.height, kMaxCaptureSide / 2);
}

TEST(CocoaImages, SizeIsCheckedBeforeDecoding) {
    EXPECT_TRUE(imagePixelSizeAcceptable(600.0, 600.0));
    EXPECT_TRUE(imagePixelSizeAcceptable(4096.0, 4096.0));
    EXPECT_FALSE(imagePixelSizeAcceptable(4097.0, 4096.0));
    EXPECT_FALSE(imagePixelSizeAcceptable(16385.0, 1.0));
    EXPECT_FALSE(imagePixelSizeAcceptable(0.0, 10.0));
    EXPECT_FALSE(imagePixelSizeAcceptable(std::nullopt, 10.0));
    EXPECT_FALSE(imagePixelSizeAcceptable(std::numeric_limits<double>::quiet_NaN(), 10.0));
}

TEST(CocoaDownloads, OnlyHttpsOnEveryHopWithinTheLimits) {
    const DownloadLimits limits;
    EXPECT_TRUE(downloadAllowed("https://example.org/art.jpg"));
    EXPECT_TRUE(downloadAllowed("HTTPS://example.org"));
    EXPECT_TRUE(downloadAllowed("https://user@example.org:8443/x"));
    for (const char* refused : {"http://example.org/a", "file:///etc/passwd", "https:///nohost", "https://",
                                "ftp://example.org", "https:example.org", "https://user@/x", " https://a.b"}) {
        EXPECT_FALSE(downloadAllowed(refused)) << refused;
    }
    // A redirect from https to plain http is refused, so is the hop past the limit.
    EXPECT_TRUE(redirectAllowed("https://cdn.example.org/a", 0, limits));
    EXPECT_FALSE(redirectAllowed("http://cdn.example.org/a", 0, limits));
    EXPECT_FALSE(redirectAllowed("file:///etc/passwd", 0, limits));
    EXPECT_TRUE(redirectAllowed("https://a.example/", limits.maxRedirects - 1, limits));
    EXPECT_FALSE(redirectAllowed("https://a.example/", limits.maxRedirects, limits));

    // A body announced too large stops before it arrives; an unannounced one
    // stops once it has grown too large.
    EXPECT_TRUE(overByteLimit(static_cast<std::int64_t>(limits.maxBytes) + 1, 0, limits));
    EXPECT_FALSE(overByteLimit(static_cast<std::int64_t>(limits.maxBytes), limits.maxBytes, limits));
    EXPECT_FALSE(overByteLimit(-1, 100, limits));
    EXPECT_TRUE(overByteLimit(-1, limits.maxBytes + 1, limits));

    EXPECT_FALSE(httpStatusError(200));
    EXPECT_FALSE(httpStatusError(204));
    EXPECT_TRUE(httpStatusError(304));
    EXPECT_TRUE(httpStatusError(404));
    EXPECT_TRUE(httpStatusError(500));
}

}  // namespace
