#include "linux/XdgFiles.h"

namespace linuxhost {

XdgFiles::XdgFiles(std::string stateHome, std::string tempDir)
    : stateHome_(std::move(stateHome)), tempDir_(std::move(tempDir)) {}

std::vector<std::string> XdgFiles::urlsForDirectory(platform::SearchPathDirectory directory,
                                                    platform::SearchPathDomainMask domain) {
    if (directory == platform::NSLibraryDirectory && domain == platform::NSUserDomainMask) {
        return {stateHome_ + "/durazizi"};
    }
    return {};
}

std::string XdgFiles::temporaryDirectory() {
    // NSTemporaryDirectory always ends with a slash, and callers append to it.
    if (tempDir_.empty() || tempDir_.back() != '/') return tempDir_ + "/";
    return tempDir_;
}

}  // namespace linuxhost
