#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// NSAppleEventDescriptor, the two views of a result the system reads.
struct NSAppleEventDescriptor {
    std::optional<std::string> stringValue;   // nullopt when the result has no text form
    std::vector<std::uint8_t> data;
};

// The error dictionary of executeAndReturnError:, the entries the system reads.
struct NSAppleScriptError {
    std::optional<std::string> message;   // NSAppleScriptErrorMessage
    std::optional<int> number;            // NSAppleScriptErrorNumber
};

// NSAppleScript. Execution is synchronous and may block for as long as the
// addressed application takes (a busy player, a consent dialog), so it is
// never called on the main thread.
class Scripting {
public:
    virtual ~Scripting() = default;
    // [[NSAppleScript alloc] initWithSource:] then executeAndReturnError:.
    // `created` is set to false when no script could be made from the source
    // (and nothing ran). A descriptor and an error may both come back.
    virtual std::optional<NSAppleEventDescriptor> executeAppleScript(const std::string& source, bool* created,
                                                                     std::optional<NSAppleScriptError>* error) = 0;
};

}  // namespace platform
