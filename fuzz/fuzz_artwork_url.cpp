// The artwork address a player hands back decides where the one download
// goes; it passes the URL check and the https test before anything leaves.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "kit/URL.h"
#include "specials/MediaControl.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const bool https = durazizi::isHttpsURL(text);
    auto url = kit::URL::fromString(text);
    if (https && !url) __builtin_trap();
    if (url) {
        // Everything the rest of the program asks of an accepted URL.
        std::string scheme = url->scheme();
        std::string path = url->standardizedPath();
        (void)url->isFileURL();
        const std::string host = url->host();
        const bool credentials = url->userInfo().has_value();
        if (https && (host.empty() || credentials)) __builtin_trap();
        auto again = kit::URL::fromString(url->absoluteString());
        if (!again || !(*again == *url)) __builtin_trap();
    }
    // A file URL we make ourselves from any path must pass our own check.
    if (!kit::URL::fromString(kit::URL::fileURL(text).absoluteString())) __builtin_trap();
    return 0;
}
