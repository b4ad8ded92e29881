#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "kit/Color.h"
#include "platform/Constants.h"

namespace platform {

// EKCalendar: what the Dock list reads of an event's calendar.
struct EKCalendar {
    std::string title;
    std::optional<kit::Color> color;   // none when the calendar has no colour of its own
};

// EKEvent, one occurrence: a recurring event answers one per instance.
struct EKEvent {
    std::optional<std::string> title;  // none for an event without a title
    bool isAllDay = false;
    double startDate = 0;              // seconds since 1970
    double endDate = 0;
    std::shared_ptr<const EKCalendar> calendar;
};

// EKEventStore
class CalendarStore {
public:
    virtual ~CalendarStore() = default;

    // +authorizationStatusForEntityType:
    virtual EKAuthorizationStatus authorizationStatusForEntityType(EKEntityType type) = 0;
    // -requestFullAccessToEventsWithCompletion: (macOS 14 and later); the
    // completion runs on a queue of the store's, never on the main thread.
    virtual void requestFullAccessToEvents(std::function<void(bool granted, std::optional<std::string> error)> completion) = 0;
    // -requestAccessToEntityType:completion: (earlier systems); same queue.
    virtual void requestAccessToEntityType(EKEntityType type,
                                           std::function<void(bool granted, std::optional<std::string> error)> completion) = 0;
    // -eventsMatchingPredicate: of predicateForEventsWithStartDate:endDate:calendars:nil:
    // every event of every calendar that overlaps [start, end), in the
    // store's own order. Empty without full access.
    virtual std::vector<EKEvent> eventsMatching(double start, double end) = 0;
};

}  // namespace platform
