#pragma once

namespace durazizi::LoginItem {

// Brings the application's login item in line with the wanted state; touches
// it only when the current state differs.
void set(bool enabled);
// Whether the login item is really registered and enabled now.
bool isEnabled();

}  // namespace durazizi::LoginItem
