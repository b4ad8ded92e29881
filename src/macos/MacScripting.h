#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>

#include "platform/Scripting.h"

namespace macos {

// NSAppleScript. Apple documents it as unsafe to run from several threads at
// once, so every script of the process runs on one serial queue, one after
// the other. A caller waits for its script at most kWait; a player that
// hangs keeps the queue busy, later callers are refused at once while
// kMaxQueued scripts wait, and no caller waits forever.
class MacScripting final : public platform::Scripting {
public:
    static constexpr double kWaitSeconds = 10;
    static constexpr int kMaxQueued = 4;
    // A player's answer larger than this (cover art included) is an error.
    static constexpr std::size_t kMaxResultBytes = 16 * 1024 * 1024;

    MacScripting();
    ~MacScripting() override;

    std::optional<platform::NSAppleEventDescriptor> executeAppleScript(
        const std::string& source, bool* created, std::optional<platform::NSAppleScriptError>* error) override;

    struct Queue;

private:
    std::shared_ptr<Queue> queue_;
};

}  // namespace macos
