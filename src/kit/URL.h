#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kit {

// A URL that passed the platform's validity check (the check behind
// +[NSURL URLWithString:], which refuses text with characters a URL may not
// hold, such as spaces or unescaped non-ASCII, and malformed percent escapes).
class URL {
public:
    static std::optional<URL> fromString(std::string_view text);
    static URL fileURL(std::string_view path);

    const std::string& absoluteString() const { return text_; }
    std::string scheme() const;
    bool isFileURL() const { return scheme() == "file"; }
    // The path of a file URL with "." and ".." components resolved, as
    // -[NSURL standardizedURL] leaves it; the whole text for other URLs.
    std::string standardizedPath() const;
    // The parts of the authority ("//user:password@host:port") as RFC 3986
    // splits them. `userInfo` is absent without an "@" there. `host` is the
    // host in lower case when it is a DNS name, an IPv4 address or a
    // bracketed IPv6 address and the port (if any) is a number; otherwise, or
    // without an authority, it is empty.
    std::optional<std::string> userInfo() const;
    std::string host() const;

    friend bool operator==(const URL&, const URL&) = default;

private:
    explicit URL(std::string text) : text_(std::move(text)) {}
    std::string text_;
};

// Percent-encodes every byte of the UTF-8 text outside the URL-query allowed
// set (unreserved characters plus "!$&'()*+,/:;=?@").
std::string percentEncodeQuery(std::string_view text);

}  // namespace kit
