#include "kit/Declarative.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "kit/Controls.h"
#include "kit/ImageView.h"
#include "kit/TextMetrics.h"

namespace kit::ui {

namespace {

enum class Axis { Vertical, Horizontal };

// Labels draw their text this far in from either side, as NSTextField's cell does.
constexpr double kLabelInset = 2;
// A pop-up button's title starts this far in; the chevrons keep this gap after it.
constexpr double kPopUpTitleInset = 8;
constexpr double kPopUpIndicatorGap = 8;

Node leaf(Kind kind) {
    Node node;
    node.kind = kind;
    return node;
}

Node wrap(Kind kind, const Node& child) {
    Node node = leaf(kind);
    node.children.push_back(child);
    return node;
}

// Separators and the grouped boxes of forms: the label colour, faint, reads
// right on light and dark backgrounds alike.
Color separatorColor() { return Color::named(Color::Semantic::Label, 0.12); }
Color groupBoxColor() { return Color::named(Color::Semantic::Label, 0.04); }
Color secondaryText() { return Color::secondaryLabel(); }

bool flexibleWidth(const Node& node);
bool flexibleHeight(const Node& node);

bool anyChild(const Node& node, bool (*test)(const Node&)) {
    return std::any_of(node.children.begin(), node.children.end(), test);
}

// A spacer stretches only along the stack it is in: an HStack with one is
// as wide as it is offered, not as tall.
bool anyChildAcross(const Node& node, bool (*test)(const Node&)) {
    return std::any_of(node.children.begin(), node.children.end(),
                       [test](const Node& child) { return child.kind != Kind::Spacer && test(child); });
}

bool flexibleWidth(const Node& node) {
    switch (node.kind) {
        case Kind::Spacer:
        case Kind::Divider:
        case Kind::Switch:
        case Kind::Slider:
        case Kind::TabView:
        case Kind::Scroll: return true;
        case Kind::Button:
        case Kind::Stepper: return node.fullWidth;
        case Kind::Frame: return node.maxWidth || (!node.width && flexibleWidth(node.children.front()));
        case Kind::HStack: return anyChild(node, flexibleWidth);
        case Kind::VStack:
        case Kind::Section: return anyChildAcross(node, flexibleWidth);
        case Kind::Padding:
        case Kind::Background: return flexibleWidth(node.children.front());
        default: return false;
    }
}

bool flexibleHeight(const Node& node) {
    switch (node.kind) {
        case Kind::Spacer:
        case Kind::TabView:
        case Kind::Scroll: return true;
        case Kind::Frame: return node.maxHeight || (!node.height && flexibleHeight(node.children.front()));
        case Kind::VStack:
        case Kind::Section: return anyChild(node, flexibleHeight);
        case Kind::HStack: return anyChildAcross(node, flexibleHeight);
        case Kind::Padding:
        case Kind::Background: return flexibleHeight(node.children.front());
        default: return false;
    }
}

Size measure(const Node& node, Proposal p, Axis axis);

double titleWidth(const std::string& text, double size) { return textWidth(text, Font::systemFont(size)); }

double segmentWidth(const std::string& label) { return titleWidth(label, 13) + 20; }

// A tab's segment: its symbol, a gap, then its title.
constexpr double kTabSymbolSize = 14;
double tabWidth(const std::string& label, bool symbol) { return segmentWidth(label) + 8 + (symbol ? kTabSymbolSize + 4 : 0); }

// What a stack gives each child along its axis: fixed children their
// ideal first, then the rest shared out in order of flexibility.
std::vector<Size> stackSizes(const Node& node, Proposal p, Axis axis) {
    const std::size_t n = node.children.size();
    std::vector<Size> sizes(n);
    if (n == 0) return sizes;
    const bool vertical = axis == Axis::Vertical;
    const std::optional<double> along = vertical ? p.height : p.width;
    const std::optional<double> across = vertical ? p.width : p.height;
    const double gaps = node.spacing * static_cast<double>(n - 1);

    auto propose = [&](const Node& child, std::optional<double> length) {
        Proposal q;
        if (vertical) {
            q.width = across;
            q.height = length;
        } else {
            q.width = length;
            q.height = across;
        }
        return measure(child, q, axis);
    };
    auto lengthOf = [&](Size s) { return vertical ? s.height : s.width; };
    auto flexible = [&](const Node& child) { return vertical ? flexibleHeight(child) : flexibleWidth(child); };

    if (!along) {
        for (std::size_t i = 0; i < n; ++i) sizes[i] = propose(node.children[i], std::nullopt);
        return sizes;
    }
    // Least flexible first: fixed children by their ideal length, flexible
    // ones after them; spacers take only what is left at the end.
    std::vector<std::size_t> order;
    std::vector<double> ideal(n);
    std::size_t spacers = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (node.children[i].kind == Kind::Spacer) {
            ++spacers;
            continue;
        }
        order.push_back(i);
        ideal[i] = flexible(node.children[i]) ? kInfinity : lengthOf(propose(node.children[i], std::nullopt));
    }
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return ideal[a] < ideal[b]; });
    double remaining = std::max(0.0, *along - gaps);
    std::size_t left = order.size();
    for (std::size_t i : order) {
        const double share = remaining / static_cast<double>(left);
        sizes[i] = propose(node.children[i], share);
        remaining = std::max(0.0, remaining - lengthOf(sizes[i]));
        --left;
    }
    for (std::size_t i = 0; i < n && spacers; ++i)
        if (node.children[i].kind == Kind::Spacer)
            sizes[i] = propose(node.children[i], remaining / static_cast<double>(spacers));
    return sizes;
}

Size stackSize(const Node& node, Proposal p, Axis axis, const std::vector<Size>& sizes) {
    const bool vertical = axis == Axis::Vertical;
    double along = node.spacing * static_cast<double>(sizes.empty() ? 0 : sizes.size() - 1);
    double across = 0;
    for (const Size& s : sizes) {
        along += vertical ? s.height : s.width;
        across = std::max(across, vertical ? s.width : s.height);
    }
    const std::optional<double> proposedAlong = vertical ? p.height : p.width;
    const std::optional<double> proposedAcross = vertical ? p.width : p.height;
    const bool flexAlong = vertical ? flexibleHeight(node) : flexibleWidth(node);
    const bool flexAcross = vertical ? flexibleWidth(node) : flexibleHeight(node);
    if (flexAlong && proposedAlong) along = std::max(along, *proposedAlong);
    if (flexAcross && proposedAcross) across = std::max(across, *proposedAcross);
    return vertical ? Size{across, along} : Size{along, across};
}

Size measure(const Node& node, Proposal p, Axis axis) {
    switch (node.kind) {
        case Kind::VStack:
        case Kind::Section: return stackSize(node, p, Axis::Vertical, stackSizes(node, p, Axis::Vertical));
        case Kind::HStack: return stackSize(node, p, Axis::Horizontal, stackSizes(node, p, Axis::Horizontal));
        case Kind::Spacer:
            return axis == Axis::Vertical ? Size{0, p.height.value_or(0)} : Size{p.width.value_or(0), 0};
        case Kind::Divider:
            return axis == Axis::Vertical ? Size{p.width.value_or(0), 1} : Size{1, p.height.value_or(0)};
        case Kind::Text: {
            // A label keeps its text kLabelInset from either side.
            const double natural = std::ceil(textWidth(node.text, node.font)) + 2 * kLabelInset;
            if (p.width && natural > *p.width) {
                const auto lines = wrapText(node.text, node.font, std::max(0.0, *p.width - 2 * kLabelInset));
                double widest = 0;
                for (const auto& line : lines) widest = std::max(widest, std::ceil(textWidth(line, node.font)));
                return {std::min(widest + 2 * kLabelInset, *p.width),
                        lineHeight(node.font) * static_cast<double>(lines.size())};
            }
            return {natural, lineHeight(node.font)};
        }
        case Kind::Image: return node.imageSize;
        case Kind::Switch: {
            const double ideal = titleWidth(node.text, 13) + 12 + Switch::kSwitchWidth;
            return {p.width ? *p.width : ideal, Metrics::kControlHeight};
        }
        case Kind::PushToggle: return {std::max(28.0, titleWidth(node.text, 13) + 16), Metrics::kControlHeight};
        case Kind::Button: {
            const double size = node.small ? 11 : 13;
            double ideal = titleWidth(node.text, size) + (node.buttonStyle == ButtonStyle::Plain ? 0 : 20);
            if (node.image) ideal += node.imageSize.width + 8;
            double height = node.small ? Metrics::kSmallControlHeight : Metrics::kControlHeight;
            if (node.buttonStyle == ButtonStyle::Plain) height = lineHeight(Font::systemFont(size));
            return {node.fullWidth && p.width ? *p.width : ideal, height};
        }
        case Kind::Link: return {std::ceil(textWidth(node.text, node.font)), lineHeight(node.font)};
        case Kind::Stepper: {
            const std::string label = node.format ? node.format(node.getNumber ? node.getNumber() : 0) : "";
            const double ideal = titleWidth(label, 13) + 8 + Stepper::kArrowsWidth;
            return {node.fullWidth && p.width ? std::max(*p.width, ideal) : ideal, Metrics::kControlHeight};
        }
        case Kind::Slider: return {p.width.value_or(160), Metrics::kControlHeight};
        case Kind::Picker: {
            double widest = 0;
            for (const auto& option : node.options) widest = std::max(widest, titleWidth(option, 13));
            return {std::ceil(widest) + kPopUpTitleInset + kPopUpIndicatorGap + PopUpButton::kIndicatorWidth + 3,
                    Metrics::kControlHeight};
        }
        case Kind::TabView: return {p.width.value_or(400), p.height.value_or(300)};
        case Kind::Scroll: {
            const Size content = measure(node.children.front(), {p.width, std::nullopt}, Axis::Vertical);
            return {p.width.value_or(content.width), p.height.value_or(content.height)};
        }
        case Kind::Padding: {
            const Insets& in = node.insets;
            Proposal inner;
            if (p.width) inner.width = std::max(0.0, *p.width - in.leading - in.trailing);
            if (p.height) inner.height = std::max(0.0, *p.height - in.top - in.bottom);
            const Size s = measure(node.children.front(), inner, axis);
            return {s.width + in.leading + in.trailing, s.height + in.top + in.bottom};
        }
        case Kind::Frame: {
            Proposal inner = p;
            if (node.width) inner.width = *node.width;
            if (node.height) inner.height = *node.height;
            const Size child = measure(node.children.front(), inner, axis);
            Size s = child;
            if (node.width) s.width = *node.width;
            else if (node.maxWidth && p.width) s.width = std::max(child.width, *p.width);
            if (node.height) s.height = *node.height;
            else if (node.maxHeight && p.height) s.height = std::max(child.height, *p.height);
            return s;
        }
        case Kind::Background: return measure(node.children.front(), p, axis);
    }
    return {};
}

// --- placing: value tree to retained views -------------------------------------------------

// The leaf views of a subtree (texts, controls, images), as spans of y in `root`.
void leafSpans(const View& view, const View& root, std::vector<std::pair<double, double>>& out) {
    for (const ViewRef& child : view.subviews()) {
        if (child->isHidden()) continue;
        if (child->subviews().empty() || dynamic_cast<const Control*>(child.get())) {
            const double a = child->convertPointTo({0, 0}, &root).y;
            const double b = child->convertPointTo({0, child->bounds().height()}, &root).y;
            out.push_back({std::min(a, b), std::max(a, b)});
        } else {
            leafSpans(*child, root, out);
        }
    }
}

// The height a scrolling document of `content` points is best shown at: the
// tallest at most `limit`, and at most a row's height shorter, whose bottom
// edge at the start and top edge at the end cross no text or control; at
// least the bottom edge when both cannot be had; `limit` when neither can.
double cleanCut(const View& document, double content, double limit) {
    constexpr double kMostTrimmed = 48;
    std::vector<std::pair<double, double>> spans;
    leafSpans(document, document, spans);
    auto clean = [&](double y) {
        return std::none_of(spans.begin(), spans.end(), [y](const auto& s) { return s.first < y && y < s.second; });
    };
    const double top = std::floor(limit);
    for (double h = top; h >= top - kMostTrimmed && h > 0; h -= 1)
        if (clean(h) && clean(content - h)) return h;
    for (double h = top; h >= top - kMostTrimmed && h > 0; h -= 1)
        if (clean(h)) return h;
    return limit;
}

class Builder {
public:
    explicit Builder(std::weak_ptr<HostingView> host) : host_(std::move(host)) {}

    void place(const Node& node, Rect frame, View& parent, Axis axis);

private:
    // Runs a control's change, then shows the state it left behind.
    template <typename T>
    std::function<void(T)> thenRebuild(std::function<void(T)> set) {
        return [set = std::move(set), host = host_](T value) {
            if (set) set(value);
            if (auto h = host.lock()) h->rebuild();
        };
    }

    ViewRef container(Rect frame, View& parent, const std::string& identifier = {}) {
        auto view = std::make_shared<FlippedView>(frame);
        view->setIdentifier(identifier);
        parent.addSubview(view);
        return view;
    }

    void placeStack(const Node& node, Rect frame, View& parent, Axis axis);

    std::weak_ptr<HostingView> host_;
};

// A row is known by its first text: "press ROW Text" and the queries find it so.
std::string rowLabel(const Node& node) {
    for (const Node& child : node.children)
        if (child.kind == Kind::Text) return child.text;
    return {};
}

void Builder::placeStack(const Node& node, Rect frame, View& parent, Axis axis) {
    const std::string identifier = node.kind == Kind::Section ? node.text : rowLabel(node);
    ViewRef box = container(frame, parent, identifier);
    const bool vertical = axis == Axis::Vertical;
    Proposal p{frame.width(), frame.height()};
    std::vector<Size> sizes = stackSizes(node, p, axis);
    // Spacers take what the others leave.
    double used = node.spacing * static_cast<double>(sizes.empty() ? 0 : sizes.size() - 1);
    std::size_t spacers = 0;
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        if (node.children[i].kind == Kind::Spacer) ++spacers;
        else used += vertical ? sizes[i].height : sizes[i].width;
    }
    const double room = vertical ? frame.height() : frame.width();
    const double spacerLength = spacers ? std::max(0.0, room - used) / static_cast<double>(spacers) : 0;
    double offset = 0;
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        const Node& child = node.children[i];
        Size s = sizes[i];
        if (child.kind == Kind::Spacer) (vertical ? s.height : s.width) = spacerLength;
        Rect r;
        if (vertical) {
            const double w = std::min(s.width, frame.width());
            double x = 0;
            if (node.hAlign == HAlign::Center) x = (frame.width() - w) / 2;
            else if (node.hAlign == HAlign::Trailing) x = frame.width() - w;
            r = {x, offset, w, s.height};
            offset += s.height + node.spacing;
        } else {
            const double h = std::min(s.height, frame.height());
            double y = 0;
            if (node.vAlign == VAlign::Center) y = (frame.height() - h) / 2;
            else if (node.vAlign == VAlign::Bottom) y = frame.height() - h;
            r = {offset, y, s.width, h};
            offset += s.width + node.spacing;
        }
        place(child, r, *box, axis == Axis::Vertical ? Axis::Vertical : Axis::Horizontal);
    }
}

void Builder::place(const Node& node, Rect frame, View& parent, Axis axis) {
    switch (node.kind) {
        case Kind::VStack:
        case Kind::Section: placeStack(node, frame, parent, Axis::Vertical); return;
        case Kind::HStack: placeStack(node, frame, parent, Axis::Horizontal); return;
        case Kind::Spacer: return;
        case Kind::Divider: {
            auto line = std::make_shared<View>(axis == Axis::Vertical ? Rect{frame.minX(), frame.minY(), frame.width(), 1}
                                                                      : Rect{frame.minX(), frame.minY(), 1, frame.height()});
            line->setWantsLayer(true);
            line->setBackgroundColor(separatorColor());
            parent.addSubview(line);
            return;
        }
        case Kind::Text: {
            const double room = std::max(0.0, frame.width() - 2 * kLabelInset);
            const std::vector<std::string> lines = std::ceil(textWidth(node.text, node.font)) > room + 0.5
                                                       ? wrapText(node.text, node.font, room + 0.5)
                                                       : std::vector<std::string>{node.text};
            const double line = lineHeight(node.font);
            View* target = &parent;
            ViewRef group;
            Rect first = frame;
            if (lines.size() > 1) {
                group = container(frame, parent);
                target = group.get();
                first = {0, 0, frame.width(), frame.height()};
            }
            for (std::size_t i = 0; i < lines.size(); ++i) {
                auto label = std::make_shared<Label>(lines[i], Rect{first.minX(), first.minY() + line * static_cast<double>(i),
                                                                    first.width(), line});
                label->setFont(node.font);
                label->setTextColor(node.color);
                label->setAlignment(node.textAlignment);
                label->setLineBreakMode(LineBreakMode::ByTruncatingTail);
                target->addSubview(label);
            }
            return;
        }
        case Kind::Image: {
            auto view = std::make_shared<ImageView>(node.image, frame);
            view->setImageScaling(ImageScaling::ProportionallyUpOrDown);
            view->setContentTintColor(node.tint);
            parent.addSubview(view);
            return;
        }
        case Kind::Switch: {
            auto view = std::make_shared<Switch>(frame);
            view->setTitle(node.text);
            view->setOn(node.getBool && node.getBool());
            view->setAction(thenRebuild<bool>(node.setBool));
            parent.addSubview(view);
            return;
        }
        case Kind::PushToggle: {
            auto view = std::make_shared<kit::PushToggle>(frame);
            view->setTitle(node.text);
            view->setOn(node.getBool && node.getBool());
            view->setAction(thenRebuild<bool>(node.setBool));
            parent.addSubview(view);
            return;
        }
        case Kind::Button:
        case Kind::Link: {
            std::shared_ptr<kit::Button> view;
            if (node.kind == Kind::Link) {
                auto link = std::make_shared<kit::Link>(frame);
                link->setURL(node.url);
                view = link;
            } else {
                view = std::make_shared<kit::Button>(frame);
            }
            view->setTitle(node.text);
            view->setImage(node.image);
            view->setFontSize(node.kind == Kind::Link ? node.font.pointSize : (node.small ? 11 : 13));
            view->setBordered(node.kind == Kind::Button && node.buttonStyle != ButtonStyle::Plain);
            if (node.buttonStyle == ButtonStyle::Prominent) view->setBezelColor(Color::accent());
            view->setKeyEquivalent(node.keyEquivalent);
            std::function<void()> action = node.action;
            view->setAction([action, host = host_] {
                if (action) action();
                if (auto h = host.lock()) h->rebuild();
            });
            parent.addSubview(view);
            return;
        }
        case Kind::Stepper: {
            auto view = std::make_shared<kit::Stepper>(frame);
            const double value = node.getNumber ? node.getNumber() : 0;
            view->setRange(node.minimum, node.maximum, node.step);
            view->setValue(value);
            view->setTitle(node.format ? node.format(value) : std::string());
            view->setIdentifier(node.text);
            view->setAction(thenRebuild<double>(node.setNumber));
            parent.addSubview(view);
            return;
        }
        case Kind::Slider: {
            auto view = std::make_shared<kit::Slider>(frame);
            view->setTitle(node.text);
            view->setRange(node.minimum, node.maximum);
            view->setValue(node.getNumber ? node.getNumber() : 0);
            view->setAction(thenRebuild<double>(node.setNumber));
            parent.addSubview(view);
            return;
        }
        case Kind::Picker: {
            // A pop-up button as tall as a control, centred in its row.
            const double height = std::min(frame.height(), Metrics::kControlHeight);
            auto view = std::make_shared<PopUpButton>(
                Rect{frame.minX(), frame.minY() + (frame.height() - height) / 2, frame.width(), height});
            view->setIdentifier(node.text);
            view->addItemsWithTitles(node.options);
            const double value = node.getNumber ? node.getNumber() : -1;
            if (value >= 0 && value < static_cast<double>(node.options.size()))
                view->selectItemAtIndex(static_cast<std::size_t>(value));
            auto set = thenRebuild<double>(node.setNumber);
            view->setAction([set](std::size_t index) { set(static_cast<double>(index)); });
            parent.addSubview(view);
            return;
        }
        case Kind::TabView: {
            ViewRef box = container(frame, parent);
            double barWidth = 0;
            std::vector<double> widths;
            std::vector<ImageRef> symbols = node.images;
            symbols.resize(node.options.size());
            for (std::size_t i = 0; i < node.options.size(); ++i) {
                widths.push_back(tabWidth(node.options[i], symbols[i] != nullptr));
                barWidth += widths.back();
            }
            barWidth = std::min(barWidth, frame.width());
            auto bar = std::make_shared<SegmentedControl>(
                Rect{(frame.width() - barWidth) / 2, 0, barWidth, Metrics::kTabBarHeight});
            bar->setTabBar(true);
            bar->setLabels(node.options);
            bar->setSegmentWidths(widths);
            bar->setImages(std::move(symbols));
            const double value = node.getNumber ? node.getNumber() : 0;
            const std::size_t selected = value >= 0 && value < static_cast<double>(node.children.size())
                                             ? static_cast<std::size_t>(value)
                                             : 0;
            // The content sits in a grouped box under the bar, the bar riding on its top edge.
            const double top = Metrics::kTabBarHeight / 2;
            auto content = std::make_shared<FlippedView>(Rect{0, top, frame.width(), std::max(0.0, frame.height() - top)});
            content->setWantsLayer(true);
            content->setBackgroundColor(groupBoxColor());
            content->setCornerRadius(6);
            content->setBorderWidth(0.5);
            content->setBorderColor(separatorColor());
            box->addSubview(content);
            if (!node.children.empty()) {
                // The tab's area starts below the bar and ends at the box's
                // bottom: what is taller scrolls inside it, never under the bar.
                const double inset = Metrics::kTabBarHeight / 2 + Metrics::kTabContentGap;
                const Rect area{0, inset, frame.width(), std::max(0.0, content->frame().height() - inset - 1)};
                // Each tab keeps its scroll position apart from the others'.
                content->setIdentifier(node.options[selected < node.options.size() ? selected : 0]);
                auto clip = std::make_shared<FlippedView>(area);
                clip->setWantsLayer(true);
                clip->setMasksToBounds(true);
                clip->setIdentifier(kTabContentIdentifier);
                content->addSubview(clip);
                place(node.children[selected], {0, 0, area.width(), area.height()}, *clip, Axis::Vertical);
            }
            bar->setSelected(selected);
            auto set = thenRebuild<double>(node.setNumber);
            bar->setAction([set](std::size_t index) { set(static_cast<double>(index)); });
            box->addSubview(bar);
            return;
        }
        case Kind::Scroll: {
            auto scroll = std::make_shared<ScrollView>();
            scroll->setFrame(frame);
            const Size content = measure(node.children.front(), {frame.width(), std::nullopt}, Axis::Vertical);
            // The document is as tall as what it holds: its height is what scrolls.
            auto document = std::make_shared<FlippedView>(Rect{0, 0, frame.width(), content.height});
            place(node.children.front(), {0, 0, frame.width(), content.height}, *document, Axis::Vertical);
            if (content.height > frame.height()) {
                // At rest the view ends between two rows, not across one.
                const double clean = cleanCut(*document, content.height, frame.height());
                scroll->setFrame({frame.minX(), frame.minY(), frame.width(), clean});
            }
            scroll->setDocumentView(document);
            scroll->setShowsIndicator(node.showsIndicator);
            parent.addSubview(scroll);
            return;
        }
        case Kind::Padding: {
            const Insets& in = node.insets;
            place(node.children.front(),
                  {frame.minX() + in.leading, frame.minY() + in.top,
                   std::max(0.0, frame.width() - in.leading - in.trailing),
                   std::max(0.0, frame.height() - in.top - in.bottom)},
                  parent, axis);
            return;
        }
        case Kind::Frame: {
            const Node& child = node.children.front();
            Size s = measure(child, {frame.width(), frame.height()}, axis);
            s.width = std::min(s.width, frame.width());
            s.height = std::min(s.height, frame.height());
            double x = frame.minX() + (frame.width() - s.width) / 2;
            if (node.hAlign == HAlign::Leading) x = frame.minX();
            else if (node.hAlign == HAlign::Trailing) x = frame.maxX() - s.width;
            const double y = frame.minY() + (frame.height() - s.height) / 2;
            place(child, {x, y, s.width, s.height}, parent, axis);
            return;
        }
        case Kind::Background: {
            auto box = std::make_shared<FlippedView>(frame);
            box->setWantsLayer(true);
            if (node.background) box->setBackgroundColor(*node.background);
            if (node.cornerRadius > 0) {
                box->setCornerRadius(node.cornerRadius);
                box->setMasksToBounds(true);
            }
            parent.addSubview(box);
            place(node.children.front(), {0, 0, frame.width(), frame.height()}, *box, axis);
            return;
        }
    }
}

void collectScrollViews(View& view, std::vector<ScrollView*>& out) {
    if (auto* scroll = dynamic_cast<ScrollView*>(&view)) out.push_back(scroll);
    for (const ViewRef& child : view.subviews()) collectScrollViews(*child, out);
}

}  // namespace

// --- modifiers and builders ----------------------------------------------------------------

Node Node::padding(Insets in) const {
    Node node = wrap(Kind::Padding, *this);
    node.insets = in;
    return node;
}

Node Node::frame(std::optional<double> w, std::optional<double> h, HAlign align) const {
    Node node = wrap(Kind::Frame, *this);
    node.width = w;
    node.height = h;
    node.hAlign = align;
    return node;
}

Node Node::frameMax(bool w, bool h, HAlign align) const {
    Node node = wrap(Kind::Frame, *this);
    node.maxWidth = w;
    node.maxHeight = h;
    node.hAlign = align;
    return node;
}

Node Node::backgroundColor(Color color, double radius) const {
    Node node = wrap(Kind::Background, *this);
    node.background = color;
    node.cornerRadius = radius;
    return node;
}

Node VStack(std::vector<Node> children, double spacing, HAlign align) {
    Node node = leaf(Kind::VStack);
    node.children = std::move(children);
    node.spacing = spacing;
    node.hAlign = align;
    return node;
}

Node HStack(std::vector<Node> children, double spacing, VAlign align) {
    Node node = leaf(Kind::HStack);
    node.children = std::move(children);
    node.spacing = spacing;
    node.vAlign = align;
    return node;
}

Node Spacer() { return leaf(Kind::Spacer); }
Node Divider() { return leaf(Kind::Divider); }

Node Text(std::string text, Font font, Color color) {
    Node node = leaf(Kind::Text);
    node.text = std::move(text);
    node.font = font;
    node.color = color;
    return node;
}

Node Image(ImageRef image, Size size, std::optional<Color> tint) {
    Node node = leaf(Kind::Image);
    node.image = std::move(image);
    node.imageSize = size;
    node.tint = tint;
    return node;
}

Node Toggle(std::string label, std::function<bool()> get, std::function<void(bool)> set) {
    Node node = leaf(Kind::Switch);
    node.text = std::move(label);
    node.getBool = std::move(get);
    node.setBool = std::move(set);
    return node;
}

Node PushToggle(std::string label, std::function<bool()> get, std::function<void(bool)> set) {
    Node node = Toggle(std::move(label), std::move(get), std::move(set));
    node.kind = Kind::PushToggle;
    return node;
}

Node Button(std::string title, std::function<void()> action, ButtonStyle style) {
    Node node = leaf(Kind::Button);
    node.text = std::move(title);
    node.action = std::move(action);
    node.buttonStyle = style;
    return node;
}

Node Link(std::string text, std::string url, std::function<void()> open, Font font) {
    Node node = leaf(Kind::Link);
    node.text = std::move(text);
    node.url = std::move(url);
    node.action = std::move(open);
    node.font = font;
    node.color = Color::accent();
    return node;
}

Node Stepper(std::function<std::string(double)> label, std::function<double()> get, std::function<void(double)> set,
             double minimum, double maximum, double step) {
    Node node = leaf(Kind::Stepper);
    node.format = std::move(label);
    node.getNumber = std::move(get);
    node.setNumber = std::move(set);
    node.minimum = minimum;
    node.maximum = maximum;
    node.step = step;
    node.fullWidth = true;
    return node;
}

Node Slider(std::string label, std::function<double()> get, std::function<void(double)> set, double minimum,
            double maximum) {
    Node node = leaf(Kind::Slider);
    node.text = std::move(label);
    node.getNumber = std::move(get);
    node.setNumber = std::move(set);
    node.minimum = minimum;
    node.maximum = maximum;
    return node;
}

Node Picker(std::string label, std::vector<std::string> options, std::function<double()> get,
            std::function<void(double)> set) {
    Node node = leaf(Kind::Picker);
    node.text = std::move(label);
    node.options = std::move(options);
    node.getNumber = std::move(get);
    node.setNumber = std::move(set);
    return node;
}

Node TabView(std::vector<std::string> tabs, std::vector<Node> contents, std::function<double()> get,
             std::function<void(double)> set, std::vector<ImageRef> symbols) {
    Node node = leaf(Kind::TabView);
    node.options = std::move(tabs);
    node.images = std::move(symbols);
    node.children = std::move(contents);
    node.getNumber = std::move(get);
    node.setNumber = std::move(set);
    return node;
}

Node Form(std::vector<Node> sections) {
    Node content = VStack(std::move(sections), Metrics::kSectionSpacing, HAlign::Leading)
                       .padding(Insets::symmetric(Metrics::kSectionSpacing, 10));
    // A form taller than its place scrolls, and says so with its scroller.
    return ScrollArea(std::move(content), true);
}

Node Section(std::string header, std::vector<Node> rows) {
    std::vector<Node> boxed;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (i > 0) boxed.push_back(Divider().padding(Insets::symmetric(Metrics::kRowPaddingH, 0)));
        boxed.push_back(rows[i]
                            .frameMax(true, false, HAlign::Leading)
                            .padding(Insets::symmetric(Metrics::kRowPaddingH, Metrics::kRowPaddingV)));
    }
    Node box = VStack(std::move(boxed), 0, HAlign::Leading).backgroundColor(groupBoxColor(), 6);
    Node node = leaf(Kind::Section);
    node.text = header;
    node.spacing = Metrics::kSectionHeaderGap;
    node.hAlign = HAlign::Leading;
    if (!header.empty())
        node.children.push_back(Text(std::move(header), Font::systemFont(11, Font::Weight::Semibold), secondaryText())
                                    .padding(Insets{0, 4, 0, 0}));
    node.children.push_back(std::move(box));
    return node;
}

Node ScrollArea(Node content, bool showsIndicator) {
    Node node = wrap(Kind::Scroll, content);
    node.showsIndicator = showsIndicator;
    return node;
}

Size sizeThatFits(const Node& node, Proposal proposal) { return measure(node, proposal, Axis::Vertical); }

// --- HostingView ------------------------------------------------------------------------------

HostingView::HostingView(std::function<Node()> body) : body_(std::move(body)) {}

Size HostingView::fittingSize() const {
    if (!body_) return {};
    return measure(body_(), {}, Axis::Vertical);
}

void HostingView::layout() { rebuild(); }

namespace {

// A scroll view is the same one from build to build when the identifiers
// of the views around it are the same.
std::string scrollKey(const View& view) {
    std::string key;
    for (const View* up = &view; up; up = up->superview()) key += up->identifier() + "/";
    return key;
}

}  // namespace

void HostingView::rebuild() {
    ++rebuilds_;
    std::vector<std::pair<std::string, double>> offsets;
    {
        std::vector<ScrollView*> scrolls;
        collectScrollViews(*this, scrolls);
        for (ScrollView* scroll : scrolls) offsets.push_back({scrollKey(*scroll), scroll->contentOffset()});
    }
    // Subviews go before the new tree comes; a control whose action started
    // this keeps itself alive until it returns.
    while (!subviews().empty()) subviews().back()->removeFromSuperview();
    if (!body_) return;
    const Node node = body_();
    const Rect b = bounds();
    Builder(std::static_pointer_cast<HostingView>(shared_from_this())).place(node, {0, 0, b.width(), b.height()}, *this,
                                                                             Axis::Vertical);
    std::vector<ScrollView*> scrolls;
    collectScrollViews(*this, scrolls);
    for (ScrollView* scroll : scrolls) {
        const std::string key = scrollKey(*scroll);
        auto same = std::find_if(offsets.begin(), offsets.end(), [&](const auto& o) { return o.first == key; });
        if (same == offsets.end()) continue;
        scroll->scrollBy(same->second);
        offsets.erase(same);
    }
    setNeedsDisplay();
}

}  // namespace kit::ui
