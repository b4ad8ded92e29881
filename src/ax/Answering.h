#pragma once

#include "platform/CFType.h"
#include "platform/Constants.h"

// Which processes answer accessibility messages. On a Mac each message waits
// for the target's main thread, and Durazizi must send it from its own main
// thread; a target that is busy, hung or stopped in a debugger holds ours for
// the whole messaging timeout (about 6 s unless set). So Durazizi keeps that
// timeout short, and a process that let it pass is "not answering": it gets
// no message at all for a pause that doubles each time it happens again, and
// ends as soon as the process answers anything. Resting the pointer on a hung
// application's icon then costs one short stall now and then, not one per
// message and poll.
namespace durazizi::Answering {

// A healthy application answers in a few milliseconds, and even one busy
// laying out a window within a frame or two; a quarter of a second is far
// beyond that, yet short enough to feel like a hitch rather than a freeze,
// and leaves room under the 300 ms a pointer may stop for unnoticed.
inline constexpr double kMessagingTimeout = 0.25;
// The first pause after a timeout, and the longest one. With the timeout
// above, a process that never answers costs at most 3 stalls (0.75 s) in any
// 10 s, and one that answers again is asked again within 4 s: longer pauses
// would save little and keep a Dock that came back blank for longer.
inline constexpr double kFirstPause = 2.0;
inline constexpr double kLongestPause = 4.0;

// Sets kMessagingTimeout as the default of every element
// (AXUIElementSetMessagingTimeout on the system-wide element). Once per process.
void limitMessagingTimeout();

// False while `pid` is paused after a timeout: send it nothing.
bool mayAsk(platform::pid_t pid);

// What a message to `pid` answered and how long it took (seconds). A
// kAXErrorCannotComplete after most of the timeout is the timeout passing;
// any other answer shows the process is there.
void note(platform::pid_t pid, platform::AXError error, double took);

}  // namespace durazizi::Answering
