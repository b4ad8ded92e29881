#pragma once

#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "kit/Color.h"
#include "kit/FlippedView.h"
#include "kit/Font.h"
#include "kit/Image.h"
#include "kit/Label.h"

namespace kit::ui {

// Declarative views: a value tree, rebuilt from state whenever state changes,
// that a layout pass turns into positioned retained views. Only what the
// product's few screens use is here.
//
// Values: controls read and write through bindings (closures) and keep no
// copy, so a tree built twice from the same state is the same tree.
// Layout: a parent proposes a size (either side may be left open, meaning
// "your ideal"), the child answers with the size it takes; stacks share
// their room out the way the platform's do, the least flexible child first.

enum class Kind {
    VStack, HStack, Spacer, Divider, Text, Image, Switch, PushToggle, Button, Link, Stepper, Slider, Picker,
    TabView, Section, Scroll,
    // modifiers, wrapping one child
    Padding, Frame, Background,
};

enum class HAlign { Leading, Center, Trailing };
enum class VAlign { Top, Center, Bottom };
enum class ButtonStyle { Bordered, Plain, Prominent };

struct Insets {
    double top = 0, leading = 0, bottom = 0, trailing = 0;
    static Insets all(double v) { return {v, v, v, v}; }
    static Insets symmetric(double horizontal, double vertical) { return {vertical, horizontal, vertical, horizontal}; }
};

inline constexpr double kInfinity = std::numeric_limits<double>::infinity();
// The platform's default padding and stack spacing.
inline constexpr double kDefaultPadding = 16;
inline constexpr double kDefaultSpacing = 8;

struct Node {
    Kind kind = Kind::VStack;
    std::vector<Node> children;

    // stacks
    double spacing = kDefaultSpacing;
    HAlign hAlign = HAlign::Center;
    VAlign vAlign = VAlign::Center;

    // text, images, titles of controls
    std::string text;
    Font font = Font::systemFont(13);
    Color color = Color::label();
    TextAlignment textAlignment = TextAlignment::Left;
    ImageRef image;
    // The tabs' symbols, one per tab (none: no symbol).
    std::vector<ImageRef> images;
    std::optional<Color> tint;
    Size imageSize;

    // controls
    std::function<bool()> getBool;
    std::function<void(bool)> setBool;
    std::function<double()> getNumber;
    std::function<void(double)> setNumber;
    double minimum = 0, maximum = 1, step = 1;
    std::vector<std::string> options;
    std::function<void()> action;
    std::string url;
    ButtonStyle buttonStyle = ButtonStyle::Bordered;
    bool small = false;
    bool fullWidth = false;
    bool showsIndicator = false;
    std::string keyEquivalent;
    // Live label of a stepper, rebuilt from its value.
    std::function<std::string(double)> format;

    // modifiers
    Insets insets;
    std::optional<double> width, height;
    bool maxWidth = false, maxHeight = false;
    std::optional<Color> background;
    double cornerRadius = 0;

    Node padding(Insets insets) const;
    Node padding(double all = kDefaultPadding) const { return padding(Insets::all(all)); }
    Node frame(std::optional<double> width, std::optional<double> height, HAlign align = HAlign::Center) const;
    // Stretches to whatever width (and height) the parent offers.
    Node frameMax(bool width, bool height, HAlign align = HAlign::Center) const;
    Node backgroundColor(Color color, double cornerRadius = 0) const;
};

Node VStack(std::vector<Node> children, double spacing = kDefaultSpacing, HAlign align = HAlign::Center);
Node HStack(std::vector<Node> children, double spacing = kDefaultSpacing, VAlign align = VAlign::Center);
Node Spacer();
Node Divider();
Node Text(std::string text, Font font = Font::systemFont(13), Color color = Color::label());
Node Image(ImageRef image, Size size, std::optional<Color> tint = std::nullopt);
Node Toggle(std::string label, std::function<bool()> get, std::function<void(bool)> set);
Node PushToggle(std::string label, std::function<bool()> get, std::function<void(bool)> set);
Node Button(std::string title, std::function<void()> action, ButtonStyle style = ButtonStyle::Bordered);
Node Link(std::string text, std::string url, std::function<void()> open, Font font = Font::systemFont(11));
Node Stepper(std::function<std::string(double)> label, std::function<double()> get, std::function<void(double)> set,
             double minimum, double maximum, double step);
Node Slider(std::string label, std::function<double()> get, std::function<void(double)> set, double minimum,
            double maximum);
Node Picker(std::string label, std::vector<std::string> options, std::function<double()> get,
            std::function<void(double)> set);
Node TabView(std::vector<std::string> tabs, std::vector<Node> contents, std::function<double()> get,
             std::function<void(double)> set, std::vector<ImageRef> symbols = {});
Node Form(std::vector<Node> sections);
Node Section(std::string header, std::vector<Node> rows);
Node ScrollArea(Node content, bool showsIndicator = false);

// Layout metrics every host of these views shares.
struct Metrics {
    static constexpr double kControlHeight = 22;
    static constexpr double kSmallControlHeight = 18;
    static constexpr double kTabBarHeight = 24;
    // Between the tab bar's bottom edge and the top of the selected tab's area.
    static constexpr double kTabContentGap = 6;
    static constexpr double kRowPaddingH = 10;
    static constexpr double kRowPaddingV = 6;
    static constexpr double kSectionSpacing = 12;
    static constexpr double kSectionHeaderGap = 6;
};

// The identifier of the view that clips a tab view's selected tab: the area
// below the bar that the tab's content fits or scrolls in.
inline constexpr const char* kTabContentIdentifier = "tab-content";

struct Proposal {
    std::optional<double> width, height;
};

// The size a node takes for a proposal.
Size sizeThatFits(const Node& node, Proposal proposal);

// A retained view that shows a declarative tree: its body is evaluated and
// laid out again at every layout and after every control action, replacing
// the subviews. Scroll positions survive the rebuild.
class HostingView : public FlippedView {
public:
    explicit HostingView(std::function<Node()> body);
    // The size the tree takes when nothing is proposed.
    Size fittingSize() const;
    void layout() override;
    // Evaluates the body again and rebuilds the subviews (a control changed state).
    void rebuild();
    int rebuildCount() const { return rebuilds_; }

private:
    std::function<Node()> body_;
    int rebuilds_ = 0;
};

}  // namespace kit::ui
