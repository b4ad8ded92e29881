#include "sim/SimCalendarStore.h"

namespace sim {

platform::EKAuthorizationStatus SimCalendarStore::authorizationStatusForEntityType(platform::EKEntityType type) {
    if (type != platform::EKEntityTypeEvent) return platform::EKAuthorizationStatusNotDetermined;
    std::lock_guard lock(mutex_);
    return status_;
}

void SimCalendarStore::requestFullAccessToEvents(std::function<void(bool, std::optional<std::string>)> completion) {
    request(std::move(completion));
}

void SimCalendarStore::requestAccessToEntityType(platform::EKEntityType type,
                                                 std::function<void(bool, std::optional<std::string>)> completion) {
    if (type != platform::EKEntityTypeEvent) {
        runLoop_.asyncGlobal(platform::QualityOfService::Default, [completion = std::move(completion)] {
            if (completion) completion(false, std::nullopt);
        });
        return;
    }
    request(std::move(completion));
}

// The prompt appears only while nothing is decided; a decision already made
// is answered as it stands, as the privacy database does.
void SimCalendarStore::request(std::function<void(bool, std::optional<std::string>)> completion) {
    bool granted = false;
    {
        std::lock_guard lock(mutex_);
        ++requests_;
        if (status_ == platform::EKAuthorizationStatusNotDetermined ||
            (status_ == platform::EKAuthorizationStatusWriteOnly && grantOnRequest_)) {
            status_ = grantOnRequest_ ? platform::EKAuthorizationStatusFullAccess : platform::EKAuthorizationStatusDenied;
            grantOnRequest_ = false;
        }
        granted = status_ == platform::EKAuthorizationStatusFullAccess;
    }
    runLoop_.asyncGlobal(platform::QualityOfService::Default, [granted, completion = std::move(completion)] {
        if (completion) completion(granted, std::nullopt);
    });
}

std::vector<platform::EKEvent> SimCalendarStore::eventsMatching(double start, double end) {
    Reader reader;
    {
        std::lock_guard lock(mutex_);
        if (status_ != platform::EKAuthorizationStatusFullAccess || unreadable_ || !reader_) return {};
        reader = reader_;
    }
    return reader(start, end);
}

std::vector<platform::EKEvent> SimCalendarStore::storedEvents(double start, double end) {
    Reader reader;
    {
        std::lock_guard lock(mutex_);
        if (unreadable_ || !reader_) return {};
        reader = reader_;
    }
    return reader(start, end);
}

void SimCalendarStore::setStatus(platform::EKAuthorizationStatus status) {
    std::lock_guard lock(mutex_);
    status_ = status;
}

void SimCalendarStore::grantOnRequest() {
    std::lock_guard lock(mutex_);
    grantOnRequest_ = true;
}

void SimCalendarStore::useReader(Reader reader) {
    std::lock_guard lock(mutex_);
    reader_ = std::move(reader);
}

void SimCalendarStore::setUnreadable(bool unreadable) {
    std::lock_guard lock(mutex_);
    unreadable_ = unreadable;
}

int SimCalendarStore::accessRequests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

}  // namespace sim
