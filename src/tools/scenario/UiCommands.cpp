#include <algorithm>
#include <cmath>
#include <functional>
#include <ostream>

#include "kit/Controls.h"
#include "kit/Declarative.h"
#include "kit/ViewInput.h"
#include "kit/Label.h"
#include "platform/Constants.h"
#include "tools/scenario/Commands.h"
#include "tools/scenario/Json.h"
#include "tools/scenario/UserClick.h"
#include "tools/scenario/World.h"

// Durazizi's own windows as a user sees and clicks them: every answer comes
// from the views on screen, and every action is a click at a point.
namespace scenario {

namespace {

using Result = std::optional<std::string>;

constexpr const char* kTermsTitle = "Welcome to Durazizi";
constexpr const char* kPrefsTitle = "Durazizi Preferences";
constexpr const char* kGuideTitle = "Durazizi Guide";
constexpr int kMaxSteps = 10000;

bool isMenuBarPanel(const sim::OwnWindowInfo& w) {
    return w.isPanel && w.level == platform::NSStatusWindowLevel && w.contentView && !w.ignoresMouse;
}

std::optional<sim::OwnWindowInfo> windowTitled(World& world, const std::string& title) {
    for (auto& w : world.desktop().ownWindows().list())
        if (w.visible && w.title == title && !w.isPanel) return w;
    return std::nullopt;
}

std::optional<sim::OwnWindowInfo> menuBarPanel(World& world) {
    for (auto& w : world.desktop().ownWindows().list())
        if (w.visible && isMenuBarPanel(w)) return w;
    return std::nullopt;
}

// The front-most own window or panel a user can click.
std::optional<sim::OwnWindowInfo> frontWindow(World& world) {
    for (auto& w : world.desktop().ownWindows().list())
        if (w.visible && w.contentView && !w.ignoresMouse) return w;
    return std::nullopt;
}

void walk(const kit::ViewRef& view, const std::function<void(const kit::ViewRef&)>& visit) {
    if (!view || view->isHidden()) return;
    visit(view);
    for (const kit::ViewRef& child : view->subviews()) walk(child, visit);
}

// A point of a view's bounds, on screen in top-left global points.
kit::Point onScreen(const sim::OwnWindowInfo& window, const kit::View& view, kit::Point inBounds) {
    const kit::Point inWindow = view.convertToRoot(inBounds);
    return {window.frame.minX() + inWindow.x, window.frame.maxY() - inWindow.y};
}

// Scrolls a control's scroll view, as a user would, until the control is in sight.
void revealInScroll(kit::View& view) {
    for (kit::View* up = view.superview(); up; up = up->superview()) {
        auto* scroll = dynamic_cast<kit::ScrollView*>(up);
        if (!scroll) continue;
        const kit::Point top = view.convertPointTo({0, 0}, scroll);
        const kit::Point bottom = view.convertPointTo({0, view.bounds().height()}, scroll);
        const kit::Rect visible = scroll->bounds();
        const double low = std::min(top.y, bottom.y), high = std::max(top.y, bottom.y);
        if (low < visible.minY()) scroll->scrollBy(low - visible.minY() - 4);
        else if (high > visible.maxY()) scroll->scrollBy(high - visible.maxY() + 4);
    }
}

void clickPoint(World& world, kit::Point p) {
    world.desktop().input().move(p);
    world.desktop().input().click(p);
}

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

// Something pressable that shows `text`, and where to click it.
struct Target {
    kit::ViewRef view;
    kit::Point point;   // in the view's bounds
};

std::optional<Target> pressable(const kit::ViewRef& view, const std::string& text) {
    if (auto* s = dynamic_cast<kit::Switch*>(view.get()); s && s->title() == text)
        return Target{view, s->switchRect().center()};
    if (auto* t = dynamic_cast<kit::PushToggle*>(view.get()); t && t->title() == text)
        return Target{view, t->bounds().center()};
    // A button that shows only a symbol is known by its accessibility label.
    if (auto* b = dynamic_cast<kit::Button*>(view.get()); b && (b->title() == text || b->accessibilityLabel() == text))
        return Target{view, b->bounds().center()};
    if (auto* seg = dynamic_cast<kit::SegmentedControl*>(view.get())) {
        for (std::size_t i = 0; i < seg->labels().size(); ++i)
            if (seg->labels()[i] == text) return Target{view, seg->segmentRect(i).center()};
    }
    return std::nullopt;
}

std::optional<Target> findPressable(const kit::ViewRef& root, const std::string& text) {
    std::optional<Target> found;
    walk(root, [&](const kit::ViewRef& v) {
        if (!found) found = pressable(v, text);
    });
    return found;
}

// The row or section labelled `label`: a container known by that identifier.
kit::ViewRef findContainer(const kit::ViewRef& root, const std::string& label) {
    kit::ViewRef found;
    walk(root, [&](const kit::ViewRef& v) {
        if (!found && v->identifier() == label && !dynamic_cast<kit::Control*>(v.get())) found = v;
    });
    return found;
}

Result press(World& world, const std::string& command, const sim::OwnWindowInfo& window, const kit::ViewRef& scope,
             const std::string& text) {
    auto target = findPressable(scope, text);
    if (!target) return command + ": no control \"" + text + "\" in \"" + window.title + "\"";
    revealInScroll(*target->view);
    return clickAt(world, command, window, target->view.get(), onScreen(window, *target->view, target->point),
                   quoted(text) + " in " + quoted(window.title));
}

}  // namespace

Action parsePress(Args& args) {
    const std::string first = args.text("a control's text");
    const std::optional<std::string> second = args.optionalQuoted();
    return [first, second](World& world, std::ostream&) -> Result {
        if (!world.running()) return "press: Durazizi is not running";
        auto window = frontWindow(world);
        if (!window) return std::string("press: Durazizi shows no window");
        kit::ViewRef scope = window->contentView;
        if (!second) {
            // Front-most first: the first window that has such a control takes the click.
            for (auto& w : world.desktop().ownWindows().list()) {
                if (w.visible && w.contentView && !w.ignoresMouse && findPressable(w.contentView, first))
                    return press(world, "press", w, w.contentView, first);
            }
        } else {
            scope = findContainer(window->contentView, first);
            if (!scope) return "press: no row or section \"" + first + "\" in \"" + window->title + "\"";
        }
        return press(world, "press", *window, scope, second.value_or(first));
    };
}

namespace {

Action parseAnswer(const char* command, const char* button) {
    return [command, button](World& world, std::ostream&) -> Result {
        if (!world.running()) return std::string(command) + ": Durazizi is not running";
        auto window = windowTitled(world, kTermsTitle);
        if (!window) return std::string(command) + ": the terms window is not shown";
        return press(world, command, *window, window->contentView, button);
    };
}

template <typename T>
std::shared_ptr<T> findControl(const kit::ViewRef& root, const std::function<bool(const T&)>& matches) {
    std::shared_ptr<T> found;
    walk(root, [&](const kit::ViewRef& v) {
        if (found) return;
        if (auto control = std::dynamic_pointer_cast<T>(v); control && matches(*control)) found = control;
    });
    return found;
}

// A control's row label: the identifier of the nearest labelled row around it.
std::string rowOf(const kit::View& view) {
    for (const kit::View* up = view.superview(); up; up = up->superview())
        if (!up->identifier().empty()) return up->identifier();
    return {};
}

}  // namespace

Action parseAgree(Args&) { return parseAnswer("agree", "I Agree"); }
Action parseDecline(Args&) { return parseAnswer("decline", "Quit"); }

Action parseClickStatusItem(Args&) {
    return [](World& world, std::ostream&) -> Result {
        if (!world.running()) return "click-status-item: Durazizi is not running";
        const auto frame = world.desktop().application().statusItemFrame();
        if (!frame) return "click-status-item: Durazizi has no status item";
        clickPoint(world, frame->center());
        return std::nullopt;
    };
}

Action parseStep(Args& args) {
    const std::string prefix = args.text("a stepper's label");
    const std::string direction = args.word("up or down");
    if (!args.error() && direction != "up" && direction != "down") args.fail("expected up or down, got '" + direction + "'");
    const auto times = args.hasMore() ? args.integer("a count", 1, kMaxSteps) : 1;
    return [prefix, up = direction == "up", times](World& world, std::ostream&) -> Result {
        if (!world.running()) return "step: Durazizi is not running";
        for (std::int64_t i = 0; i < times; ++i) {
            // The window rebuilds its controls after each change: find it again.
            auto window = frontWindow(world);
            if (!window) return std::string("step: Durazizi shows no window");
            auto stepper = findControl<kit::Stepper>(window->contentView, [&](const kit::Stepper& s) {
                return s.title().starts_with(prefix) || rowOf(s).starts_with(prefix);
            });
            if (!stepper) return "step: no stepper \"" + prefix + "\" in \"" + window->title + "\"";
            revealInScroll(*stepper);
            const kit::Rect arrow = up ? stepper->upArrowRect() : stepper->downArrowRect();
            const kit::Point at = onScreen(*window, *stepper, arrow.center());
            if (auto problem = clickAt(world, "step", *window, stepper.get(), at,
                                       "the stepper " + quoted(prefix) + " in " + quoted(window->title)))
                return problem;
        }
        return std::nullopt;
    };
}

Action parseSlide(Args& args) {
    const std::string label = args.text("a slider's label");
    const double value = args.number("a value");
    return [label, value](World& world, std::ostream&) -> Result {
        if (!world.running()) return "slide: Durazizi is not running";
        auto window = frontWindow(world);
        if (!window) return std::string("slide: Durazizi shows no window");
        auto slider = findControl<kit::Slider>(window->contentView,
                                               [&](const kit::Slider& s) { return s.title() == label; });
        if (!slider) return "slide: no slider \"" + label + "\" in \"" + window->title + "\"";
        revealInScroll(*slider);
        // Press on the knob, let go where the value lies.
        const kit::Point from = onScreen(*window, *slider, slider->pointForValue(slider->value()));
        const kit::Point to = onScreen(*window, *slider, slider->pointForValue(value));
        if (auto problem = reach(world, "slide", *window, slider.get(), from,
                                 "the slider " + quoted(label) + " in " + quoted(window->title)))
            return problem;
        world.desktop().input().mouseDown(from);
        world.desktop().input().mouseUp(to);
        return std::nullopt;
    };
}

namespace {

// The open menu of a pop-up button, where the window shows it.
std::shared_ptr<kit::PopUpMenu> openMenu(const kit::ViewRef& root) {
    return findControl<kit::PopUpMenu>(root, [](const kit::PopUpMenu&) { return true; });
}

}  // namespace

Action parsePick(Args& args) {
    const std::string label = args.text("a picker's label");
    const std::string option = args.text("an option");
    return [label, option](World& world, std::ostream&) -> Result {
        if (!world.running()) return "pick: Durazizi is not running";
        auto window = frontWindow(world);
        if (!window) return std::string("pick: Durazizi shows no window");
        auto picker = findControl<kit::PopUpButton>(window->contentView, [&](const kit::PopUpButton& b) {
            return b.identifier() == label || rowOf(b) == label;
        });
        if (!picker) return "pick: no picker \"" + label + "\" in \"" + window->title + "\"";
        const auto& items = picker->itemTitles();
        if (std::find(items.begin(), items.end(), option) == items.end())
            return "pick: the picker \"" + label + "\" has no option \"" + option + "\"";
        // As a user does: click the button, then the item in the menu it opened.
        revealInScroll(*picker);
        const std::string where = "the picker " + quoted(label) + " in " + quoted(window->title);
        if (auto problem = clickAt(world, "pick", *window, picker.get(),
                                   onScreen(*window, *picker, picker->bounds().center()), where))
            return problem;
        auto menu = openMenu(window->contentView);
        if (!menu) return "pick: " + where + " opened no menu";
        for (std::size_t i = 0; i < menu->items().size(); ++i) {
            if (menu->items()[i] != option) continue;
            return clickAt(world, "pick", *window, menu.get(), onScreen(*window, *menu, menu->itemRect(i).center()),
                           quoted(option) + " in the menu of " + where);
        }
        return "pick: the menu of " + where + " has no item \"" + option + "\"";
    };
}

Action parseCloseWindow(Args& args) {
    const std::string title = args.text("a window title");
    return [title](World& world, std::ostream&) -> Result {
        if (!world.running()) return "close-window: Durazizi is not running";
        auto window = windowTitled(world, title);
        if (!window) return "close-window: no window \"" + title + "\" is shown";
        if (!(window->styleMask & platform::NSWindowStyleMaskClosable))
            return "close-window: \"" + title + "\" has no close button";
        return clickAt(world, "close-window", *window, nullptr, {window->frame.minX() + 15, window->frame.minY() + 11},
                       "the close button of " + quoted(title));
    };
}

// --- queries -----------------------------------------------------------------------------

namespace {

std::string strings(const std::vector<std::string>& texts) {
    std::vector<std::string> items;
    for (const auto& t : texts) items.push_back(json::string(t));
    return json::array(items);
}

std::string firstLabel(const kit::ViewRef& root) {
    std::string text;
    walk(root, [&](const kit::ViewRef& v) {
        if (auto* label = dynamic_cast<kit::Label*>(v.get()); label && text.empty()) text = label->text();
    });
    return text;
}

std::string panelJson(World& world) {
    auto panel = world.running() ? menuBarPanel(world) : std::nullopt;
    if (!panel) {
        return json::Object()
            .add("visible", json::boolean(false))
            .add("frame", json::null())
            .add("switches", json::array({}))
            .add("permissions", json::array({}))
            .add("commands", json::array({}))
            .str();
    }
    std::vector<std::string> switches, permissions, commands;
    walk(panel->contentView, [&](const kit::ViewRef& v) {
        if (auto* s = dynamic_cast<kit::Switch*>(v.get())) {
            switches.push_back(
                json::Object().add("label", json::string(s->title())).add("on", json::boolean(s->isOn())).str());
        } else if (auto* b = dynamic_cast<kit::Button*>(v.get())) {
            // A permission row is the row around its "Grant" button, titled by its first text.
            if (b->title() == "Grant" && b->superview()) {
                kit::ViewRef row = b->superview()->shared_from_this();
                permissions.push_back(firstLabel(row));
            } else if (!b->isBordered()) {
                commands.push_back(b->title());
            }
        }
    });
    return json::Object()
        .add("visible", json::boolean(true))
        .add("frame", json::rect(panel->frame))
        .add("switches", json::array(switches))
        .add("permissions", strings(permissions))
        .add("commands", strings(commands))
        .str();
}

std::string controlJson(const char* kind, const std::string& label, const std::string& value) {
    return json::Object().add("kind", json::string(kind)).add("label", json::string(label)).add("value", value).str();
}

// What the selected tab shows of its content: the scroll view inside the
// tab's area, as laid out and drawn; a tab without one shows all it holds.
std::string tabScrollJson(const kit::ViewRef& root) {
    kit::ViewRef area = kit::findView(root, kit::ui::kTabContentIdentifier);
    if (!area) return json::null();
    auto scroll = findControl<kit::ScrollView>(area, [](const kit::ScrollView&) { return true; });
    double content = area->bounds().height(), visible = area->bounds().height();
    bool scroller = false;
    if (scroll) {
        // The part of the scroll view the tab's area does not cut off.
        const kit::Rect a = kit::frameInRoot(*area), s = kit::frameInRoot(*scroll);
        visible = std::max(0.0, std::min(a.maxY(), s.maxY()) - std::max(a.minY(), s.minY()));
        content = scroll->contentHeight();
        scroller = scroll->scrollerKnobRect().has_value();
    }
    return json::Object()
        .add("contentHeight", json::number(content))
        .add("visibleHeight", json::number(visible))
        .add("scroller", json::boolean(scroller))
        .str();
}

std::string prefsJson(World& world) {
    auto window = world.running() ? windowTitled(world, kPrefsTitle) : std::nullopt;
    if (!window) {
        return json::Object()
            .add("visible", json::boolean(false))
            .add("tab", json::null())
            .add("tabs", json::array({}))
            .add("controls", json::array({}))
            .add("scroll", json::null())
            .str();
    }
    std::string tab = json::null();
    std::vector<std::string> tabs, controls;
    walk(window->contentView, [&](const kit::ViewRef& v) {
        if (auto* seg = dynamic_cast<kit::SegmentedControl*>(v.get())) {
            const auto selected = seg->selected();
            tabs = seg->labels();
            if (selected) tab = json::string(seg->labels()[*selected]);
        } else if (auto* popUp = dynamic_cast<kit::PopUpButton*>(v.get())) {
            controls.push_back(controlJson("picker", popUp->identifier(),
                                           popUp->indexOfSelectedItem() ? json::string(popUp->title()) : json::null()));
        } else if (auto* s = dynamic_cast<kit::Switch*>(v.get())) {
            controls.push_back(controlJson("switch", s->title(), json::boolean(s->isOn())));
        } else if (auto* t = dynamic_cast<kit::PushToggle*>(v.get())) {
            controls.push_back(controlJson("toggle", t->title(), json::boolean(t->isOn())));
        } else if (auto* st = dynamic_cast<kit::Stepper*>(v.get())) {
            controls.push_back(controlJson("stepper", st->title(), json::number(st->value())));
        } else if (auto* sl = dynamic_cast<kit::Slider*>(v.get())) {
            controls.push_back(controlJson("slider", sl->title(), json::number(sl->value())));
        } else if (auto* link = dynamic_cast<kit::Link*>(v.get())) {
            controls.push_back(controlJson("link", link->title(), json::null()));
        } else if (auto* b = dynamic_cast<kit::Button*>(v.get())) {
            controls.push_back(controlJson("button", b->title(), json::null()));
        }
    });
    return json::Object()
        .add("visible", json::boolean(true))
        .add("tab", tab)
        .add("tabs", strings(tabs))
        .add("controls", json::array(controls))
        .add("scroll", tabScrollJson(window->contentView))
        .str();
}

std::string termsJson(World& world) {
    auto window = world.running() ? windowTitled(world, kTermsTitle) : std::nullopt;
    std::vector<std::string> links, buttons;
    if (window) {
        walk(window->contentView, [&](const kit::ViewRef& v) {
            if (auto* link = dynamic_cast<kit::Link*>(v.get())) {
                links.push_back(json::Object()
                                    .add("text", json::string(link->title()))
                                    .add("url", json::string(link->url()))
                                    .str());
            } else if (auto* b = dynamic_cast<kit::Button*>(v.get())) {
                buttons.push_back(b->title());
            }
        });
    }
    return json::Object()
        .add("visible", json::boolean(window.has_value()))
        .add("links", json::array(links))
        .add("buttons", strings(buttons))
        .str();
}

std::string guideJson(World& world) {
    auto window = world.running() ? windowTitled(world, kGuideTitle) : std::nullopt;
    std::vector<std::string> items;
    if (window) {
        // Each row of the scrolling list is titled by its first text.
        walk(window->contentView, [&](const kit::ViewRef& v) {
            auto* scroll = dynamic_cast<kit::ScrollView*>(v.get());
            if (!scroll || !scroll->documentView()) return;
            for (const kit::ViewRef& list : scroll->documentView()->subviews())
                for (const kit::ViewRef& row : list->subviews())
                    items.push_back(json::Object().add("title", json::string(firstLabel(row))).str());
        });
    }
    return json::Object().add("visible", json::boolean(window.has_value())).add("items", json::array(items)).str();
}

std::string statusItemJson(World& world) {
    const auto frame = world.running() ? world.desktop().application().statusItemFrame() : std::nullopt;
    return json::Object().add("frame", frame ? json::rect(*frame) : json::null()).str();
}

Action printing(std::string (*answer)(World&)) {
    return [answer](World& world, std::ostream& out) -> Result {
        out << answer(world) << '\n';
        out.flush();
        return std::nullopt;
    };
}

}  // namespace

std::optional<Action> parseUiQuery(const std::string& what) {
    if (what == "panel") return printing(panelJson);
    if (what == "prefs") return printing(prefsJson);
    if (what == "terms") return printing(termsJson);
    if (what == "guide") return printing(guideJson);
    if (what == "status-item") return printing(statusItemJson);
    return std::nullopt;
}

}  // namespace scenario
