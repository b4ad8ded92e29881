#include "macos/MacLoginService.h"

#import <Foundation/Foundation.h>
#import <ServiceManagement/ServiceManagement.h>

namespace macos {

namespace {

void describe(NSError* error, std::string* out) {
    if (out == nullptr) return;
    const char* text = error ? [[error localizedDescription] UTF8String] : nullptr;
    *out = text ? text : "the login item could not be changed";
}

}  // namespace

platform::SMAppServiceStatus MacLoginService::status() {
    return static_cast<platform::SMAppServiceStatus>([[SMAppService mainAppService] status]);
}

bool MacLoginService::registerService(std::string* error) {
    NSError* failure = nil;
    if ([[SMAppService mainAppService] registerAndReturnError:&failure]) return true;
    describe(failure, error);
    return false;
}

bool MacLoginService::unregisterService(std::string* error) {
    NSError* failure = nil;
    if ([[SMAppService mainAppService] unregisterAndReturnError:&failure]) return true;
    describe(failure, error);
    return false;
}

}  // namespace macos
