#pragma once

#include <vector>

#include "kit/Geometry.h"
#include "kit/View.h"
#include "platform/CalendarStore.h"
#include "specials/SpecialContent.h"

namespace durazizi {

// The list of upcoming events in the special panel: a header, one row per
// event (calendar colour, title, start time or "All day"), or a notice when
// there is nothing. Built once per showing, never updated; its frame's size
// is the size the panel takes. Not flipped: y grows upwards.
class CalendarContentView : public SpecialContent {
public:
    static constexpr double width = 320;

    explicit CalendarContentView(const std::vector<platform::EKEvent>& events);

    kit::Size fittingSize() const { return frame().size; }

    // Nothing to start or stop: the list holds no timers or observers.
    void viewDidShow() override {}
    void viewWillHide() override {}
};

}  // namespace durazizi
