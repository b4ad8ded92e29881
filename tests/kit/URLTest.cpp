#include <gtest/gtest.h>

#include "kit/URL.h"

namespace {

using kit::URL;

TEST(URL, ValidityFollowsThePlatformCheck) {
    for (const char* good : {"https://example.com/path?q=1&r=two#frag", "mailto:someone@example.com?subject=Hi%20there",
                             "file:///Applications/Music.app/", "x-apple.systempreferences:com.apple.preference",
                             "relative/path", "a%41b"}) {
        EXPECT_TRUE(URL::fromString(good).has_value()) << good;
    }
    for (const char* bad : {"", "https://example.com/a b", "Durazizi Support", "100%", "%zz", "abc%4", "%G0",
                            "https://example.com/\xC3\xA9", "1http://example.com", "a#b#c", "https://exa\"mple.com"}) {
        EXPECT_FALSE(URL::fromString(bad).has_value()) << bad;
    }
    EXPECT_EQ(URL::fromString("HTTPS://example.com")->scheme(), "https");
    EXPECT_EQ(URL::fromString("relative/path")->scheme(), "");
}

TEST(URL, QueryEncodingEscapesEverythingOutsideTheAllowedSet) {
    EXPECT_EQ(kit::percentEncodeQuery("Durazizi Support"), "Durazizi%20Support");
    EXPECT_EQ(kit::percentEncodeQuery("a&b=c/d?e"), "a&b=c/d?e");
    EXPECT_EQ(kit::percentEncodeQuery("50% #1 \"x\""), "50%25%20%231%20%22x%22");
    EXPECT_EQ(kit::percentEncodeQuery("caf\xC3\xA9"), "caf%C3%A9");   // UTF-8 bytes, upper-case hex
    EXPECT_EQ(kit::percentEncodeQuery(""), "");
    // What comes out is always a valid URL part.
    EXPECT_TRUE(URL::fromString("mailto:x@example.com?subject=" + kit::percentEncodeQuery("Hé % [x]")).has_value());
}

TEST(URL, FileURLsStandardiseDotsAndTrailingSlashes) {
    const URL app = URL::fileURL("/Applications/Music.app/");
    EXPECT_TRUE(app.isFileURL());
    EXPECT_EQ(app.absoluteString(), "file:///Applications/Music.app/");
    EXPECT_EQ(URL::fileURL("/Users/me/Application Support").absoluteString(),
              "file:///Users/me/Application%20Support");

    struct Case {
        const char* text;
        const char* path;
    };
    for (const Case& c : {Case{"file:///Applications/./Music.app/", "/Applications/Music.app"},
                          Case{"file:///Applications/Utilities/../Music.app", "/Applications/Music.app"},
                          Case{"file:///System/Applications/../../Applications//Music.app", "/Applications/Music.app"},
                          Case{"file:///../../etc", "/etc"},
                          Case{"file://localhost/Applications/Music.app", "/Applications/Music.app"},
                          Case{"file:///", "/"},
                          Case{"file:///a/b/..", "/a"}}) {
        EXPECT_EQ(URL::fromString(c.text)->standardizedPath(), c.path) << c.text;
    }
    // Not a file URL: the whole text, untouched.
    EXPECT_EQ(URL::fromString("https://example.com/a/../b")->standardizedPath(), "https://example.com/a/../b");
}

}  // namespace
