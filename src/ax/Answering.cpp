#include "ax/Answering.h"

#include <algorithm>
#include <map>
#include <memory>

#include "ax/AX.h"
#include "platform/PerProcess.h"
#include "platform/Platform.h"

namespace durazizi::Answering {

namespace {

struct Pause {
    double until = 0;
    double length = 0;   // of the last pause; 0 = answering
};

// Main thread only, as every accessibility message is.
std::map<platform::pid_t, Pause>& pauses() {
    static platform::PerProcess table{[] { return std::make_shared<std::map<platform::pid_t, Pause>>(); }};
    return *table.get();
}

// Half the timeout: a refusal that came that late was the timeout passing,
// not an application saying no (which takes a round trip, milliseconds).
constexpr double kStall = kMessagingTimeout / 2;

}  // namespace

void limitMessagingTimeout() {
    platform::current().accessibility().setMessagingTimeout(AX::systemWide(), static_cast<float>(kMessagingTimeout));
}

bool mayAsk(platform::pid_t pid) {
    auto& table = pauses();
    auto it = table.find(pid);
    if (it == table.end()) return true;
    return platform::current().clock().now() >= it->second.until;
}

void note(platform::pid_t pid, platform::AXError error, double took) {
    auto& table = pauses();
    if (error != platform::kAXErrorCannotComplete || took < kStall) {
        table.erase(pid);
        return;
    }
    Pause& pause = table[pid];
    pause.length = pause.length > 0 ? std::min(pause.length * 2, kLongestPause) : kFirstPause;
    pause.until = platform::current().clock().now() + pause.length;
}

}  // namespace durazizi::Answering
