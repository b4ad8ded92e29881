#include "linux/CurlURLSession.h"

#include <curl/curl.h>

#include <mutex>
#include <utility>
#include <vector>

#include "kit/URL.h"

namespace linuxhost {

namespace {

void initialiseCurl() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct Sink {
    std::vector<std::uint8_t> bytes;
    std::size_t maxBytes = 0;
    bool tooLarge = false;
};

std::size_t write(char* data, std::size_t size, std::size_t count, void* user) {
    auto* sink = static_cast<Sink*>(user);
    const std::size_t n = size * count;
    if (sink->bytes.size() + n > sink->maxBytes) {
        // Returning less than was handed over makes curl give up.
        sink->tooLarge = true;
        return 0;
    }
    sink->bytes.insert(sink->bytes.end(), data, data + n);
    return n;
}

std::pair<std::optional<std::vector<std::uint8_t>>, std::optional<std::string>> load(
    const std::string& url, const CurlURLSession::Limits& limits) {
    // Credentials in the address would go out as an Authorization header to
    // a host someone else chose, and a host that does not parse would reach
    // the resolver as whatever libcurl makes of it.
    const auto parsed = kit::URL::fromString(url);
    if (!parsed || parsed->userInfo() || parsed->host().empty()) {
        return {std::nullopt, "refused an address with credentials or without a proper host"};
    }
    std::unique_ptr<CURL, void (*)(CURL*)> curl(curl_easy_init(), curl_easy_cleanup);
    if (!curl) return {std::nullopt, "cannot start a download"};
    Sink sink;
    sink.maxBytes = limits.maxBytes;
    char message[CURL_ERROR_SIZE] = {};
    CURL* c = curl.get();
    curl_easy_setopt(c, CURLOPT_URL, url.c_str());
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "https");
    curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "https");
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(c, CURLOPT_MAXREDIRS, static_cast<long>(limits.maxRedirects));
    curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, limits.timeoutMs);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, limits.connectTimeoutMs);
    // A server that announces a larger body is refused before it sends it.
    curl_easy_setopt(c, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits.maxBytes));
    curl_easy_setopt(c, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);   // signals would hit other threads
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, write);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &sink);
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, message);
    if (!limits.caFile.empty()) curl_easy_setopt(c, CURLOPT_CAINFO, limits.caFile.c_str());
    const CURLcode result = curl_easy_perform(c);
    if (sink.tooLarge || result == CURLE_FILESIZE_EXCEEDED) return {std::nullopt, "the response is too large"};
    if (result != CURLE_OK) {
        return {std::nullopt, message[0] ? std::string(message) : std::string(curl_easy_strerror(result))};
    }
    return {std::move(sink.bytes), std::nullopt};
}

}  // namespace

CurlURLSession::CurlURLSession() : CurlURLSession(Limits{}) {}

CurlURLSession::CurlURLSession(Limits limits) : limits_(std::move(limits)) { initialiseCurl(); }

CurlURLSession::~CurlURLSession() { reap(true); }

void CurlURLSession::dataTask(const std::string& url, DataTaskHandler completion) {
    reap(false);
    std::lock_guard lock(mutex_);
    Load& slot = loads_.emplace_back();
    slot.thread = std::thread([this, &slot, url, limits = limits_, completion = std::move(completion)]() mutable {
        auto [data, error] = load(url, limits);
        completion(std::move(data), std::move(error));
        completion = nullptr;
        std::lock_guard inner(mutex_);
        slot.done = true;
    });
}

void CurlURLSession::reap(bool all) {
    std::list<Load> finished;
    {
        std::lock_guard lock(mutex_);
        for (auto it = loads_.begin(); it != loads_.end();) {
            auto next = std::next(it);
            if (all || it->done) finished.splice(finished.end(), loads_, it);
            it = next;
        }
    }
    for (Load& load : finished)
        if (load.thread.joinable()) load.thread.join();
}

}  // namespace linuxhost
