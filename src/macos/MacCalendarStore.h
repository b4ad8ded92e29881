#pragma once

#include "platform/CalendarStore.h"

namespace macos {

// EKEventStore: one store for the process. Reading needs full access:
// requestFullAccessToEvents on macOS 14 and later, requestAccessToEntityType
// before.
class MacCalendarStore final : public platform::CalendarStore {
public:
    // Events beyond this many in one range are dropped: the store's
    // contents come from anywhere the user subscribed to.
    static constexpr std::size_t kMaxEvents = 2000;

    MacCalendarStore();
    ~MacCalendarStore() override;

    platform::EKAuthorizationStatus authorizationStatusForEntityType(platform::EKEntityType type) override;
    void requestFullAccessToEvents(std::function<void(bool, std::optional<std::string>)> completion) override;
    void requestAccessToEntityType(platform::EKEntityType type,
                                   std::function<void(bool, std::optional<std::string>)> completion) override;
    std::vector<platform::EKEvent> eventsMatching(double start, double end) override;

    struct State;

private:
    std::unique_ptr<State> state_;
};

}  // namespace macos
