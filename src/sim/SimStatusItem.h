#pragma once

#include <functional>
#include <memory>
#include <optional>

#include "platform/Application.h"
#include "sim/World.h"

namespace sim {

class SimStatusBarButton final : public platform::StatusBarButton {
public:
    SimStatusBarButton(std::weak_ptr<World> world, int slot, double width)
        : world_(std::move(world)), slot_(slot), width_(width) {}

    void setImage(kit::ImageRef image) override { image_ = std::move(image); }
    kit::ImageRef image() const override { return image_; }
    void setAction(std::function<void()> action) override;
    void highlight(bool flag) override { highlighted_ = flag; }
    bool isHighlighted() const override { return highlighted_; }
    std::optional<kit::Rect> screenFrame() const override;

    // Shared so that a click keeps the action alive even if the action
    // replaces itself while it runs.
    std::shared_ptr<const std::function<void()>> action() const { return action_; }

private:
    std::weak_ptr<World> world_;
    int slot_;
    double width_;
    kit::ImageRef image_;
    bool highlighted_ = false;
    std::shared_ptr<const std::function<void()>> action_;
};

// NSStatusItem. The status bar holds items weakly: an item the process lets
// go of leaves the menu bar, as on macOS.
class SimStatusItem final : public platform::StatusItem {
public:
    SimStatusItem(std::weak_ptr<World> world, int slot, double length);

    double length() const override { return length_; }
    platform::StatusBarButton* button() override { return &button_; }
    SimStatusBarButton& simButton() { return button_; }

private:
    double length_;
    SimStatusBarButton button_;
};

}  // namespace sim
