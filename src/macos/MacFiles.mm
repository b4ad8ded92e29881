#include "macos/MacFiles.h"

#import <Foundation/Foundation.h>

namespace macos {

std::vector<std::string> MacFiles::urlsForDirectory(platform::SearchPathDirectory directory,
                                                    platform::SearchPathDomainMask domain) {
    std::vector<std::string> result;
    @autoreleasepool {
        NSArray* urls = [[NSFileManager defaultManager] URLsForDirectory:static_cast<NSSearchPathDirectory>(directory)
                                                               inDomains:static_cast<NSSearchPathDomainMask>(domain)];
        for (NSURL* url in urls) {
            const char* path = [[url path] fileSystemRepresentation];
            if (path) result.emplace_back(path);
        }
    }
    return result;
}

std::string MacFiles::temporaryDirectory() {
    @autoreleasepool {
        const char* path = [NSTemporaryDirectory() fileSystemRepresentation];
        std::string result = path ? path : "/tmp/";
        if (result.empty() || result.back() != '/') result += '/';
        return result;
    }
}

}  // namespace macos
