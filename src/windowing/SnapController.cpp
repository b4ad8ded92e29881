#include "windowing/SnapController.h"

namespace durazizi {

void SnapController::start() { ++startCount_; }

}  // namespace durazizi
