#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>

// A small https server on 127.0.0.1 with a self-signed certificate made when
// it starts (written to `caFile()` for the client to trust). Each request is
// answered by `respond(path)` with the raw HTTP response; an empty answer
// keeps the connection open without a word until the server stops.
class HttpsTestServer {
public:
    HttpsTestServer(std::string dir, std::function<std::string(const std::string& path)> respond)
        : respond_(std::move(respond)), caFile_(dir + "/test-ca.pem") {
        // A client that gives up (a size cap, a timeout) closes its end while
        // the server is still writing; that must fail the write, not end the test.
        std::signal(SIGPIPE, SIG_IGN);
        makeCertificate();
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(listener_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        ::listen(listener_, 8);
        socklen_t len = sizeof addr;
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&addr), &len);
        port_ = ntohs(addr.sin_port);
        thread_ = std::thread([this] { serve(); });
    }

    ~HttpsTestServer() {
        stopping_ = true;
        ::shutdown(listener_, SHUT_RDWR);
        ::close(listener_);
        thread_.join();
        SSL_CTX_free(ctx_);
    }

    std::string url(const std::string& path) const { return "https://127.0.0.1:" + std::to_string(port_) + path; }
    const std::string& caFile() const { return caFile_; }
    int requests() const { return requests_; }

private:
    void makeCertificate() {
        EVP_PKEY* key = EVP_EC_gen("P-256");
        X509* cert = X509_new();
        X509_set_version(cert, 2);
        ASN1_INTEGER_set(X509_get_serialNumber(cert), 1);
        X509_gmtime_adj(X509_getm_notBefore(cert), -60);
        X509_gmtime_adj(X509_getm_notAfter(cert), 3600);
        X509_set_pubkey(cert, key);
        X509_NAME* name = X509_get_subject_name(cert);
        X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>("127.0.0.1"), -1,
                                   -1, 0);
        X509_set_issuer_name(cert, name);
        X509V3_CTX v3;
        X509V3_set_ctx(&v3, cert, cert, nullptr, nullptr, 0);
        for (auto [nid, value] : {std::pair{NID_subject_alt_name, "IP:127.0.0.1"},
                                  std::pair{NID_basic_constraints, "critical,CA:TRUE"}}) {
            X509_EXTENSION* ext = X509V3_EXT_conf_nid(nullptr, &v3, nid, value);
            X509_add_ext(cert, ext, -1);
            X509_EXTENSION_free(ext);
        }
        X509_sign(cert, key, EVP_sha256());
        FILE* file = std::fopen(caFile_.c_str(), "w");
        PEM_write_X509(file, cert);
        std::fclose(file);
        ctx_ = SSL_CTX_new(TLS_server_method());
        SSL_CTX_use_certificate(ctx_, cert);
        SSL_CTX_use_PrivateKey(ctx_, key);
        X509_free(cert);
        EVP_PKEY_free(key);
    }

    void serve() {
        while (!stopping_) {
            const int fd = ::accept(listener_, nullptr, nullptr);
            if (fd < 0) return;
            SSL* ssl = SSL_new(ctx_);
            SSL_set_fd(ssl, fd);
            if (SSL_accept(ssl) == 1) answer(ssl);
            SSL_free(ssl);
            ::close(fd);
        }
    }

    void answer(SSL* ssl) {
        std::string request;
        char buffer[1024];
        while (request.find("\r\n\r\n") == std::string::npos) {
            const int n = SSL_read(ssl, buffer, sizeof buffer);
            if (n <= 0) return;
            request.append(buffer, static_cast<std::size_t>(n));
        }
        ++requests_;
        const auto start = request.find(' ') + 1;
        const std::string response = respond_(request.substr(start, request.find(' ', start) - start));
        if (response.empty()) {
            while (!stopping_) std::this_thread::sleep_for(std::chrono::milliseconds(10));
            return;
        }
        SSL_write(ssl, response.data(), static_cast<int>(response.size()));
        SSL_shutdown(ssl);
    }

    std::function<std::string(const std::string&)> respond_;
    std::string caFile_;
    SSL_CTX* ctx_ = nullptr;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::atomic<int> requests_{0};
    std::thread thread_;
};
