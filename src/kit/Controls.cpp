#include "kit/Controls.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <utility>

#include "kit/TextMetrics.h"

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

void SegmentedControl::setImages(std::vector<ImageRef> images) {
    images_ = std::move(images);
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

// --- PopUpButton ------------------------------------------------------------------------

void PopUpButton::removeAllItems() {
    items_.clear();
    selectItemAtIndex(std::nullopt);
}

void PopUpButton::addItemsWithTitles(std::vector<std::string> titles) {
    for (auto& title : titles) items_.push_back(std::move(title));
    setNeedsDisplay();
}

void PopUpButton::selectItemAtIndex(std::optional<std::size_t> index) {
    selected_ = index && *index < items_.size() ? index : std::nullopt;
    setTitle(selected_ ? items_[*selected_] : std::string());
}

Rect PopUpButton::indicatorRect() const {
    const Rect b = bounds();
    return {b.maxX() - kIndicatorWidth - 3, b.midY() - kIndicatorWidth / 2, kIndicatorWidth, kIndicatorWidth};
}

std::shared_ptr<PopUpMenu> PopUpButton::menu() const {
    auto open = menu_.lock();
    return open && open->superview() ? open : nullptr;
}

void PopUpButton::mouseDown(const MouseEvent&) {
    if (items_.empty() || menu()) return;
    View* top = this;
    while (top->superview()) top = top->superview();
    const Rect area{top->bounds().minX(), top->bounds().minY(), top->bounds().width(), top->bounds().height()};
    // Where the button lies in the top view, whichever way the views between are flipped.
    const Point a = convertPointTo({0, 0}, top);
    const Point b = convertPointTo({bounds().width(), bounds().height()}, top);
    const Rect button{std::min(a.x, b.x), std::min(a.y, b.y), std::abs(b.x - a.x), std::abs(b.y - a.y)};
    double widest = 0;
    for (const auto& item : items_) widest = std::max(widest, textWidth(item, Font::systemFont(13)));
    const double width = std::max(button.width(), std::ceil(widest) + PopUpMenu::kLeadingInset + PopUpMenu::kTrailingInset);
    const double height = static_cast<double>(items_.size()) * PopUpMenu::kItemHeight + 2 * PopUpMenu::kVerticalPadding;
    // The selected item opens over the button, its title where the button's was.
    const double row = static_cast<double>(selected_.value_or(0));
    double x = button.minX() - (PopUpMenu::kLeadingInset - 8);
    double y = button.midY() - PopUpMenu::kVerticalPadding - (row + 0.5) * PopUpMenu::kItemHeight;
    // A menu never leaves the screen; here the window stands for it.
    x = std::clamp(x, area.minX(), std::max(area.minX(), area.maxX() - width));
    y = std::clamp(y, area.minY(), std::max(area.minY(), area.maxY() - height));
    auto opened = std::make_shared<PopUpMenu>(std::static_pointer_cast<PopUpButton>(shared_from_this()), items_,
                                              selected_, Rect{x, y, width, height}, area);
    menu_ = opened;
    top->addSubview(opened);
}

void PopUpButton::choose(std::size_t index) {
    if (index >= items_.size()) return;
    // The action may rebuild the tree this button sits in.
    auto keepAlive = shared_from_this();
    if (auto action = action_) action(index);
}

PopUpMenu::PopUpMenu(std::weak_ptr<PopUpButton> button, std::vector<std::string> items, std::optional<std::size_t> checked,
                     Rect menuRect, Rect area)
    : FlippedView(area), button_(std::move(button)), items_(std::move(items)), checked_(checked), menuRect_(menuRect) {}

Rect PopUpMenu::itemRect(std::size_t index) const {
    return {menuRect_.minX() + 5, menuRect_.minY() + kVerticalPadding + kItemHeight * static_cast<double>(index),
            menuRect_.width() - 10, kItemHeight};
}

std::optional<std::size_t> PopUpMenu::itemAt(Point point) const {
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (itemRect(i).cgContains(point)) return i;
    return std::nullopt;
}

void PopUpMenu::close() {
    auto keepAlive = shared_from_this();
    removeFromSuperview();
}

void PopUpMenu::mouseDown(const MouseEvent& event) { pressed_ = itemAt(convertFromRoot(event.locationInWindow)); }

void PopUpMenu::mouseUp(const MouseEvent& event) {
    const std::optional<std::size_t> pressed = std::exchange(pressed_, std::nullopt);
    const std::optional<std::size_t> released = itemAt(convertFromRoot(event.locationInWindow));
    auto keepAlive = shared_from_this();
    close();
    if (pressed && pressed == released)
        if (auto button = button_.lock()) button->choose(*released);
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

double ScrollView::contentHeight() const { return document_ ? document_->frame().height() : 0; }

std::optional<Rect> ScrollView::scrollerKnobRect() const {
    const double max = maximumOffset();
    if (!indicator_ || max <= 0) return std::nullopt;
    const Rect b = bounds();
    const double length = std::max(24.0, b.height() * b.height() / contentHeight());
    const double top = b.minY() + (b.height() - length) * contentOffset() / max;
    return Rect{b.maxX() - 9, top + 2, 6, length - 4};
}

void ScrollView::scrollBy(double dy) {
    const double offset = std::clamp(contentOffset() + dy, 0.0, maximumOffset());
    setBoundsOrigin({bounds().minX(), offset});
    setNeedsDisplay();
}

}  // namespace kit
