#include "macos/MacURLSession.h"

#import <Foundation/Foundation.h>

#include <dispatch/dispatch.h>

#include <map>
#include <mutex>
#include <vector>

#include "macos/ObjCRef.h"

namespace {

// One load in flight: its bytes so far, its redirects so far, its completion.
struct Load {
    std::vector<std::uint8_t> bytes;
    int redirects = 0;
    bool tooLarge = false;
    long status = 0;
    platform::URLSession::DataTaskHandler completion;
};

}  // namespace

@interface DurazziziSessionDelegate : NSObject <NSURLSessionDataDelegate> {
   @public
    macos::helpers::DownloadLimits limits;
    std::mutex mutex;
    std::map<NSUInteger, Load> loads;
}
@end

@implementation DurazziziSessionDelegate

- (void)URLSession:(NSURLSession*)session
                          task:(NSURLSessionTask*)task
    willPerformHTTPRedirection:(NSHTTPURLResponse*)response
                    newRequest:(NSURLRequest*)request
             completionHandler:(void (^)(NSURLRequest*))completionHandler {
    const char* target = [[[request URL] absoluteString] UTF8String];
    bool allowed = false;
    {
        std::lock_guard lock(mutex);
        auto it = loads.find([task taskIdentifier]);
        if (it != loads.end() && target != nullptr &&
            macos::helpers::redirectAllowed(target, it->second.redirects, limits)) {
            ++it->second.redirects;
            allowed = true;
        }
    }
    // Refusing the redirect hands back the 3xx response, which the status
    // check then turns into an error.
    completionHandler(allowed ? request : nil);
}

- (void)URLSession:(NSURLSession*)session
              dataTask:(NSURLSessionDataTask*)dataTask
    didReceiveResponse:(NSURLResponse*)response
     completionHandler:(void (^)(NSURLSessionResponseDisposition))completionHandler {
    bool allow = true;
    {
        std::lock_guard lock(mutex);
        auto it = loads.find([dataTask taskIdentifier]);
        if (it == loads.end()) {
            allow = false;
        } else {
            if ([response isKindOfClass:[NSHTTPURLResponse class]]) {
                it->second.status = static_cast<long>([static_cast<NSHTTPURLResponse*>(response) statusCode]);
            }
            // A body announced too large is refused before it is sent.
            if (macos::helpers::overByteLimit([response expectedContentLength], 0, limits)) {
                it->second.tooLarge = true;
                allow = false;
            }
        }
    }
    completionHandler(allow ? NSURLSessionResponseAllow : NSURLSessionResponseCancel);
}

- (void)URLSession:(NSURLSession*)session dataTask:(NSURLSessionDataTask*)dataTask didReceiveData:(NSData*)data {
    bool cancel = false;
    {
        std::lock_guard lock(mutex);
        auto it = loads.find([dataTask taskIdentifier]);
        if (it == loads.end() || it->second.tooLarge) return;
        Load& load = it->second;
        if (macos::helpers::overByteLimit(-1, load.bytes.size() + [data length], limits)) {
            load.tooLarge = true;
            load.bytes.clear();
            cancel = true;
        } else {
            const auto* bytes = static_cast<const std::uint8_t*>([data bytes]);
            load.bytes.insert(load.bytes.end(), bytes, bytes + [data length]);
        }
    }
    if (cancel) [dataTask cancel];
}

- (void)URLSession:(NSURLSession*)session task:(NSURLSessionTask*)task didCompleteWithError:(NSError*)error {
    Load load;
    {
        std::lock_guard lock(mutex);
        auto it = loads.find([task taskIdentifier]);
        if (it == loads.end()) return;
        load = std::move(it->second);
        loads.erase(it);
    }
    if (!load.completion) return;
    if (load.tooLarge) {
        load.completion(std::nullopt, "the response is too large");
    } else if (error != nil) {
        const char* text = [[error localizedDescription] UTF8String];
        load.completion(std::nullopt, std::string(text ? text : "the download failed"));
    } else if (auto statusError = macos::helpers::httpStatusError(load.status)) {
        load.completion(std::nullopt, *statusError);
    } else {
        load.completion(std::move(load.bytes), std::nullopt);
    }
}

@end

namespace macos {

struct MacURLSession::State {
    ObjCRef<DurazziziSessionDelegate> delegate;
    ObjCRef<NSOperationQueue> queue;
    ObjCRef<NSURLSession> session;
};

MacURLSession::MacURLSession() : state_(std::make_unique<State>()) {
    state_->delegate = ObjCRef<DurazziziSessionDelegate>::adopt([[DurazziziSessionDelegate alloc] init]);
    state_->queue = ObjCRef<NSOperationQueue>::adopt([[NSOperationQueue alloc] init]);
    // One delegate callback at a time, off the main thread.
    [state_->queue.get() setMaxConcurrentOperationCount:1];
    const helpers::DownloadLimits& limits = state_->delegate.get()->limits;
    // Nothing is kept between loads: no cookies, no cache, no credentials.
    NSURLSessionConfiguration* configuration = [NSURLSessionConfiguration ephemeralSessionConfiguration];
    // NSURLSession's request timeout is the longest wait for the next byte
    // (the nearest it has to a connect timeout); the resource timeout bounds
    // the whole load.
    [configuration setTimeoutIntervalForRequest:limits.connectTimeoutSeconds];
    [configuration setTimeoutIntervalForResource:limits.timeoutSeconds];
    state_->session = ObjCRef<NSURLSession>::retain([NSURLSession sessionWithConfiguration:configuration
                                                                                  delegate:state_->delegate.get()
                                                                             delegateQueue:state_->queue.get()]);
}

MacURLSession::~MacURLSession() {
    // The session keeps its delegate until it is invalidated.
    [state_->session.get() finishTasksAndInvalidate];
}

void MacURLSession::dataTask(const std::string& url, DataTaskHandler completion) {
    auto fail = [&](const char* message) {
        auto shared = std::make_shared<DataTaskHandler>(std::move(completion));
        std::string text = message;
        dispatch_async(dispatch_get_global_queue(QOS_CLASS_UTILITY, 0), ^{
            (*shared)(std::nullopt, text);
        });
    };
    if (!helpers::downloadAllowed(url)) return fail("only https addresses are loaded");
    NSString* text = [NSString stringWithUTF8String:url.c_str()];
    NSURL* native = text ? [NSURL URLWithString:text] : nil;
    if (native == nil) return fail("the address is not a URL");
    NSURLSessionDataTask* task = [state_->session.get() dataTaskWithURL:native];
    if (task == nil) return fail("cannot start a download");
    DurazziziSessionDelegate* delegate = state_->delegate.get();
    {
        std::lock_guard lock(delegate->mutex);
        delegate->loads[[task taskIdentifier]].completion = std::move(completion);
    }
    [task resume];
}

}  // namespace macos
