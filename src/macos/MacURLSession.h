#pragma once

#include "macos/CocoaHelpers.h"
#include "platform/URLSession.h"

namespace macos {

// NSURLSession with a delegate, so that every redirect is checked (https
// only, at most five) and the body is counted as it arrives; the same
// byte and time bounds as the Linux session. Completions run on the
// session's serial delegate queue, never on the main thread.
class MacURLSession final : public platform::URLSession {
public:
    MacURLSession();
    ~MacURLSession() override;
    void dataTask(const std::string& url, DataTaskHandler completion) override;

    struct State;

private:
    std::unique_ptr<State> state_;
};

}  // namespace macos
