// Check-only declarations of the EventKit names the macOS backend uses, from
// Apple's public documentation.
#pragma once

#import <AppKit/AppKit.h>

typedef NSUInteger EKEntityType;
enum { EKEntityTypeEvent = 0, EKEntityTypeReminder = 1 };
typedef NSInteger EKAuthorizationStatus;
enum {
    EKAuthorizationStatusNotDetermined = 0,
    EKAuthorizationStatusRestricted = 1,
    EKAuthorizationStatusDenied = 2,
    EKAuthorizationStatusFullAccess = 3,
    EKAuthorizationStatusWriteOnly = 4,
};
typedef void (^EKEventStoreRequestAccessCompletionHandler)(BOOL granted, NSError* error);

@interface EKCalendar : NSObject
@property(readonly) NSString* calendarIdentifier;
@property(copy) NSString* title;
@property(copy) NSColor* color;
@end

@interface EKEvent : NSObject
@property(copy) NSString* title;
@property(getter=isAllDay) BOOL allDay;
@property(copy) NSDate* startDate;
@property(copy) NSDate* endDate;
@property(strong) EKCalendar* calendar;
@end

@interface EKEventStore : NSObject
+ (EKAuthorizationStatus)authorizationStatusForEntityType:(EKEntityType)entityType;
- (void)requestFullAccessToEventsWithCompletion:(EKEventStoreRequestAccessCompletionHandler)completion;  // macOS 14
- (void)requestAccessToEntityType:(EKEntityType)entityType completion:(EKEventStoreRequestAccessCompletionHandler)completion;
- (NSPredicate*)predicateForEventsWithStartDate:(NSDate*)startDate
                                        endDate:(NSDate*)endDate
                                      calendars:(NSArray<EKCalendar*>*)calendars;
- (NSArray<EKEvent*>*)eventsMatchingPredicate:(NSPredicate*)predicate;
@end
