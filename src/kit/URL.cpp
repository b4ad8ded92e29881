#include "kit/URL.h"

#include <cctype>
#include <vector>

namespace kit {

namespace {

bool isAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isHex(char c) { return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

bool isUrlCharacter(char c) {
    if (isAlpha(c) || isDigit(c)) return true;
    static constexpr std::string_view allowed = "-._~:/?#[]@!$&'()*+,;=%";
    return allowed.find(c) != std::string_view::npos;
}

bool isQueryAllowed(unsigned char c) {
    if (isAlpha(static_cast<char>(c)) || isDigit(static_cast<char>(c))) return true;
    static constexpr std::string_view allowed = "-._~!$&'()*+,/:;=?@";
    return allowed.find(static_cast<char>(c)) != std::string_view::npos;
}

// The text between "scheme://" and the path, or nothing without "//".
std::optional<std::string_view> authorityOf(std::string_view text) {
    const auto colon = text.find(':');
    const auto firstSpecial = text.find_first_of("/?#");
    std::string_view rest = text;
    if (colon != std::string_view::npos && (firstSpecial == std::string_view::npos || colon < firstSpecial)) {
        rest = text.substr(colon + 1);
    }
    if (!rest.starts_with("//")) return std::nullopt;
    rest.remove_prefix(2);
    return rest.substr(0, rest.find_first_of("/?#"));
}

bool isDnsName(std::string_view host) {
    // One trailing dot names the root, as in "example.com.".
    if (host.ends_with('.')) host.remove_suffix(1);
    if (host.empty() || host.size() > 253) return false;
    std::size_t start = 0;
    while (start <= host.size()) {
        auto end = host.find('.', start);
        if (end == std::string_view::npos) end = host.size();
        const std::string_view label = host.substr(start, end - start);
        if (label.empty() || label.size() > 63 || label.front() == '-' || label.back() == '-') return false;
        for (char c : label) {
            if (!isAlpha(c) && !isDigit(c) && c != '-' && c != '_') return false;
        }
        start = end + 1;
    }
    return true;
}

bool isIPv6Literal(std::string_view text) {
    if (text.size() < 2 || text.size() > 47) return false;
    int colons = 0;
    for (char c : text) {
        if (c == ':') ++colons;
        else if (!isHex(c) && c != '.') return false;
    }
    return colons >= 2;
}

}  // namespace

std::optional<URL> URL::fromString(std::string_view text) {
    if (text.empty()) return std::nullopt;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (!isUrlCharacter(c)) return std::nullopt;
        if (c == '%' && (i + 2 >= text.size() || !isHex(text[i + 1]) || !isHex(text[i + 2])))
            return std::nullopt;
    }
    if (text.find('#') != text.rfind('#')) return std::nullopt;
    auto colon = text.find(':');
    auto firstSpecial = text.find_first_of("/?#");
    if (colon != std::string_view::npos && (firstSpecial == std::string_view::npos || colon < firstSpecial)) {
        auto scheme = text.substr(0, colon);
        if (scheme.empty() || !isAlpha(scheme[0])) return std::nullopt;
        for (char c : scheme)
            if (!isAlpha(c) && !isDigit(c) && c != '+' && c != '-' && c != '.') return std::nullopt;
    }
    return URL(std::string(text));
}

URL URL::fileURL(std::string_view path) {
    std::string text = "file://";
    for (unsigned char c : path) {
        if (c == '/' || isQueryAllowed(c)) {
            text += static_cast<char>(c);
        } else {
            static const char* hex = "0123456789ABCDEF";
            text += '%';
            text += hex[c >> 4];
            text += hex[c & 15];
        }
    }
    return URL(std::move(text));
}

std::string URL::scheme() const {
    auto colon = text_.find(':');
    if (colon == std::string::npos) return {};
    std::string s = text_.substr(0, colon);
    for (auto& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::optional<std::string> URL::userInfo() const {
    const auto authority = authorityOf(text_);
    if (!authority) return std::nullopt;
    const auto at = authority->rfind('@');
    if (at == std::string_view::npos) return std::nullopt;
    return std::string(authority->substr(0, at));
}

std::string URL::host() const {
    const auto authority = authorityOf(text_);
    if (!authority) return {};
    std::string_view hostPort = *authority;
    if (const auto at = hostPort.rfind('@'); at != std::string_view::npos) hostPort.remove_prefix(at + 1);
    std::string_view host = hostPort;
    std::string_view port;
    if (hostPort.starts_with('[')) {
        const auto close = hostPort.find(']');
        if (close == std::string_view::npos || !isIPv6Literal(hostPort.substr(1, close - 1))) return {};
        host = hostPort.substr(0, close + 1);
        const std::string_view after = hostPort.substr(close + 1);
        if (!after.empty()) {
            if (after.front() != ':' || after.size() == 1) return {};
            port = after.substr(1);
        }
    } else {
        if (const auto colon = hostPort.find(':'); colon != std::string_view::npos) {
            host = hostPort.substr(0, colon);
            port = hostPort.substr(colon + 1);
            if (port.empty()) return {};
        }
        // Dotted IPv4 addresses pass as names of digit labels.
        if (!isDnsName(host)) return {};
    }
    if (port.size() > 5) return {};
    for (char c : port) {
        if (!isDigit(c)) return {};
    }
    std::string lower(host);
    for (auto& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

std::string URL::standardizedPath() const {
    if (!isFileURL()) return text_;
    std::string path = text_.substr(text_.find(':') + 1);
    if (path.rfind("//", 0) == 0) {
        auto slash = path.find('/', 2);
        path = slash == std::string::npos ? "/" : path.substr(slash);
    }
    bool trailingSlash = path.size() > 1 && path.back() == '/';
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        auto end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        std::string part = path.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string result;
    for (auto& p : parts) result += "/" + p;
    if (result.empty()) result = "/";
    // A bundle URL names a folder: "/Applications/X.app" and "/Applications/X.app/" are one place.
    (void)trailingSlash;
    return result;
}

std::string percentEncodeQuery(std::string_view text) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        if (isQueryAllowed(c)) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

}  // namespace kit
