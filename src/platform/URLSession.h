#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// The shared NSURLSession. Completions run on the session's own background
// thread, never on the main thread.
class URLSession {
public:
    virtual ~URLSession() = default;
    // The bytes of a finished load; nullopt with an error text otherwise.
    using DataTaskHandler =
        std::function<void(std::optional<std::vector<std::uint8_t>> data, std::optional<std::string> error)>;
    // dataTaskWithURL:completionHandler: followed by resume.
    virtual void dataTask(const std::string& url, DataTaskHandler completion) = 0;
};

}  // namespace platform
