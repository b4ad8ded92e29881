#pragma once

#include "kit/View.h"

namespace durazizi {

// A content of the special panel. The panel tells it when it has just been
// shown, and when it is about to be hidden or replaced.
class SpecialContent : public kit::View {
public:
    using kit::View::View;
    virtual void viewDidShow() = 0;
    virtual void viewWillHide() = 0;
};

}  // namespace durazizi
