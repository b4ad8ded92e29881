#include <gtest/gtest.h>

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

}  // namespace
