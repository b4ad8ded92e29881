#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/URLSession.h"
#include "sim/SimRunLoop.h"
#include "sim/SimScripting.h"

namespace sim {

// The shared URL session of the simulated system. The simulated world is
// offline except for the servers it runs itself (Spotify's artwork server);
// a host may hand other addresses on to a real session.
class SimURLSession final : public platform::URLSession {
public:
    SimURLSession(SimRunLoop& runLoop, const SimScripting& players) : runLoop_(runLoop), players_(players) {}

    void dataTask(const std::string& url, DataTaskHandler completion) override;

    void useUpstream(std::shared_ptr<platform::URLSession> upstream);
    // The addresses asked for, in order (the latest kKeptRecords).
    std::vector<std::string> requested() const;

private:
    SimRunLoop& runLoop_;
    const SimScripting& players_;
    mutable std::mutex mutex_;
    std::shared_ptr<platform::URLSession> upstream_;
    std::vector<std::string> requested_;
};

}  // namespace sim
