#pragma once

#include "kit/View.h"

namespace kit {

// A plain view with its origin at the top-left, y growing down: the natural
// space for rows of tiles laid out from the top.
class FlippedView : public View {
public:
    using View::View;
    bool isFlipped() const override { return true; }
};

}  // namespace kit
