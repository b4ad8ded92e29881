// Check-only declarations of the ServiceManagement names the macOS backend
// uses, from Apple's public documentation.
#pragma once

#import <Foundation/Foundation.h>

typedef NSInteger SMAppServiceStatus;
enum {
    SMAppServiceStatusNotRegistered = 0,
    SMAppServiceStatusEnabled = 1,
    SMAppServiceStatusRequiresApproval = 2,
    SMAppServiceStatusNotFound = 3,
};

@interface SMAppService : NSObject   // macOS 13
@property(class, readonly) SMAppService* mainAppService;
- (BOOL)registerAndReturnError:(NSError**)error;
- (BOOL)unregisterAndReturnError:(NSError**)error;
@property(readonly) SMAppServiceStatus status;
@end
