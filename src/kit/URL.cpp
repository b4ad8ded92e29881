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
