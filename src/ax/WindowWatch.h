#pragma once

#include <memory>
#include <vector>

#include "ax/WindowList.h"
#include "platform/Accessibility.h"

namespace durazizi {

// The window list of the application under the pointer, for the hover loop,
// which asks for it on every poll while the pointer rests on the icon. On a
// Mac every accessibility call is a round trip to that application, so the
// list is kept and read in full only when something changed.
//
// Two things tell it so. An accessibility observer hears the application's
// own notifications (a window created, the focused window changed) on the
// application element, and each listed window's (destroyed, minimized,
// brought back, retitled) on that window's element, which is where macOS
// delivers them. And since some applications never post them, and one that
// stops answering posts nothing, the list is checked against the
// application at least every `kCheckInterval` while it is in use: its
// windows, their numbers, titles and minimized states, a few calls per
// window where the full read costs several more.
class WindowWatch {
public:
    // Under a second, so that with the 50 ms poll a change shows within 1 s.
    static constexpr double kCheckInterval = 0.9;

    // The windows as `WindowList::windows` gives them, ordered by the
    // settings of this call, followed with `allSpaces` by the application's
    // windows on Spaces no display shows (`WindowList::otherSpaceWindows`),
    // which the window server's list is checked for as often.
    std::vector<WindowEntry> windows(platform::pid_t pid, bool includeMinimized, bool includePalettes, bool allSpaces,
                                     double now);

    // Forgets the list (and the observer): the next call reads afresh.
    void reset();

private:
    struct Watched;
    void read(Watched& watched);
    void readOtherSpaces(Watched& watched);
    std::shared_ptr<Watched> watched_;
};

}  // namespace durazizi
