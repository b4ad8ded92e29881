#pragma once

#include <mutex>
#include <optional>
#include <type_traits>
#include <utility>

#include "platform/Platform.h"

namespace platform {

// A value made on first use and kept for the rest of the process. Installing
// a backend starts a new process as far as the system can tell, so the next
// use after an install makes the value afresh; nothing of an earlier
// process is carried over. Safe to use from any thread.
//
//     static platform::PerProcess gate{[] { return std::make_shared<TermsGate>(); }};
//     return gate.get();
template <typename Make>
class PerProcess {
public:
    using Value = std::invoke_result_t<Make&>;

    explicit PerProcess(Make make) : make_(std::move(make)) {}

    Value& get() {
        std::lock_guard lock(mutex_);
        const unsigned generation = processGeneration();
        if (!value_ || generation_ != generation) {
            value_.reset();   // the old one goes before the new one is made
            value_.emplace(make_());
            generation_ = generation;
        }
        return *value_;
    }

private:
    Make make_;
    std::mutex mutex_;
    std::optional<Value> value_;
    unsigned generation_ = 0;
};

}  // namespace platform
