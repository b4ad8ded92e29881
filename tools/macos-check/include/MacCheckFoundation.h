// Check-only declarations of the Foundation names the macOS backend uses
// that GNUstep lacks or compiles out, from Apple's public documentation.
#pragma once

#import <Foundation/Foundation.h>

typedef struct {
    NSInteger majorVersion;
    NSInteger minorVersion;
    NSInteger patchVersion;
} NSOperatingSystemVersion;

@interface NSProcessInfo (MacCheckModern)
@property(readonly) NSOperatingSystemVersion operatingSystemVersion;
@end

@interface NSFileManager (MacCheckModern)
- (NSArray<NSURL*>*)URLsForDirectory:(NSSearchPathDirectory)directory inDomains:(NSSearchPathDomainMask)domainMask;
@end

@interface NSCalendar (MacCheckModern)
- (NSDate*)dateByAddingUnit:(NSCalendarUnit)unit value:(NSInteger)value toDate:(NSDate*)date options:(NSUInteger)options;
@end

// NSAppleScript: GNUstep has empty stubs.
extern NSString* const NSAppleScriptErrorMessage;
extern NSString* const NSAppleScriptErrorNumber;

@interface NSAppleEventDescriptor (MacCheckModern)
@property(readonly) NSString* stringValue;
@property(readonly) NSData* data;
@end

@interface NSAppleScript (MacCheckModern)
- (instancetype)initWithSource:(NSString*)source;
- (NSAppleEventDescriptor*)executeAndReturnError:(NSDictionary<NSString*, id>**)errorInfo;
@end

// NSURLSession: compiled out of GNUstep.
@class NSURLSession, NSURLSessionTask, NSURLSessionDataTask;

@interface NSURLSessionConfiguration : NSObject
+ (NSURLSessionConfiguration*)ephemeralSessionConfiguration;
@property NSTimeInterval timeoutIntervalForRequest;
@property NSTimeInterval timeoutIntervalForResource;
@property NSInteger HTTPMaximumConnectionsPerHost;
@end

typedef NSInteger NSURLSessionResponseDisposition;
enum { NSURLSessionResponseCancel = 0, NSURLSessionResponseAllow = 1 };

@protocol NSURLSessionDelegate <NSObject>
@end
@protocol NSURLSessionTaskDelegate <NSURLSessionDelegate>
@optional
- (void)URLSession:(NSURLSession*)session
                          task:(NSURLSessionTask*)task
    willPerformHTTPRedirection:(NSHTTPURLResponse*)response
                    newRequest:(NSURLRequest*)request
             completionHandler:(void (^)(NSURLRequest*))completionHandler;
- (void)URLSession:(NSURLSession*)session task:(NSURLSessionTask*)task didCompleteWithError:(NSError*)error;
@end
@protocol NSURLSessionDataDelegate <NSURLSessionTaskDelegate>
@optional
- (void)URLSession:(NSURLSession*)session
              dataTask:(NSURLSessionDataTask*)dataTask
    didReceiveResponse:(NSURLResponse*)response
     completionHandler:(void (^)(NSURLSessionResponseDisposition disposition))completionHandler;
- (void)URLSession:(NSURLSession*)session dataTask:(NSURLSessionDataTask*)dataTask didReceiveData:(NSData*)data;
@end

@interface NSURLSessionTask : NSObject
@property(readonly) NSUInteger taskIdentifier;
- (void)resume;
- (void)cancel;
@end
@interface NSURLSessionDataTask : NSURLSessionTask
@end

@interface NSURLSession : NSObject
+ (NSURLSession*)sessionWithConfiguration:(NSURLSessionConfiguration*)configuration
                                 delegate:(id<NSURLSessionDelegate>)delegate
                            delegateQueue:(NSOperationQueue*)queue;
- (NSURLSessionDataTask*)dataTaskWithURL:(NSURL*)url;
- (void)finishTasksAndInvalidate;
@end
