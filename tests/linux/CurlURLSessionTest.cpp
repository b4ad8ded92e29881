#include <gtest/gtest.h>

#include <filesystem>
#include <future>
#include <string>

#include "HttpsTestServer.h"
#include "linux/CurlURLSession.h"

using linuxhost::CurlURLSession;

namespace {

struct Outcome {
    std::optional<std::vector<std::uint8_t>> data;
    std::optional<std::string> error;
};

Outcome fetch(CurlURLSession& session, const std::string& url) {
    std::promise<Outcome> done;
    session.dataTask(url, [&done](auto data, auto error) { done.set_value({std::move(data), std::move(error)}); });
    return done.get_future().get();
}

std::string ok(const std::string& body, bool withLength = true) {
    return "HTTP/1.1 200 OK\r\n" + (withLength ? "Content-Length: " + std::to_string(body.size()) + "\r\n" : "") +
           "Connection: close\r\n\r\n" + body;
}

std::string redirect(const std::string& location) {
    return "HTTP/1.1 302 Found\r\nLocation: " + location + "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
}

// A plain listener that never answers: it only tells whether anyone knocked.
class PlainListener {
public:
    PlainListener() {
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        ::listen(fd_, 8);
        socklen_t len = sizeof addr;
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len);
        port_ = ntohs(addr.sin_port);
    }
    ~PlainListener() { ::close(fd_); }
    std::string url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }
    int connections() {
        int n = 0;
        for (int fd; (fd = ::accept(fd_, nullptr, nullptr)) >= 0; ++n) ::close(fd);
        return n;
    }

private:
    int fd_ = -1;
    int port_ = 0;
};

class CurlURLSessionTest : public ::testing::Test {
protected:
    std::string dir = std::filesystem::temp_directory_path() /
                      ("durazizi-curl-" + std::to_string(::getpid()));
    void SetUp() override { std::filesystem::create_directories(dir); }
    void TearDown() override { std::filesystem::remove_all(dir); }
};

}  // namespace

// Every road a download may take: only https, redirects included, within its
// bytes and its time; a server the system does not trust gets nowhere.
TEST_F(CurlURLSessionTest, LoadsOnlyHttpsWithinItsBounds) {
    const std::string big(64 * 1024, 'x');
    std::string base;
    PlainListener plain;
    HttpsTestServer server(dir, [&](const std::string& path) -> std::string {
        if (path == "/art") return ok("cover");
        if (path == "/big") return ok(big);
        if (path == "/big-unannounced") return ok(big, false);
        if (path == "/to-https") return redirect(base + "/art");
        if (path == "/to-http") return redirect(plain.url("/art"));
        if (path == "/silent") return {};
        return "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n";
    });
    base = server.url("");

    CurlURLSession untrusting;   // the system's trust store has never seen this certificate
    EXPECT_FALSE(fetch(untrusting, server.url("/art")).data);

    CurlURLSession::Limits limits;
    limits.caFile = server.caFile();
    limits.maxBytes = 16 * 1024;
    limits.timeoutMs = 1500;
    CurlURLSession session(limits);

    struct Case {
        std::string url;
        std::optional<std::string> body;   // nullopt: refused
        int requests;                      // what the server saw for it
    };
    const Case cases[] = {
        {server.url("/art"), "cover", 1},
        {server.url("/to-https"), "cover", 2},
        {server.url("/to-http"), std::nullopt, 1},          // the http hop is never made
        {plain.url("/art"), std::nullopt, 0},
        {server.url("/big"), std::nullopt, 1},
        {server.url("/big-unannounced"), std::nullopt, 1},
        {server.url("/missing"), std::nullopt, 1},
        {"https://user:secret@" + server.url("/art").substr(8), std::nullopt, 0},   // no credentials sent
        {server.url("/silent"), std::nullopt, 1},           // ends by the time bound
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        const int before = server.requests();
        const Outcome outcome = fetch(session, c.url);
        if (c.body) {
            ASSERT_TRUE(outcome.data);
            EXPECT_EQ(std::string(outcome.data->begin(), outcome.data->end()), *c.body);
        } else {
            EXPECT_FALSE(outcome.data);
            EXPECT_TRUE(outcome.error);
        }
        EXPECT_EQ(server.requests() - before, c.requests);
        EXPECT_EQ(plain.connections(), 0);
    }
}
