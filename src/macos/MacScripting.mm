#include "macos/MacScripting.h"

#import <Foundation/Foundation.h>

#include <dispatch/dispatch.h>

#include <cassert>
#include <chrono>

#include "macos/MacRunLoop.h"
#include "macos/ObjCRef.h"

namespace macos {

struct MacScripting::Queue {
    dispatch_queue_t serial = dispatch_queue_create("durazizi.applescript", DISPATCH_QUEUE_SERIAL);
    std::mutex mutex;
    int queued = 0;   // scripts handed to the queue and not finished
};

namespace {

// One script's result, shared between the caller that waits and the queue
// that runs it; the caller may have given up by the time it is filled.
struct Outcome {
    std::mutex mutex;
    std::condition_variable ready;
    bool done = false;
    bool created = false;
    std::optional<platform::NSAppleEventDescriptor> descriptor;
    std::optional<platform::NSAppleScriptError> error;
};

std::optional<std::string> text(NSString* s) {
    if (s == nil) return std::nullopt;
    const char* utf8 = [s UTF8String];
    return utf8 ? std::optional<std::string>(utf8) : std::nullopt;
}

void run(const std::string& source, Outcome& outcome) {
    @autoreleasepool {
        NSString* text_ = [NSString stringWithUTF8String:source.c_str()];
        // A fresh script per run: nothing of one player's answer stays in the next.
        ObjCRef<NSAppleScript> owned;
        if (text_) owned = ObjCRef<NSAppleScript>::adopt([[NSAppleScript alloc] initWithSource:text_]);
        NSAppleScript* script = owned.get();
        outcome.created = script != nil;
        if (script == nil) return;
        NSDictionary* errorInfo = nil;
        NSAppleEventDescriptor* result = [script executeAndReturnError:&errorInfo];
        NSData* data = [result data];
        if (result != nil && [data length] > MacScripting::kMaxResultBytes) {
            outcome.error = platform::NSAppleScriptError{"the answer is too large", std::nullopt};
            return;
        }
        if (result != nil) {
            platform::NSAppleEventDescriptor descriptor;
            descriptor.stringValue = text([result stringValue]);
            const auto* bytes = static_cast<const std::uint8_t*>([data bytes]);
            descriptor.data.assign(bytes, bytes + [data length]);
            outcome.descriptor = std::move(descriptor);
        }
        if (errorInfo != nil) {
            platform::NSAppleScriptError error;
            id message = [errorInfo objectForKey:NSAppleScriptErrorMessage];
            if ([message isKindOfClass:[NSString class]]) error.message = text(message);
            id number = [errorInfo objectForKey:NSAppleScriptErrorNumber];
            if ([number isKindOfClass:[NSNumber class]]) error.number = [static_cast<NSNumber*>(number) intValue];
            outcome.error = std::move(error);
        }
    }
}

}  // namespace

MacScripting::MacScripting() : queue_(std::make_shared<Queue>()) {}

MacScripting::~MacScripting() = default;

std::optional<platform::NSAppleEventDescriptor> MacScripting::executeAppleScript(
    const std::string& source, bool* created, std::optional<platform::NSAppleScriptError>* error) {
    // Waiting here on the main thread would freeze the interface for as long
    // as the player takes.
    assert(!onMainThread() && "scripts are run off the main thread");
    if (created) *created = true;
    {
        std::lock_guard lock(queue_->mutex);
        if (queue_->queued >= kMaxQueued) {
            if (error) *error = platform::NSAppleScriptError{"the script queue is full", std::nullopt};
            return std::nullopt;
        }
        ++queue_->queued;
    }
    auto outcome = std::make_shared<Outcome>();
    std::shared_ptr<Queue> queue = queue_;
    std::string copy = source;
    dispatch_async(queue_->serial, ^{
        Outcome result;
        run(copy, result);
        {
            std::lock_guard lock(outcome->mutex);
            outcome->created = result.created;
            outcome->descriptor = std::move(result.descriptor);
            outcome->error = std::move(result.error);
            outcome->done = true;
        }
        outcome->ready.notify_all();
        std::lock_guard lock(queue->mutex);
        --queue->queued;
    });
    std::unique_lock lock(outcome->mutex);
    const bool finished = outcome->ready.wait_for(lock, std::chrono::duration<double>(kWaitSeconds),
                                                  [&] { return outcome->done; });
    if (!finished) {
        if (error) *error = platform::NSAppleScriptError{"the application did not answer in time", -1712};
        return std::nullopt;
    }
    if (created) *created = outcome->created;
    if (error) *error = outcome->error;
    return outcome->descriptor;
}

}  // namespace macos
