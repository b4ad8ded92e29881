#include "windowing/InputTap.h"

namespace durazizi {

void InputTap::start() { ++startCount_; }

}  // namespace durazizi
