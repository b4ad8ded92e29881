#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

namespace {

// Just enough JSON to tell whether a line is one complete value.
class JsonChecker {
public:
    explicit JsonChecker(const std::string& text) : text_(text) {}
    bool valid() {
        skipSpace();
        if (!value()) return false;
        skipSpace();
        return pos_ == text_.size();
    }

private:
    bool value() {
        if (pos_ >= text_.size()) return false;
        switch (text_[pos_]) {
            case '{': return container('}', true);
            case '[': return container(']', false);
            case '"': return string();
            case 't': return literal("true");
            case 'f': return literal("false");
            case 'n': return literal("null");
            default: return number();
        }
    }
    bool container(char close, bool object) {
        ++pos_;
        skipSpace();
        if (peek() == close) return ++pos_, true;
        while (true) {
            skipSpace();
            if (object) {
                if (!string()) return false;
                skipSpace();
                if (peek() != ':') return false;
                ++pos_;
                skipSpace();
            }
            if (!value()) return false;
            skipSpace();
            if (peek() == close) return ++pos_, true;
            if (peek() != ',') return false;
            ++pos_;
        }
    }
    bool string() {
        if (peek() != '"') return false;
        for (++pos_; pos_ < text_.size(); ++pos_) {
            const auto c = static_cast<unsigned char>(text_[pos_]);
            if (c < 0x20) return false;
            if (c == '\\') ++pos_;
            else if (c == '"') return ++pos_, true;
        }
        return false;
    }
    bool literal(const char* word) {
        const std::string w = word;
        if (text_.compare(pos_, w.size(), w) != 0) return false;
        pos_ += w.size();
        return true;
    }
    bool number() {
        const std::size_t start = pos_;
        if (peek() == '-') ++pos_;
        while (std::isdigit(static_cast<unsigned char>(peek())) || peek() == '.' || peek() == 'e' || peek() == 'E' ||
               peek() == '+' || peek() == '-') {
            ++pos_;
        }
        return pos_ > start && std::isdigit(static_cast<unsigned char>(text_[pos_ - 1]));
    }
    char peek() const { return pos_ < text_.size() ? text_[pos_] : '\0'; }
    void skipSpace() {
        while (peek() == ' ') ++pos_;
    }

    const std::string& text_;
    std::size_t pos_ = 0;
};

struct Outcome {
    int status = -1;
    std::string out;
};

Outcome shell(const std::string& command) {
    Outcome outcome;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return outcome;
    std::array<char, 4096> buffer{};
    while (std::size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe)) outcome.out.append(buffer.data(), n);
    const int raw = ::pclose(pipe);
    outcome.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return outcome;
}

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

TEST(DuraziziSimExecutable, RunsTheExampleScenarios) {
    const std::string sim = environment("DURAZIZI_SIM");
    const std::string source = environment("DURAZIZI_SOURCE_DIR");
    if (sim.empty() || source.empty()) GTEST_SKIP() << "run through CTest, which names the executable";

    for (const char* example : {"welcome.scn", "previews.scn"}) {
        const Outcome outcome = shell("'" + sim + "' run '" + source + "/examples/" + example + "'");
        EXPECT_EQ(outcome.status, 0) << example;
        std::istringstream lines(outcome.out);
        int count = 0;
        for (std::string line; std::getline(lines, line); ++count) {
            EXPECT_TRUE(JsonChecker(line).valid()) << example << ": " << line;
        }
        EXPECT_GE(count, 5) << example;
    }
    // The previews example shows a panel at some point.
    const Outcome previews = shell("'" + sim + "' run '" + source + "/examples/previews.scn'");
    EXPECT_NE(previews.out.find("{\"visible\":true,\"pid\":501,"), std::string::npos) << previews.out;

    // From standard input, a malformed line: status 2 and nothing on standard output.
    const Outcome malformed = shell("printf 'query app\\nadvance soon\\n' | '" + sim + "' run - 2>/dev/null");
    EXPECT_EQ(malformed.status, 2);
    EXPECT_EQ(malformed.out, "");

    EXPECT_EQ(shell("'" + sim + "' 2>/dev/null").status, 2);
    EXPECT_EQ(shell("'" + sim + "' run /nonexistent/scenario.scn 2>/dev/null").status, 1);
}

}  // namespace
