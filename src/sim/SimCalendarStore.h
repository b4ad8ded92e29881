#pragma once

#include <functional>
#include <mutex>
#include <vector>

#include "platform/CalendarStore.h"
#include "platform/RunLoop.h"

namespace sim {

// EventKit's store for the simulated account: the privacy decision is the
// sim's, the events come from a reader of calendar files the host plugs in
// (without one the account has no events).
class SimCalendarStore final : public platform::CalendarStore {
public:
    using Reader = std::function<std::vector<platform::EKEvent>(double start, double end)>;

    explicit SimCalendarStore(platform::RunLoop& runLoop) : runLoop_(runLoop) {}

    platform::EKAuthorizationStatus authorizationStatusForEntityType(platform::EKEntityType type) override;
    void requestFullAccessToEvents(std::function<void(bool, std::optional<std::string>)> completion) override;
    void requestAccessToEntityType(platform::EKEntityType type,
                                   std::function<void(bool, std::optional<std::string>)> completion) override;
    std::vector<platform::EKEvent> eventsMatching(double start, double end) override;

    void setStatus(platform::EKAuthorizationStatus status);
    // The user answers the next prompt with "Allow Full Access".
    void grantOnRequest();
    void useReader(Reader reader);
    // The store's files cannot be read: it answers no events.
    void setUnreadable(bool unreadable);
    int accessRequests() const;
    // What the account's calendars hold, whatever Durazizi may see.
    std::vector<platform::EKEvent> storedEvents(double start, double end);

private:
    void request(std::function<void(bool, std::optional<std::string>)> completion);

    platform::RunLoop& runLoop_;
    mutable std::mutex mutex_;
    platform::EKAuthorizationStatus status_ = platform::EKAuthorizationStatusNotDetermined;
    bool grantOnRequest_ = false;
    bool unreadable_ = false;
    int requests_ = 0;
    Reader reader_;
};

}  // namespace sim
