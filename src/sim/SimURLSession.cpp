#include "sim/SimURLSession.h"

#include <utility>

#include "sim/KeptRecords.h"

namespace sim {

void SimURLSession::dataTask(const std::string& url, DataTaskHandler completion) {
    std::shared_ptr<platform::URLSession> upstream;
    {
        std::lock_guard lock(mutex_);
        keepRecord(requested_, url);
        upstream = upstream_;
    }
    runLoop_.asyncGlobal(platform::QualityOfService::Default,
                         [this, url, upstream = std::move(upstream), completion = std::move(completion)]() mutable {
                             if (auto bytes = players_.servedArtwork(url)) {
                                 completion(std::move(bytes), std::nullopt);
                             } else if (upstream) {
                                 upstream->dataTask(url, std::move(completion));
                             } else {
                                 completion(std::nullopt, std::string("The Internet connection appears to be offline."));
                             }
                         });
}

void SimURLSession::useUpstream(std::shared_ptr<platform::URLSession> upstream) {
    std::lock_guard lock(mutex_);
    upstream_ = std::move(upstream);
}

std::vector<std::string> SimURLSession::requested() const {
    std::lock_guard lock(mutex_);
    return requested_;
}

}  // namespace sim
