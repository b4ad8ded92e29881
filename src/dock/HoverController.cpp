#include "dock/HoverController.h"

namespace durazizi {

void HoverController::start() {
    ++startCount_;
    running_ = true;
}

void HoverController::stop() { running_ = false; }

}  // namespace durazizi
