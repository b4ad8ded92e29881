#pragma once

#include <memory>
#include <string>
#include <vector>

#include "kit/Declarative.h"
#include "platform/WindowServer.h"

namespace durazizi {

struct GuideItem {
    std::string icon;    // system symbol name
    std::string title;
    std::string body;
};

// The how-to guide: a header and one row per feature.
struct GuideView {
    std::vector<GuideItem> items;
    GuideView();
    kit::ui::Node body() const;
};

// The guide window: made on the first show and kept; closing only hides it.
class GuideWindowController : public std::enable_shared_from_this<GuideWindowController> {
public:
    static constexpr double kContentWidth = 520;
    static constexpr double kContentHeight = 560;

    // One instance per process, made on first use.
    static std::shared_ptr<GuideWindowController> shared();

    void show();

    const std::shared_ptr<platform::Window>& window() const { return window_; }

private:
    std::shared_ptr<platform::Window> window_;
};

}  // namespace durazizi
