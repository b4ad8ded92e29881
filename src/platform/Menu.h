#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform {

class Menu;

// NSMenuItem. An item with a `target` runs it when chosen; an item without one
// sends `action` (a selector name such as "terminate:") down the responder
// chain, which the application object answers.
struct MenuItem {
    bool isSeparator = false;
    std::string title;
    std::string action;                  // selector name, for display and the responder chain
    std::function<void()> target;        // the action bound to an explicit target, if any
    std::string keyEquivalent;
    std::uint64_t keyEquivalentModifierMask = 0x100000;   // command
    std::shared_ptr<Menu> submenu;

    static MenuItem separator() { MenuItem m; m.isSeparator = true; m.keyEquivalentModifierMask = 0; return m; }
};

// NSMenu
class Menu {
public:
    explicit Menu(std::string title = {}) : title_(std::move(title)) {}

    const std::string& title() const { return title_; }
    std::vector<MenuItem>& items() { return items_; }
    const std::vector<MenuItem>& items() const { return items_; }
    MenuItem& addItem(MenuItem item) { items_.push_back(std::move(item)); return items_.back(); }

private:
    std::string title_;
    std::vector<MenuItem> items_;
};
using MenuRef = std::shared_ptr<Menu>;

}  // namespace platform
