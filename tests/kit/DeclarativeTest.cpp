#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>

#include "kit/Controls.h"
#include "kit/Declarative.h"
#include "kit/ViewInput.h"

namespace {

using namespace kit::ui;

// Every view's frame in the hosting view's coordinates, in tree order.
void collect(const kit::View& view, kit::Point origin, std::vector<std::pair<const kit::View*, kit::Rect>>& out) {
    for (const auto& child : view.subviews()) {
        const kit::Rect f = child->frame().offsetBy(origin.x, origin.y);
        out.push_back({child.get(), f});
        // Scroll views hold documents that may reach past them.
        if (!dynamic_cast<const kit::ScrollView*>(child.get())) collect(*child, f.origin, out);
    }
}

std::shared_ptr<HostingView> host(std::function<Node()> body, kit::Size size) {
    auto view = std::make_shared<HostingView>(std::move(body));
    view->setFrame({0, 0, size.width, size.height});
    return view;
}

TEST(Declarative, StacksShareTheirRoomLeastFlexibleFirstAndSpacersTakeTheRest) {
    auto title = Text("Order by");
    auto button = Button("Grant", [] {});
    auto view = host([&] { return HStack({title, Spacer(), button}).padding(Insets::symmetric(12, 8)); }, {288, 40});
    std::vector<std::pair<const kit::View*, kit::Rect>> frames;
    collect(*view, {}, frames);
    const kit::Rect* label = nullptr;
    const kit::Rect* grant = nullptr;
    for (auto& [v, f] : frames) {
        if (dynamic_cast<const kit::Label*>(v)) label = &f;
        if (dynamic_cast<const kit::Button*>(v)) grant = &f;
    }
    ASSERT_TRUE(label && grant);
    EXPECT_EQ(label->minX(), 12);
    EXPECT_EQ(grant->maxX(), 288 - 12);
    EXPECT_EQ(label->width(), sizeThatFits(title, {}).width);   // not squeezed by the spacer
    EXPECT_EQ(grant->width(), sizeThatFits(button, {}).width);
}

TEST(Declarative, FittingSizeHoldsEveryViewAndWrappedTextGrowsDown) {
    auto longText = [&] {
        std::string words;
        for (int i = 0; i < 40; ++i) words += "word ";
        return words;
    }();
    auto tree = [&] {
        return VStack({HStack({Image(nullptr, {26, 20}), VStack({Text("Title"), Text(longText)}, 3, HAlign::Leading)},
                              12, VAlign::Top)
                           .padding(),
                       Divider(), Toggle("Window Previews", [] { return true; }, [](bool) {})},
                      0)
            .frame(288, std::nullopt);
    };
    const kit::Size fitting = sizeThatFits(tree(), {});
    EXPECT_EQ(fitting.width, 288);
    auto view = host(tree, fitting);
    std::vector<std::pair<const kit::View*, kit::Rect>> frames;
    collect(*view, {}, frames);
    double bottom = 0;
    int labels = 0;
    for (auto& [v, f] : frames) {
        EXPECT_TRUE(view->bounds().containsRect(f)) << f.minX() << "," << f.minY() << " " << f.width() << "x" << f.height();
        bottom = std::max(bottom, f.maxY());
        labels += dynamic_cast<const kit::Label*>(v) != nullptr;
    }
    EXPECT_GT(labels, 3);   // the long text took several lines
    EXPECT_EQ(bottom, fitting.height);
}

TEST(Declarative, ControlsWriteThroughTheirBindingsAndShowTheStoredValue) {
    double stored = 0.25;
    bool on = false;
    auto view = host(
        [&] {
            return VStack({Stepper([](double v) { return std::to_string(v); }, [&] { return stored; },
                                   [&](double v) { stored = v; }, 0.0, 0.5, 0.1),
                           Toggle("Switch", [&] { return on; }, [&](bool v) { on = v; })});
        },
        {300, 100});
    kit::InputRouter router(view);
    auto find = [&]<typename T>(T*) {
        std::shared_ptr<T> found;
        std::function<void(const kit::ViewRef&)> walk = [&](const kit::ViewRef& v) {
            if (auto t = std::dynamic_pointer_cast<T>(v)) found = t;
            for (auto& c : v->subviews()) walk(c);
        };
        walk(view);
        return found;
    };
    auto click = [&](const kit::View& target, kit::Point inBounds) {
        const kit::Point p = target.convertToRoot(inBounds);
        router.mouseDown(p);
        router.mouseUp(p);
    };
    // Decimal steps land on decimals, and the range holds.
    for (int i = 0; i < 4; ++i) {
        auto stepper = find(static_cast<kit::Stepper*>(nullptr));
        click(*stepper, stepper->upArrowRect().center());
    }
    EXPECT_EQ(stored, 0.5);
    auto stepper = find(static_cast<kit::Stepper*>(nullptr));
    EXPECT_EQ(stepper->value(), 0.5);
    click(*stepper, stepper->downArrowRect().center());
    EXPECT_EQ(stored, 0.4);

    // The switch reacts on its knob only; its label is not part of it.
    auto toggle = find(static_cast<kit::Switch*>(nullptr));
    click(*toggle, {5, toggle->bounds().midY()});
    EXPECT_FALSE(on);
    click(*toggle, toggle->switchRect().center());
    EXPECT_TRUE(on);
    EXPECT_TRUE(find(static_cast<kit::Switch*>(nullptr))->isOn());
}

template <typename T>
std::shared_ptr<T> first(const kit::ViewRef& root) {
    std::shared_ptr<T> found;
    std::function<void(const kit::ViewRef&)> walk = [&](const kit::ViewRef& v) {
        if (!found) found = std::dynamic_pointer_cast<T>(v);
        for (auto& c : v->subviews()) walk(c);
    };
    walk(root);
    return found;
}

// A rect of `view`'s bounds in the coordinates of `to` (both flipped here).
kit::Rect rectIn(const kit::View& view, kit::Rect r, const kit::View& to) {
    const kit::Point a = view.convertPointTo(r.origin, &to);
    const kit::Point b = view.convertPointTo({r.maxX(), r.maxY()}, &to);
    return {std::min(a.x, b.x), std::min(a.y, b.y), std::abs(b.x - a.x), std::abs(b.y - a.y)};
}

TEST(Declarative, PopUpPickerOpensItsMenuOverItselfAndOnlyAnItemChooses) {
    double stored = 0;
    auto view = host(
        [&] {
            return VStack({Picker("Theme", {"Automatic", "Light", "Dark"}, [&] { return stored; },
                                  [&](double v) { stored = v; })})
                .padding();
        },
        {300, 200});
    kit::InputRouter router(view);
    auto click = [&](const kit::View& target, kit::Point inBounds) {
        const kit::Point p = target.convertToRoot(inBounds);
        router.mouseDown(p);
        router.mouseUp(p);
    };
    auto open = [&] {
        auto button = first<kit::PopUpButton>(view);
        click(*button, button->bounds().center());
        return first<kit::PopUpMenu>(view);
    };
    EXPECT_EQ(first<kit::PopUpButton>(view)->title(), "Automatic");

    // The checked item opens over the button; a click beside the menu closes it and changes nothing.
    auto menu = open();
    ASSERT_TRUE(menu);
    EXPECT_EQ(menu->checkedIndex(), 0u);
    auto button = first<kit::PopUpButton>(view);
    EXPECT_TRUE(rectIn(*menu, menu->itemRect(0), *view).cgContains(rectIn(*button, button->bounds(), *view).center()));
    const kit::Rect box = menu->menuRect();
    click(*menu, {box.maxX() + 4, box.maxY() + 4});
    EXPECT_FALSE(first<kit::PopUpMenu>(view));
    EXPECT_EQ(stored, 0);

    // Escape closes it too; an item chooses.
    ASSERT_TRUE(open());
    EXPECT_TRUE(router.performKeyEquivalent("\x1b"));
    EXPECT_FALSE(first<kit::PopUpMenu>(view));
    menu = open();
    click(*menu, menu->itemRect(2).center());
    EXPECT_EQ(stored, 2);
    EXPECT_FALSE(first<kit::PopUpMenu>(view));
    EXPECT_EQ(first<kit::PopUpButton>(view)->title(), "Dark");
}

TEST(Declarative, AFormTallerThanItsTabScrollsBelowTheBarWithAScrollerAndNoRowOutOfReach) {
    std::vector<Node> rows;
    for (int i = 0; i < 20; ++i) rows.push_back(Toggle("Row " + std::to_string(i), [] { return false; }, [](bool) {}));
    auto view = host([&] { return TabView({"One", "Two"}, {Form({Section("Header", rows)}), Spacer()}, [] { return 0.0; },
                                          [](double) {}); },
                     {400, 300});
    auto bar = first<kit::SegmentedControl>(view);
    auto scroll = first<kit::ScrollView>(view);
    ASSERT_TRUE(bar && scroll);
    const double barBottom = rectIn(*bar, bar->bounds(), *view).maxY();
    EXPECT_GE(rectIn(*scroll, scroll->bounds(), *view).minY(), barBottom);
    EXPECT_GT(scroll->contentHeight(), scroll->bounds().height());
    EXPECT_TRUE(scroll->scrollerKnobRect());

    // At either end the row there shows whole inside the visible area.
    auto switches = [&] {
        std::vector<std::shared_ptr<kit::Switch>> all;
        std::function<void(const kit::ViewRef&)> walk = [&](const kit::ViewRef& v) {
            if (auto s = std::dynamic_pointer_cast<kit::Switch>(v)) all.push_back(s);
            for (auto& c : v->subviews()) walk(c);
        };
        walk(scroll);
        return all;
    };
    const auto top = switches();
    ASSERT_EQ(top.size(), 20u);
    EXPECT_TRUE(scroll->bounds().containsRect(rectIn(*top.front(), top.front()->bounds(), *scroll)));
    scroll->scrollBy(1e6);
    EXPECT_TRUE(scroll->bounds().containsRect(rectIn(*top.back(), top.back()->bounds(), *scroll)));
    EXPECT_GE(rectIn(*scroll, scroll->bounds(), *view).minY(), barBottom);
}

}  // namespace
