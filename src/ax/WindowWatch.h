#pragma once

#include <memory>
#include <vector>

#include "ax/WindowList.h"
#include "platform/Accessibility.h"

namespace durazizi {

// The window list of the application under the pointer, read again only
// when the application says its windows changed. On a Mac every
// accessibility call is a round trip to that application, and the hover loop
// asks for its windows on every poll while the pointer rests on its icon.
//
// An accessibility observer on the application marks the list stale when a
// window is created, destroyed, minimized, brought back, retitled or brought
// forward. Where no observer can be made, the list is read again at most
// every `kRereadInterval`.
class WindowWatch {
public:
    static constexpr double kRereadInterval = 0.5;

    // The windows as `WindowList::windows` gives them, ordered by the
    // settings of this call.
    std::vector<WindowEntry> windows(platform::pid_t pid, bool includeMinimized, bool includePalettes, double now);

    // Forgets the list (and the observer): the next call reads afresh.
    void reset();

private:
    struct Watched;
    std::shared_ptr<Watched> watched_;
};

}  // namespace durazizi
