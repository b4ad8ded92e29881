#include "kit/Controls.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <utility>

namespace kit {

namespace {

// Steps are decimal (0.1 s); summing them in binary drifts, so values are
// kept to a millionth.
double tidy(double value) { return std::round(value * 1e6) / 1e6; }

}  // namespace

void Control::setTitle(std::string title) {
    title_ = std::move(title);
    setNeedsDisplay();
}

void Control::mouseDown(const MouseEvent& event) { down_ = convertFromRoot(event.locationInWindow); }

void Control::mouseUp(const MouseEvent& event) {
    const std::optional<Point> down = std::exchange(down_, std::nullopt);
    if (!down) return;
    const Point up = convertFromRoot(event.locationInWindow);
    // The action may rebuild the tree this control sits in.
    auto keepAlive = shared_from_this();
    clicked(*down, up);
}

// --- Switch ---------------------------------------------------------------------

void Switch::setOn(bool on) {
    on_ = on;
    setNeedsDisplay();
}

Rect Switch::switchRect() const {
    const Rect b = bounds();
    return {b.maxX() - kSwitchWidth, b.midY() - kSwitchHeight / 2, kSwitchWidth, kSwitchHeight};
}

void Switch::clicked(Point down, Point up) {
    const Rect knob = switchRect();
    if (!knob.cgContains(down) || !knob.cgContains(up)) return;
    if (auto action = action_) action(!on_);
}

// --- PushToggle --------------------------------------------------------------------

void PushToggle::setOn(bool on) {
    on_ = on;
    setNeedsDisplay();
}

void PushToggle::clicked(Point down, Point up) {
    if (!bounds().cgContains(down) || !bounds().cgContains(up)) return;
    if (auto action = action_) action(!on_);
}

// --- Stepper ---------------------------------------------------------------------------

void Stepper::setValue(double value) {
    value_ = value;
    setNeedsDisplay();
}

void Stepper::setRange(double minimum, double maximum, double step) {
    min_ = minimum;
    max_ = std::max(minimum, maximum);
    step_ = step > 0 ? step : 1;
}

Rect Stepper::upArrowRect() const {
    const Rect b = bounds();
    return {b.maxX() - kArrowsWidth, b.midY() - kArrowsHeight / 2, kArrowsWidth, kArrowsHeight / 2};
}

Rect Stepper::downArrowRect() const {
    const Rect up = upArrowRect();
    return up.offsetBy(0, up.height());
}

void Stepper::clicked(Point down, Point up) {
    double next;
    if (upArrowRect().cgContains(down) && upArrowRect().cgContains(up)) next = value_ + step_;
    else if (downArrowRect().cgContains(down) && downArrowRect().cgContains(up)) next = value_ - step_;
    else return;
    next = tidy(std::clamp(next, min_, max_));
    if (next == value_) return;
    if (auto action = action_) action(next);
}

// --- Slider -----------------------------------------------------------------------------

void Slider::setValue(double value) {
    value_ = value;
    setNeedsDisplay();
}

void Slider::setRange(double minimum, double maximum) {
    min_ = minimum;
    max_ = std::max(minimum, maximum);
}

Point Slider::pointForValue(double value) const {
    const double span = max_ - min_;
    const double t = span > 0 ? (std::clamp(value, min_, max_) - min_) / span : 0;
    return {trackStart() + t * (trackEnd() - trackStart()), bounds().midY()};
}

double Slider::valueAt(Point point) const {
    const double length = trackEnd() - trackStart();
    if (length <= 0) return min_;
    const double t = std::clamp((point.x - trackStart()) / length, 0.0, 1.0);
    return min_ + t * (max_ - min_);
}

void Slider::clicked(Point down, Point up) {
    if (!bounds().cgContains(down)) return;
    if (auto action = action_) action(valueAt(up));
}

// --- SegmentedControl --------------------------------------------------------------------

void SegmentedControl::setLabels(std::vector<std::string> labels) {
    labels_ = std::move(labels);
    widths_.clear();
    setNeedsDisplay();
}

void SegmentedControl::setSelected(std::optional<std::size_t> index) {
    selected_ = index;
    setNeedsDisplay();
}

void SegmentedControl::setSegmentWidths(std::vector<double> widths) {
    widths_ = std::move(widths);
    setNeedsDisplay();
}

Rect SegmentedControl::segmentRect(std::size_t index) const {
    const Rect b = bounds();
    if (index >= labels_.size()) return {};
    std::vector<double> weights = widths_;
    if (weights.size() != labels_.size()) weights.assign(labels_.size(), 1.0);
    const double total = std::accumulate(weights.begin(), weights.end(), 0.0);
    if (total <= 0) return {};
    double x = b.minX();
    for (std::size_t i = 0; i < index; ++i) x += b.width() * weights[i] / total;
    return {x, b.minY(), b.width() * weights[index] / total, b.height()};
}

void SegmentedControl::clicked(Point down, Point up) {
    for (std::size_t i = 0; i < labels_.size(); ++i) {
        const Rect segment = segmentRect(i);
        if (!segment.cgContains(down) || !segment.cgContains(up)) continue;
        if (auto action = action_) action(i);
        return;
    }
}

// --- ScrollView ---------------------------------------------------------------------------

ScrollView::ScrollView() {
    setWantsLayer(true);
    setMasksToBounds(true);
}

void ScrollView::setDocumentView(ViewRef view) {
    if (document_) document_->removeFromSuperview();
    document_ = std::move(view);
    if (document_) addSubview(document_);
}

double ScrollView::maximumOffset() const {
    if (!document_) return 0;
    return std::max(0.0, document_->frame().height() - bounds().height());
}

void ScrollView::scrollBy(double dy) {
    const double offset = std::clamp(contentOffset() + dy, 0.0, maximumOffset());
    setBoundsOrigin({bounds().minX(), offset});
    setNeedsDisplay();
}

}  // namespace kit
