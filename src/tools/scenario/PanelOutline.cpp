#include "tools/scenario/PanelOutline.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "render/Renderer.h"
#include "tools/scenario/Json.h"

namespace scenario {

namespace {

constexpr double kScale = 4;    // pixels per point of the painted strip
constexpr double kStrip = 24;   // points along the lower edge that are painted

double halfPoints(double v) { return std::round(v * 2) / 2; }

// y ≈ a + b·x by least squares.
struct Line {
    double a = 0;
    double b = 0;
    double at(double x) const { return a + b * x; }
};
Line fit(const std::vector<double>& xs, const std::vector<double>& ys) {
    const double n = static_cast<double>(xs.size());
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (std::size_t i = 0; i < xs.size(); ++i) {
        sx += xs[i];
        sy += ys[i];
        sxx += xs[i] * xs[i];
        sxy += xs[i] * ys[i];
    }
    const double d = n * sxx - sx * sx;
    if (d == 0) return {sy / n, 0};
    const double b = (n * sxy - sx * sy) / d;
    return {(sy - b * sx) / n, b};
}

}  // namespace

std::optional<DrawnPointer> drawnPointer(const sim::OwnWindowInfo& window) {
    const kit::Rect frame = window.frame;
    if (!window.contentView || frame.isEmpty()) return std::nullopt;
    const double strip = std::min(kStrip, frame.height());
    const render::Frame picture =
        render::paintViewRegion(*window.contentView, {0, 0, frame.width(), strip}, kScale, window.appearance);
    if (picture.width <= 0 || picture.height <= 0) return std::nullopt;

    // 1. The covered span of each row: pixels at least half as opaque as the
    // most opaque one (the material is translucent, its edges smoothed).
    std::uint32_t strongest = 0;
    for (std::uint32_t p : picture.pixels) strongest = std::max(strongest, p >> 24);
    if (strongest == 0) return std::nullopt;
    const std::uint32_t threshold = (strongest + 1) / 2;
    std::vector<int> left(static_cast<std::size_t>(picture.height), -1), right(left);
    int widest = 0;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            if ((picture.at(x, y) >> 24) < threshold) continue;
            if (left[y] < 0) left[y] = x;
            right[y] = x + 1;
        }
        widest = std::max(widest, right[y] - left[y]);
    }

    // 2. From the lowest covered row up, the rows much narrower than the
    // body hang below it; a body must sit right on top of them.
    int bottom = picture.height - 1;
    while (bottom >= 0 && left[bottom] < 0) --bottom;
    auto narrow = [&](int y) { return left[y] >= 0 && 2 * (right[y] - left[y]) < widest; };
    int top = bottom;
    while (top > 0 && narrow(top - 1)) --top;
    if (bottom < 0 || !narrow(bottom) || top == 0 || bottom - top < 1 || left[top - 1] < 0) return std::nullopt;

    // 3. Its two sides as lines over the rows (the smoothed tip row says
    // little), met where the width runs out.
    std::vector<double> ys, lefts, rights;
    for (int y = top; y <= bottom; ++y) {
        if (right[y] - left[y] < 3 && bottom - top > 2) continue;
        ys.push_back(y + 0.5);
        lefts.push_back(left[y]);
        rights.push_back(right[y]);
    }
    if (ys.size() < 2) return std::nullopt;
    const Line l = fit(ys, lefts), r = fit(ys, rights);
    const double narrowing = r.b - l.b;
    if (narrowing >= 0) return std::nullopt;   // widens downwards: not a pointer
    const double tipRow = (l.a - r.a) / narrowing;
    const double baseRow = top;

    const double originY = frame.minY() + frame.height() - strip;
    DrawnPointer pointer;
    pointer.tip = {halfPoints(frame.minX() + (l.at(tipRow) + r.at(tipRow)) / 2 / kScale),
                   halfPoints(originY + tipRow / kScale)};
    pointer.width = halfPoints((r.at(baseRow) - l.at(baseRow)) / kScale);
    pointer.height = halfPoints((tipRow - baseRow) / kScale);
    pointer.baseY = halfPoints(originY + baseRow / kScale);
    return pointer;
}

kit::Rect bodyFrame(const sim::OwnWindowInfo& window, const std::optional<DrawnPointer>& pointer) {
    kit::Rect frame = window.frame;
    if (pointer) frame.size.height = std::max(0.0, pointer->baseY - frame.minY());
    return frame;
}

std::string pointerJson(const std::optional<DrawnPointer>& pointer, bool visible) {
    if (!pointer || !visible) return json::null();
    return json::Object()
        .add("tip", json::point(pointer->tip))
        .add("width", json::number(pointer->width))
        .add("height", json::number(pointer->height))
        .str();
}

}  // namespace scenario
