#include "macos/MacCalendarStore.h"

#import <AppKit/AppKit.h>
#import <EventKit/EventKit.h>

#include <dispatch/dispatch.h>

#include <cmath>
#include <map>
#include <mutex>

#include "macos/ObjCRef.h"

namespace macos {

struct MacCalendarStore::State {
    ObjCRef<EKEventStore> store;
    std::mutex mutex;
    // One record per calendar, so that events of a calendar share it.
    std::map<std::string, std::shared_ptr<const platform::EKCalendar>> calendars;
};

namespace {

using Completion = std::function<void(bool, std::optional<std::string>)>;

std::string text(NSString* s) {
    const char* utf8 = s ? [s UTF8String] : nullptr;
    return utf8 ? utf8 : "";
}

// EventKit answers on a queue of its own, which the seam promises is never
// the main thread; the answer is moved off it if it ever is.
void answer(const std::shared_ptr<Completion>& completion, BOOL granted, NSError* error) {
    std::optional<std::string> message;
    if (error != nil) message = text([error localizedDescription]);
    const bool ok = granted;
    if ([NSThread isMainThread]) {
        dispatch_async(dispatch_get_global_queue(QOS_CLASS_UTILITY, 0), ^{
            (*completion)(ok, message);
        });
    } else {
        (*completion)(ok, message);
    }
}

std::optional<kit::Color> color(NSColor* native) {
    NSColor* rgb = [native colorUsingColorSpace:[NSColorSpace sRGBColorSpace]];
    if (rgb == nil) return std::nullopt;
    return kit::Color::rgba([rgb redComponent], [rgb greenComponent], [rgb blueComponent], [rgb alphaComponent]);
}

}  // namespace

MacCalendarStore::MacCalendarStore() : state_(std::make_unique<State>()) {
    state_->store = ObjCRef<EKEventStore>::adopt([[EKEventStore alloc] init]);
}

MacCalendarStore::~MacCalendarStore() = default;

platform::EKAuthorizationStatus MacCalendarStore::authorizationStatusForEntityType(platform::EKEntityType type) {
    // Authorized (before 14) and full access (14 on) share the value 3.
    return static_cast<platform::EKAuthorizationStatus>(
        [EKEventStore authorizationStatusForEntityType:static_cast<EKEntityType>(type)]);
}

void MacCalendarStore::requestFullAccessToEvents(Completion completion) {
    auto shared = std::make_shared<Completion>(std::move(completion));
    if (@available(macOS 14.0, *)) {
        [state_->store.get() requestFullAccessToEventsWithCompletion:^(BOOL granted, NSError* error) {
            answer(shared, granted, error);
        }];
    } else {
        [state_->store.get() requestAccessToEntityType:EKEntityTypeEvent
                                            completion:^(BOOL granted, NSError* error) {
                                                answer(shared, granted, error);
                                            }];
    }
}

void MacCalendarStore::requestAccessToEntityType(platform::EKEntityType type, Completion completion) {
    auto shared = std::make_shared<Completion>(std::move(completion));
    [state_->store.get() requestAccessToEntityType:static_cast<EKEntityType>(type)
                                        completion:^(BOOL granted, NSError* error) {
                                            answer(shared, granted, error);
                                        }];
}

std::vector<platform::EKEvent> MacCalendarStore::eventsMatching(double start, double end) {
    std::vector<platform::EKEvent> result;
    if (!std::isfinite(start) || !std::isfinite(end) || end <= start) return result;
    @autoreleasepool {
        EKEventStore* store = state_->store.get();
        NSPredicate* predicate = [store predicateForEventsWithStartDate:[NSDate dateWithTimeIntervalSince1970:start]
                                                                endDate:[NSDate dateWithTimeIntervalSince1970:end]
                                                              calendars:nil];
        NSArray* events = [store eventsMatchingPredicate:predicate];
        std::lock_guard lock(state_->mutex);
        for (EKEvent* event in events) {
            if (result.size() >= kMaxEvents) break;
            platform::EKEvent item;
            if (NSString* title = [event title]) item.title = text(title);
            item.isAllDay = [event isAllDay];
            item.startDate = [[event startDate] timeIntervalSince1970];
            item.endDate = [[event endDate] timeIntervalSince1970];
            if (EKCalendar* calendar = [event calendar]) {
                const std::string identifier = text([calendar calendarIdentifier]);
                auto& kept = state_->calendars[identifier];
                if (!kept) {
                    auto made = std::make_shared<platform::EKCalendar>();
                    made->title = text([calendar title]);
                    if (NSColor* c = [calendar color]) made->color = color(c);
                    kept = made;
                }
                item.calendar = kept;
            }
            result.push_back(std::move(item));
        }
    }
    return result;
}

}  // namespace macos
