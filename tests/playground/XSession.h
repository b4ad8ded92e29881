#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace xsession {

// A child process, ended (SIGTERM, then SIGKILL) and reaped when the object
// goes, on every path out of a test.
class Child {
public:
    // `env` entries ("NAME=value") are added to, or replace, this process's environment.
    explicit Child(const std::vector<std::string>& argv, const std::vector<std::string>& env = {});
    ~Child();
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    bool started() const { return pid_ > 0; }
    pid_t pid() const { return pid_; }
    // Waits up to `seconds` for the child to end; its exit status, or nullopt
    // if it is still running or was killed by a signal.
    std::optional<int> waitExit(double seconds);
    bool running();

private:
    pid_t pid_ = -1;
    bool reaped_ = false;
    int status_ = 0;
};

// The read end of a pipe carrying lines, closed when the object goes.
class LineReader {
public:
    explicit LineReader(int fd) : fd_(fd) {}
    ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // Waits up to `seconds` for at least one more whole line, and takes
    // every line that has arrived by then. False on a timeout or at the end
    // of the stream (the writer went away).
    bool next(double seconds);

private:
    int fd_;
    std::string pending_;
};

// Xvfb on a display of its own choosing (-displayfd), 1600 x 1000 x 24.
class Xvfb {
public:
    Xvfb();
    bool ready() const { return !display_.empty(); }
    const std::string& display() const { return display_; }   // ":N"
    const std::string& error() const { return error_; }

private:
    std::optional<Child> server_;
    std::string display_;
    std::string error_;
};

// In a sanitizer build a child's leak check at exit would also report what
// the X, D-Bus, font and text libraries keep until the process ends. Writes a
// suppressions file for those into `dir` and answers the environment entry
// that points a child at it, so that only our own leaks fail a run.
std::string leakSuppressions(const std::string& dir);

// Runs a command through /bin/sh with DISPLAY set, and answers its standard
// output and exit status.
struct CommandResult {
    int status = -1;
    std::string out;
};
CommandResult run(const std::string& command, const std::string& display);

// A 24- or 32-bit ZPixmap XWD screenshot, as RGB.
struct Screenshot {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> rgb;   // 0x00RRGGBB, row-major from the top

    std::uint32_t at(int x, int y) const { return rgb[static_cast<std::size_t>(y) * width + x]; }
};
// Parses the XWD format (big-endian header; the pixels in the byte order the header names).
std::optional<Screenshot> parseXwd(const std::string& bytes, std::string* error = nullptr);
// `xwd -id WINDOW -silent`, parsed.
std::optional<Screenshot> captureWindow(const std::string& window, const std::string& display,
                                        std::string* error = nullptr);

// The mean difference per channel (0..255) between two shots over a region.
double meanDifference(const Screenshot& a, const Screenshot& b, int x, int y, int w, int h);

}  // namespace xsession
