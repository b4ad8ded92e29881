#pragma once

#include <cstddef>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/URLSession.h"

namespace linuxhost {

// Downloads with libcurl, each on a thread of its own. Only https is spoken,
// redirects included, and every load is bounded in bytes and in time: the
// address comes from another application, so nothing it points at is trusted
// to end, or to be small. An address with user information or without a
// well-formed host is refused before anything is sent.
class CurlURLSession final : public platform::URLSession {
public:
    struct Limits {
        std::size_t maxBytes = 4 * 1024 * 1024;
        long timeoutMs = 15000;          // the whole load
        long connectTimeoutMs = 8000;
        int maxRedirects = 5;
        std::string caFile;              // empty: the system's trust store
    };

    CurlURLSession();
    explicit CurlURLSession(Limits limits);
    // Waits for loads still running, which their timeout bounds.
    ~CurlURLSession() override;
    CurlURLSession(const CurlURLSession&) = delete;
    CurlURLSession& operator=(const CurlURLSession&) = delete;

    void dataTask(const std::string& url, DataTaskHandler completion) override;

private:
    struct Load {
        std::thread thread;
        bool done = false;
    };
    void reap(bool all);

    Limits limits_;
    std::mutex mutex_;
    std::list<Load> loads_;
};

}  // namespace linuxhost
