#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "kit/Button.h"
#include "kit/FlippedView.h"

namespace kit {

// The controls the declarative screens are made of, as retained views the
// hosts draw and route clicks to. Each is flipped (origin top-left) and acts
// on a release over the part it was pressed on, as the platform's controls
// do. Actions receive the new value; a control shows the value it is given
// and changes nothing by itself, so what it shows is always what its owner
// last read.
class Control : public FlippedView {
public:
    using FlippedView::FlippedView;
    // What a scenario or a reader calls the control: its label as drawn.
    const std::string& title() const { return title_; }
    void setTitle(std::string title);

    void mouseDown(const MouseEvent& event) override;
    void mouseUp(const MouseEvent& event) override;

protected:
    // A press at `down` released at `up`, both in bounds coordinates.
    virtual void clicked(Point down, Point up) = 0;

private:
    std::string title_;
    std::optional<Point> down_;
};

// A toggle in the switch style: the label on the leading side, the switch
// at the trailing edge; only the switch itself reacts.
class Switch : public Control {
public:
    using Control::Control;
    static constexpr double kSwitchWidth = 32;
    static constexpr double kSwitchHeight = 18;

    bool isOn() const { return on_; }
    void setOn(bool on);
    void setAction(std::function<void(bool)> action) { action_ = std::move(action); }
    Rect switchRect() const;

protected:
    void clicked(Point down, Point up) override;

private:
    bool on_ = false;
    std::function<void(bool)> action_;
};

// A toggle in the push-button style: a button that stays highlighted while on.
class PushToggle : public Control {
public:
    using Control::Control;
    bool isOn() const { return on_; }
    void setOn(bool on);
    void setAction(std::function<void(bool)> action) { action_ = std::move(action); }

protected:
    void clicked(Point down, Point up) override;

private:
    bool on_ = false;
    std::function<void(bool)> action_;
};

// A stepper with its live label: the label leading, the two arrows at the
// trailing edge. A click on an arrow asks for the value one step up or down,
// clamped to the range.
class Stepper : public Control {
public:
    using Control::Control;
    static constexpr double kArrowsWidth = 15;
    static constexpr double kArrowsHeight = 22;

    double value() const { return value_; }
    void setValue(double value);
    void setRange(double minimum, double maximum, double step);
    double minimum() const { return min_; }
    double maximum() const { return max_; }
    double step() const { return step_; }
    void setAction(std::function<void(double)> action) { action_ = std::move(action); }
    Rect upArrowRect() const;
    Rect downArrowRect() const;

protected:
    void clicked(Point down, Point up) override;

private:
    double value_ = 0;
    double min_ = 0;
    double max_ = 1;
    double step_ = 1;
    std::function<void(double)> action_;
};

// A continuous slider across its width; a press and release anywhere on the
// track ask for the value under the release.
class Slider : public Control {
public:
    using Control::Control;
    static constexpr double kKnobDiameter = 20;

    double value() const { return value_; }
    void setValue(double value);
    void setRange(double minimum, double maximum);
    double minimum() const { return min_; }
    double maximum() const { return max_; }
    void setAction(std::function<void(double)> action) { action_ = std::move(action); }
    // The track's usable span: the knob's centre runs between its ends.
    double trackStart() const { return kKnobDiameter / 2; }
    double trackEnd() const { return bounds().width() - kKnobDiameter / 2; }
    Point pointForValue(double value) const;
    double valueAt(Point point) const;

protected:
    void clicked(Point down, Point up) override;

private:
    double value_ = 0;
    double min_ = 0;
    double max_ = 1;
    std::function<void(double)> action_;
};

// A row of segments of which one is selected: pickers and the tab bar.
class SegmentedControl : public Control {
public:
    using Control::Control;
    const std::vector<std::string>& labels() const { return labels_; }
    void setLabels(std::vector<std::string> labels);
    std::optional<std::size_t> selected() const { return selected_; }
    void setSelected(std::optional<std::size_t> index);
    void setAction(std::function<void(std::size_t)> action) { action_ = std::move(action); }
    // Segments share the width in proportion to their labels' widths.
    void setSegmentWidths(std::vector<double> widths);
    Rect segmentRect(std::size_t index) const;
    bool isTabBar() const { return tabBar_; }
    void setTabBar(bool tabBar) { tabBar_ = tabBar; }
    // A symbol before each label (NSSegmentedControl's setImage:forSegment:).
    const std::vector<ImageRef>& images() const { return images_; }
    void setImages(std::vector<ImageRef> images);

protected:
    void clicked(Point down, Point up) override;

private:
    std::vector<std::string> labels_;
    std::vector<double> widths_;
    std::vector<ImageRef> images_;
    std::optional<std::size_t> selected_;
    bool tabBar_ = false;
    std::function<void(std::size_t)> action_;
};

// NSPopUpButton: shows the selected item's title beside the up and down
// chevrons; a press opens its menu over the button, the selected item
// under the pointer, and choosing an item selects it and sends the action.
// The title is the selected item's, as on the platform; what the control is
// about ("Theme") is its identifier.
class PopUpMenu;
class PopUpButton : public Control {
public:
    using Control::Control;
    static constexpr double kIndicatorWidth = 16;

    const std::vector<std::string>& itemTitles() const { return items_; }
    void removeAllItems();
    void addItemsWithTitles(std::vector<std::string> titles);
    std::optional<std::size_t> indexOfSelectedItem() const { return selected_; }
    void selectItemAtIndex(std::optional<std::size_t> index);
    void setAction(std::function<void(std::size_t)> action) { action_ = std::move(action); }
    // The chevrons' box at the trailing end.
    Rect indicatorRect() const;
    // The menu while it is open, in the window's top view.
    std::shared_ptr<PopUpMenu> menu() const;

    void mouseDown(const MouseEvent& event) override;

protected:
    void clicked(Point, Point) override {}

private:
    friend class PopUpMenu;
    void choose(std::size_t index);

    std::vector<std::string> items_;
    std::optional<std::size_t> selected_;
    std::function<void(std::size_t)> action_;
    std::weak_ptr<PopUpMenu> menu_;
};

// A pop-up button's open menu. It covers the whole window, as the
// platform's menu tracking takes every click: a click on an item chooses
// it, a click anywhere else only closes the menu.
class PopUpMenu : public FlippedView {
public:
    static constexpr double kItemHeight = 22;
    static constexpr double kVerticalPadding = 5;
    // Room for the checkmark before the titles, and after them.
    static constexpr double kLeadingInset = 22;
    static constexpr double kTrailingInset = 16;

    PopUpMenu(std::weak_ptr<PopUpButton> button, std::vector<std::string> items, std::optional<std::size_t> checked,
              Rect menuRect, Rect area);
    const std::vector<std::string>& items() const { return items_; }
    std::optional<std::size_t> checkedIndex() const { return checked_; }
    // The menu's box and its items, in this view's coordinates.
    Rect menuRect() const { return menuRect_; }
    Rect itemRect(std::size_t index) const;
    void close();

    void mouseDown(const MouseEvent& event) override;
    void mouseUp(const MouseEvent& event) override;

private:
    std::optional<std::size_t> itemAt(Point point) const;

    std::weak_ptr<PopUpButton> button_;
    std::vector<std::string> items_;
    std::optional<std::size_t> checked_;
    Rect menuRect_;
    std::optional<std::size_t> pressed_;
};

// A text link that opens its address.
class Link : public Button {
public:
    using Button::Button;
    bool isFlipped() const override { return true; }
    const std::string& url() const { return url_; }
    void setURL(std::string url) { url_ = std::move(url); }

private:
    std::string url_;
};

// A vertical scroll view: its single document view moves under the visible
// area, which clips it.
class ScrollView : public FlippedView {
public:
    ScrollView();
    void setDocumentView(ViewRef view);
    const ViewRef& documentView() const { return document_; }
    double contentOffset() const { return bounds().minY(); }
    double maximumOffset() const;
    // Scrolls by a number of points (positive: towards the end), clamped.
    void scrollBy(double dy);
    bool showsIndicator() const { return indicator_; }
    void setShowsIndicator(bool shows) { indicator_ = shows; }
    // The height of what scrolls, and the knob of the scroller when one is
    // drawn (it shows whenever the content is taller than the view), in
    // bounds coordinates.
    double contentHeight() const;
    std::optional<Rect> scrollerKnobRect() const;

private:
    ViewRef document_;
    bool indicator_ = false;
};

}  // namespace kit
