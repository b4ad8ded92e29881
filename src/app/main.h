#pragma once

namespace durazizi {

// The process entry as `main` runs it: the shared application object, one
// AppDelegate as its delegate, and the platform's event loop. Returns 0 when
// the loop ends (at once on a host whose loop is driven from outside).
int applicationMain();

}  // namespace durazizi
