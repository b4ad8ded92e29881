#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "kit/Controls.h"
#include "kit/Declarative.h"
#include "macos/ViewMirror.h"

namespace {

using namespace macos::mirror;
using namespace kit::ui;

// Stands where AppKit would: remembers what each native view was last told.
class FakeNatives final : public NativeViews {
public:
    struct Native {
        NativeClass cls;
        NativeState state;
        std::vector<NativeHandle> children;
        std::uint32_t lastChanges = 0;
    };

    NativeHandle create(NativeClass cls) override {
        natives[next] = {cls, {}, {}, 0};
        return next++;
    }
    void update(NativeHandle handle, const NativeState& state, std::uint32_t changes) override {
        natives.at(handle).state = state;
        natives.at(handle).lastChanges = changes;
        updates.push_back({handle, changes});
    }
    void setSubviews(NativeHandle parent, const std::vector<NativeHandle>& children) override {
        natives.at(parent).children = children;
    }
    void destroy(NativeHandle handle) override {
        ASSERT_TRUE(natives.count(handle));
        for (NativeHandle child : natives.at(handle).children) EXPECT_FALSE(natives.count(child)) << "child first";
        natives.erase(handle);
    }

    std::set<std::string> classNames() const {
        std::set<std::string> names;
        for (const auto& [handle, native] : natives) names.insert(std::string(appKitClassName(native.cls)));
        return names;
    }

    std::map<NativeHandle, Native> natives;
    std::vector<std::pair<NativeHandle, std::uint32_t>> updates;
    NativeHandle next = 1;
};

struct Settings {
    bool previews = true;
    bool acceptsChanges = true;
    double delay = 0.5;
    double size = 0.5;
    double style = 0;
    bool extraRow = true;
};

std::size_t viewCount(const kit::View& v) {
    std::size_t n = 1;
    for (const auto& child : v.subviews()) n += viewCount(*child);
    return n;
}

std::shared_ptr<HostingView> form(Settings& s) {
    auto host = std::make_shared<HostingView>([&s] {
        std::vector<Node> rows = {
            Toggle("Window Previews", [&s] { return s.previews; },
                   [&s](bool on) {
                       if (s.acceptsChanges) s.previews = on;
                   }),
            PushToggle("Command", [&s] { return false; }, [](bool) {}),
            Stepper([](double v) { return std::to_string(v); }, [&s] { return s.delay; },
                    [&s](double v) { s.delay = v; }, 0, 2, 0.5),
            Slider("Size", [&s] { return s.size; }, [&s](double v) { s.size = v; }, 0, 1),
            Picker("Style", {"Grid", "Row"}, [&s] { return s.style; }, [&s](double v) { s.style = v; }),
            Button("Quit", [] {}),
            Link("Website", "https://example.org", [] {}),
            Image(nullptr, {16, 16}),
        };
        if (s.extraRow) rows.push_back(Text("Shown while the extra row is on"));
        return ScrollArea(Form({Section("General", rows)}), true);
    });
    host->setFrame({0, 0, 420, 400});
    return host;
}

NativeHandle handleOf(const ViewMirror& mirror, const kit::ViewRef& root, const auto& pick) {
    std::function<kit::View*(kit::View&)> find = [&](kit::View& v) -> kit::View* {
        if (pick(v)) return &v;
        for (const auto& child : v.subviews())
            if (auto* found = find(*child)) return found;
        return nullptr;
    };
    kit::View* view = find(*root);
    if (!view) return 0;
    return mirror.handleFor(*view).value_or(0);
}

TEST(ViewMirror, EveryControlOfAFormBecomesItsAppKitClassAndDerivedClassesWin) {
    Settings settings;
    FakeNatives natives;
    ViewMirror mirror(natives);
    auto host = form(settings);
    mirror.sync(host);
    EXPECT_EQ(natives.classNames(),
              (std::set<std::string>{"NSView", "NSSwitch", "NSButton", "NSStepper", "NSSlider", "NSPopUpButton",
                                     "NSScrollView", "NSTextField", "NSImageView"}));
    // A link is a button, but the link-styled one; a view of the product's
    // own class hosts its children as a plain view.
    EXPECT_EQ(mappingFor(kit::Link()).native, NativeClass::LinkButton);
    EXPECT_EQ(mappingFor(kit::Button()).native, NativeClass::Button);
    struct Tile : kit::View {};
    EXPECT_EQ(mappingFor(Tile()).native, NativeClass::View);
    EXPECT_EQ(mappingFor(kit::PushToggle()).appKitClass, "NSButton");
    // Every kit view has exactly one native view.
    EXPECT_EQ(natives.natives.size(), viewCount(*host));
}

TEST(ViewMirror, FlippingAndTheSwitchPartFollowKitSoBothHitTheSamePlace) {
    auto root = std::make_shared<kit::View>(kit::Rect{0, 0, 300, 100});
    auto flipped = std::make_shared<kit::FlippedView>(kit::Rect{10, 10, 280, 80});
    auto toggle = std::make_shared<kit::Switch>(kit::Rect{0, 0, 280, 22});
    toggle->setTitle("Window Previews");
    root->addSubview(flipped);
    flipped->addSubview(toggle);
    FakeNatives natives;
    ViewMirror mirror(natives);
    mirror.sync(root);

    const auto& rootNative = natives.natives.at(*mirror.handleFor(*root));
    const auto& hostNative = natives.natives.at(*mirror.handleFor(*flipped));
    const auto& switchNative = natives.natives.at(*mirror.handleFor(*toggle));
    EXPECT_FALSE(rootNative.state.geometry.flipped);
    EXPECT_TRUE(hostNative.state.geometry.flipped);
    EXPECT_EQ(hostNative.state.geometry.frame, flipped->frame());
    // AppKit's switch sits exactly where kit's switch reacts; the title
    // beside it ends before it.
    EXPECT_EQ(switchNative.state.geometry.controlRect, toggle->switchRect());
    EXPECT_LE(switchNative.state.geometry.titleRect.maxX(), toggle->switchRect().minX());
    EXPECT_EQ(switchNative.state.content.title, "Window Previews");
}

TEST(ViewMirror, LayerStyleChangesSendOnlyTheLayer) {
    auto root = std::make_shared<kit::FlippedView>(kit::Rect{0, 0, 100, 100});
    auto dot = std::make_shared<kit::View>(kit::Rect{0, 13, 8, 8});
    dot->setWantsLayer(true);
    dot->setCornerRadius(4);
    dot->setBackgroundColor(kit::Color::rgba(1, 0, 0));
    root->addSubview(dot);
    FakeNatives natives;
    ViewMirror mirror(natives);
    mirror.sync(root);
    const NativeHandle handle = *mirror.handleFor(*dot);
    EXPECT_TRUE(natives.natives.at(handle).state.layer.wantsLayer);
    EXPECT_EQ(natives.natives.at(handle).state.layer.style.cornerRadius, 4);

    natives.updates.clear();
    mirror.sync(root);
    EXPECT_TRUE(natives.updates.empty()) << "nothing changed, nothing is sent";

    dot->setBorderWidth(2);
    dot->setBorderColor(kit::Color::accent());
    mirror.sync(root);
    ASSERT_EQ(natives.updates.size(), 1u);
    EXPECT_EQ(natives.updates[0], (std::pair<NativeHandle, std::uint32_t>{handle, kLayer}));
    EXPECT_EQ(natives.natives.at(handle).state.layer.style.borderColor, kit::Color::accent());
}

TEST(ViewMirror, ValuesAndActionsFlowBothWays) {
    Settings settings;
    FakeNatives natives;
    ViewMirror mirror(natives);
    auto host = form(settings);
    mirror.sync(host);
    auto isSwitch = [](kit::View& v) { return dynamic_cast<kit::Switch*>(&v) != nullptr; };
    const NativeHandle toggle = handleOf(mirror, host, isSwitch);
    ASSERT_NE(toggle, 0u);
    EXPECT_TRUE(natives.natives.at(toggle).state.value.on);

    // The user turns the AppKit switch off: kit's action runs, its binding
    // changes, and the rebuilt form shows it in the same native switch.
    mirror.nativeInput(toggle, {NativeInput::Kind::Toggle, false});
    EXPECT_FALSE(settings.previews);
    EXPECT_FALSE(natives.natives.at(toggle).state.value.on);
    EXPECT_EQ(handleOf(mirror, host, isSwitch), toggle);

    // A change the owner refuses: the AppKit switch, which moved by itself,
    // is told kit's value again.
    settings.acceptsChanges = false;
    natives.updates.clear();
    mirror.nativeInput(toggle, {NativeInput::Kind::Toggle, true});
    EXPECT_FALSE(settings.previews);
    ASSERT_TRUE(std::any_of(natives.updates.begin(), natives.updates.end(),
                            [&](auto& u) { return u.first == toggle && (u.second & kValue); }));
    EXPECT_FALSE(natives.natives.at(toggle).state.value.on);

    // Stepper, slider and pop-up button reach their bindings through kit's own checks.
    const NativeHandle stepper =
        handleOf(mirror, host, [](kit::View& v) { return dynamic_cast<kit::Stepper*>(&v) != nullptr; });
    mirror.nativeInput(stepper, {NativeInput::Kind::Number, false, 1.0});
    EXPECT_DOUBLE_EQ(settings.delay, 1.0);
    const NativeHandle slider =
        handleOf(mirror, host, [](kit::View& v) { return dynamic_cast<kit::Slider*>(&v) != nullptr; });
    mirror.nativeInput(slider, {NativeInput::Kind::Number, false, 0.25});
    EXPECT_NEAR(settings.size, 0.25, 1e-9);
    const NativeHandle picker =
        handleOf(mirror, host, [](kit::View& v) { return dynamic_cast<kit::PopUpButton*>(&v) != nullptr; });
    mirror.nativeInput(picker, {NativeInput::Kind::Select, false, 0, 1});
    EXPECT_EQ(settings.style, 1);
    mirror.nativeInput(picker, {NativeInput::Kind::Select, false, 0, 7});
    EXPECT_EQ(settings.style, 1) << "an item kit does not have is ignored";
    EXPECT_EQ(natives.natives.at(picker).state.content.items, (std::vector<std::string>{"Grid", "Row"}));
    EXPECT_EQ(natives.natives.at(picker).state.value.selected, std::optional<std::size_t>(1));
}

TEST(ViewMirror, ARebuildReusesEveryNativeViewAndSendsOnlyWhatChanged) {
    Settings settings;
    FakeNatives natives;
    ViewMirror mirror(natives);
    auto host = form(settings);
    mirror.sync(host);
    const std::size_t made = mirror.counts().created;
    const std::size_t shown = natives.natives.size();

    // The same state rebuilt: new kit views throughout, not one native view
    // made or dropped, nothing sent.
    host->rebuild();
    natives.updates.clear();
    mirror.sync(host);
    EXPECT_EQ(mirror.counts().created, made);
    EXPECT_EQ(mirror.counts().destroyed, 0u);
    EXPECT_TRUE(natives.updates.empty());

    // One value changed: the slider alone hears of it.
    settings.size = 0.9;
    host->rebuild();
    natives.updates.clear();
    mirror.sync(host);
    ASSERT_EQ(natives.updates.size(), 1u);
    EXPECT_EQ(natives.natives.at(natives.updates[0].first).cls, NativeClass::Slider);
    EXPECT_EQ(natives.updates[0].second, kValue);

    // A row goes (with the separator above it): only what went is dropped.
    settings.extraRow = false;
    host->rebuild();
    mirror.sync(host);
    EXPECT_EQ(mirror.counts().created, made);
    EXPECT_EQ(mirror.counts().destroyed, shown - viewCount(*host));
    EXPECT_EQ(natives.natives.size(), viewCount(*host));

    // No content: everything goes, children before their parents.
    mirror.sync(nullptr);
    EXPECT_TRUE(natives.natives.empty());
}

}  // namespace
