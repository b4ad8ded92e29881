#include "render/Blur.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "kit/Saturate.h"
#include "render/Cairo.h"

namespace render {

namespace {

// One running-sum pass over a line of `count` pixels `step` apart.
void blurLine(std::uint32_t* line, int count, int step, int radius, std::vector<std::uint32_t>& scratch) {
    scratch.resize(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) scratch[static_cast<std::size_t>(i)] = line[static_cast<std::ptrdiff_t>(i) * step];
    auto at = [&](int i) { return scratch[static_cast<std::size_t>(std::clamp(i, 0, count - 1))]; };

    const std::uint32_t window = static_cast<std::uint32_t>(2 * radius + 1);
    std::uint32_t sum[4] = {0, 0, 0, 0};
    for (int i = -radius; i <= radius; ++i) {
        const std::uint32_t p = at(i);
        for (int c = 0; c < 4; ++c) sum[c] += (p >> (8 * c)) & 0xff;
    }
    for (int i = 0; i < count; ++i) {
        std::uint32_t out = 0;
        for (int c = 0; c < 4; ++c) out |= ((sum[c] + window / 2) / window) << (8 * c);
        line[static_cast<std::ptrdiff_t>(i) * step] = out;
        const std::uint32_t leaving = at(i - radius);
        const std::uint32_t entering = at(i + radius + 1);
        for (int c = 0; c < 4; ++c) sum[c] += ((entering >> (8 * c)) & 0xff) - ((leaving >> (8 * c)) & 0xff);
    }
}

}  // namespace

void boxBlur(std::uint32_t* pixels, int width, int height, int strideInPixels, int radius, int passes) {
    if (!pixels || width <= 0 || height <= 0 || radius <= 0) return;
    std::vector<std::uint32_t> scratch;
    for (int pass = 0; pass < passes; ++pass) {
        for (int y = 0; y < height; ++y)
            blurLine(pixels + static_cast<std::ptrdiff_t>(y) * strideInPixels, width, 1, radius, scratch);
        for (int x = 0; x < width; ++x) blurLine(pixels + x, height, strideInPixels, radius, scratch);
    }
}

namespace {

// Averages `factor` x `factor` blocks of the target's region into `small`
// (blocks cut by the region's edge average what they hold).
void downsample(const unsigned char* from, int fromStride, int x0, int y0, int width, int height, int factor,
                std::uint32_t* small, int smallWidth, int smallHeight) {
    for (int sy = 0; sy < smallHeight; ++sy) {
        const int top = sy * factor;
        const int bottom = std::min(height, top + factor);
        for (int sx = 0; sx < smallWidth; ++sx) {
            const int left = sx * factor;
            const int right = std::min(width, left + factor);
            std::uint32_t sum[4] = {0, 0, 0, 0};
            for (int y = top; y < bottom; ++y) {
                const auto* row = reinterpret_cast<const std::uint32_t*>(from + static_cast<std::ptrdiff_t>(y0 + y) * fromStride);
                for (int x = left; x < right; ++x) {
                    const std::uint32_t p = row[x0 + x];
                    for (int c = 0; c < 4; ++c) sum[c] += (p >> (8 * c)) & 0xff;
                }
            }
            const std::uint32_t count = static_cast<std::uint32_t>((bottom - top) * (right - left));
            std::uint32_t out = 0;
            for (int c = 0; c < 4; ++c) out |= ((sum[c] + count / 2) / count) << (8 * c);
            small[static_cast<std::ptrdiff_t>(sy) * smallWidth + sx] = out;
        }
    }
}

}  // namespace

void paintBlurredBackdrop(cairo_t* cr, const kit::Rect& rect, double cornerRadius, double blurRadiusPoints) {
    // Three box passes come close to a Gaussian.
    constexpr int passes = 3;
    cairo_surface_t* target = cairo_get_target(cr);
    if (rect.isEmpty() || cairo_surface_get_type(target) != CAIRO_SURFACE_TYPE_IMAGE ||
        cairo_image_surface_get_format(target) != CAIRO_FORMAT_ARGB32)
        return;

    double xs[4] = {rect.minX(), rect.maxX(), rect.minX(), rect.maxX()};
    double ys[4] = {rect.minY(), rect.minY(), rect.maxY(), rect.maxY()};
    for (int i = 0; i < 4; ++i) cairo_user_to_device(cr, &xs[i], &ys[i]);
    cairo_matrix_t m;
    cairo_get_matrix(cr, &m);
    const double pixelsPerPoint = std::sqrt(std::fabs(m.xx * m.yy - m.xy * m.yx));
    const int width = cairo_image_surface_get_width(target);
    const int height = cairo_image_surface_get_height(target);
    // However the user space is scaled, the radius stays where the block
    // sums below fit their 32 bits (a block is a third of the radius wide).
    constexpr int maxRadius = 1024;
    const int radius =
        std::clamp(kit::saturatingCast<int>(std::round(blurRadiusPoints * pixelsPerPoint)), 1, maxRadius);
    // Read beyond the rect by the blur's reach, so its edges blend real
    // neighbours. The rect may lie far outside the picture: clamp in doubles.
    const double margin = static_cast<double>(radius) * passes;
    auto pixel = [](double v, int limit) { return kit::saturatingCast<int>(std::clamp(v, 0.0, static_cast<double>(limit))); };
    const int x0 = pixel(std::floor(*std::min_element(xs, xs + 4)) - margin, width);
    const int y0 = pixel(std::floor(*std::min_element(ys, ys + 4)) - margin, height);
    const int x1 = pixel(std::ceil(*std::max_element(xs, xs + 4)) + margin, width);
    const int y1 = pixel(std::ceil(*std::max_element(ys, ys + 4)) + margin, height);
    if (x1 <= x0 || y1 <= y0) return;

    // A wide blur leaves no detail finer than a third of its radius, so it
    // runs on a copy that much smaller and is scaled back up bilinearly: the
    // same look at a ninth of the work or less.
    const int factor = std::max(1, radius / 3);
    const int smallRadius = std::max(1, kit::saturatingCast<int>(std::round(static_cast<double>(radius) / factor)));
    const int smallWidth = (x1 - x0 + factor - 1) / factor;
    const int smallHeight = (y1 - y0 + factor - 1) / factor;

    cairo_surface_flush(target);
    const unsigned char* from = cairo_image_surface_get_data(target);
    SurfacePtr backdrop(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, smallWidth, smallHeight));
    unsigned char* to = cairo_image_surface_get_data(backdrop.get());
    const int toStride = cairo_image_surface_get_stride(backdrop.get());
    if (!from || !to) return;
    std::vector<std::uint32_t> small(static_cast<std::size_t>(smallWidth) * static_cast<std::size_t>(smallHeight));
    downsample(from, cairo_image_surface_get_stride(target), x0, y0, x1 - x0, y1 - y0, factor, small.data(), smallWidth,
               smallHeight);
    boxBlur(small.data(), smallWidth, smallHeight, smallWidth, smallRadius, passes);
    for (int y = 0; y < smallHeight; ++y)
        std::memcpy(to + static_cast<std::ptrdiff_t>(y) * toStride, small.data() + static_cast<std::ptrdiff_t>(y) * smallWidth,
                    static_cast<std::size_t>(smallWidth) * 4);
    cairo_surface_mark_dirty(backdrop.get());

    cairo_save(cr);
    roundedRectPath(cr, rect, cornerRadius);
    cairo_clip(cr);
    // Device space: the copy goes back exactly where it was read.
    cairo_identity_matrix(cr);
    cairo_translate(cr, x0, y0);
    cairo_scale(cr, factor, factor);
    cairo_set_source_surface(cr, backdrop.get(), 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_BILINEAR);
    cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
    cairo_paint(cr);
    cairo_restore(cr);
}

}  // namespace render
