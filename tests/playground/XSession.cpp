#include "playground/XSession.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <thread>

extern char** environ;

namespace xsession {

namespace {

double seconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

std::vector<std::string> mergedEnvironment(const std::vector<std::string>& extra) {
    std::vector<std::string> merged;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        const std::string name = entry.substr(0, entry.find('='));
        const bool replaced = std::any_of(extra.begin(), extra.end(), [&](const std::string& x) {
            return x.compare(0, name.size() + 1, name + "=") == 0;
        });
        if (!replaced) merged.push_back(entry);
    }
    merged.insert(merged.end(), extra.begin(), extra.end());
    return merged;
}

std::vector<char*> pointers(std::vector<std::string>& strings) {
    std::vector<char*> out;
    for (auto& s : strings) out.push_back(s.data());
    out.push_back(nullptr);
    return out;
}

std::uint32_t bigEndian32(const std::string& bytes, std::size_t offset) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) value = (value << 8) | static_cast<unsigned char>(bytes[offset + i]);
    return value;
}

// Where a mask's lowest bit sits, to bring a channel down to bits 0..7.
int shiftOf(std::uint32_t mask) {
    int shift = 0;
    while (mask && !(mask & 1u)) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

}  // namespace

// --- Child ------------------------------------------------------------------------

Child::Child(const std::vector<std::string>& argv, const std::vector<std::string>& env) {
    std::vector<std::string> args = argv;
    std::vector<std::string> environment = mergedEnvironment(env);
    std::vector<char*> argp = pointers(args);
    std::vector<char*> envp = pointers(environment);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argp[0], nullptr, nullptr, argp.data(), envp.data()) == 0) pid_ = pid;
}

Child::~Child() {
    if (pid_ <= 0 || reaped_) return;
    ::kill(pid_, SIGTERM);
    if (!waitExit(5) && !reaped_) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, &status_, 0);
        reaped_ = true;
    }
}

std::optional<int> Child::waitExit(double limit) {
    if (pid_ <= 0) return std::nullopt;
    const double deadline = seconds() + limit;
    while (!reaped_) {
        const pid_t done = ::waitpid(pid_, &status_, WNOHANG);
        if (done == pid_) {
            reaped_ = true;
            break;
        }
        if (done < 0 || seconds() > deadline) return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (WIFEXITED(status_)) return WEXITSTATUS(status_);
    return std::nullopt;
}

bool Child::running() {
    if (pid_ <= 0 || reaped_) return false;
    if (::waitpid(pid_, &status_, WNOHANG) == pid_) reaped_ = true;
    return !reaped_;
}

// --- LineReader ------------------------------------------------------------------

LineReader::~LineReader() {
    if (fd_ >= 0) ::close(fd_);
}

bool LineReader::next(double limit) {
    const double deadline = seconds() + limit;
    bool whole = false;
    for (;;) {
        const double left = deadline - seconds();
        // Once a line is in, only what has already arrived is taken.
        const int wait = whole ? 0 : static_cast<int>(std::max(0.0, left) * 1000);
        pollfd p{fd_, POLLIN, 0};
        const int ready = ::poll(&p, 1, wait);
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return whole;
        char buffer[512];
        const ssize_t n = ::read(fd_, buffer, sizeof buffer);
        if (n <= 0) return whole;
        pending_.append(buffer, static_cast<std::size_t>(n));
        const auto end = pending_.rfind('\n');
        if (end != std::string::npos) {
            pending_.erase(0, end + 1);
            whole = true;
        }
        if (!whole && left <= 0) return false;
    }
}

// --- Xvfb -------------------------------------------------------------------------

Xvfb::Xvfb() {
    // The server picks a free display itself and writes its number to the
    // pipe once it accepts connections: no guessing and no race with
    // another test run that wants the same number.
    int fds[2];
    if (::pipe(fds) != 0) {
        error_ = std::string("pipe: ") + std::strerror(errno);
        return;
    }
    // The write end is the one descriptor the server should inherit.
    ::fcntl(fds[0], F_SETFD, FD_CLOEXEC);
    server_.emplace(std::vector<std::string>{"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0",
                                             "1600x1000x24", "-nolisten", "tcp"});
    ::close(fds[1]);
    if (!server_->started()) {
        ::close(fds[0]);
        error_ = "cannot start Xvfb (is the xvfb package installed?)";
        return;
    }
    std::string number;
    const double deadline = seconds() + 30;
    while (seconds() < deadline) {
        pollfd p{fds[0], POLLIN, 0};
        if (::poll(&p, 1, 200) <= 0) {
            if (!server_->running()) break;
            continue;
        }
        char buffer[32];
        const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
        if (n <= 0) break;
        number.append(buffer, static_cast<std::size_t>(n));
        if (number.find('\n') != std::string::npos) break;
    }
    ::close(fds[0]);
    while (!number.empty() && (number.back() == '\n' || number.back() == ' ')) number.pop_back();
    if (number.empty()) {
        error_ = "Xvfb did not report a display";
        return;
    }
    display_ = ":" + number;
}

std::string leakSuppressions(const std::string& dir) {
    const std::string path = dir + "/lsan.supp";
    std::ofstream(path) << "leak:libfontconfig.so\n"
                           "leak:libpango\n"
                           "leak:libdbus-1.so\n"
                           "leak:libX11.so\n"
                           "leak:libxcb\n"
                           "leak:libSDL2\n";
    return "LSAN_OPTIONS=suppressions=" + path;
}

// --- commands and screenshots -----------------------------------------------------------

CommandResult run(const std::string& command, const std::string& display) {
    CommandResult result;
    const std::string line = "DISPLAY=" + display + " " + command;
    FILE* pipe = ::popen(line.c_str(), "r");
    if (!pipe) return result;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.out.append(buffer, n);
    const int status = ::pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::optional<Screenshot> parseXwd(const std::string& bytes, std::string* error) {
    auto fail = [error](const char* why) -> std::optional<Screenshot> {
        if (error) *error = why;
        return std::nullopt;
    };
    constexpr std::size_t kFields = 25;   // CARD32s of XWDFileHeader
    if (bytes.size() < kFields * 4) return fail("shorter than an XWD header");
    auto field = [&](std::size_t i) { return bigEndian32(bytes, i * 4); };
    const std::uint32_t headerSize = field(0);
    const std::uint32_t version = field(1);
    const std::uint32_t format = field(2);
    const std::uint32_t width = field(4);
    const std::uint32_t height = field(5);
    const std::uint32_t byteOrder = field(7);
    const std::uint32_t bitsPerPixel = field(11);
    const std::uint32_t bytesPerLine = field(12);
    const std::uint32_t red = field(14), green = field(15), blue = field(16);
    const std::uint32_t colours = field(19);
    if (version != 7) return fail("not an XWD version 7 file");
    if (format != 2) return fail("not a ZPixmap");
    if (bitsPerPixel != 32) return fail("not 32 bits per pixel");
    if (width == 0 || height == 0 || width > 16384 || height > 16384) return fail("implausible size");
    if (bytesPerLine < width * 4) return fail("rows shorter than the width");
    const std::size_t pixels = std::size_t{headerSize} + std::size_t{colours} * 12;
    if (headerSize < kFields * 4 || bytes.size() < pixels + std::size_t{bytesPerLine} * height) {
        return fail("truncated pixel data");
    }
    Screenshot shot;
    shot.width = static_cast<int>(width);
    shot.height = static_cast<int>(height);
    shot.rgb.resize(std::size_t{width} * height);
    const int rs = shiftOf(red), gs = shiftOf(green), bs = shiftOf(blue);
    for (std::uint32_t y = 0; y < height; ++y) {
        const std::size_t row = pixels + std::size_t{bytesPerLine} * y;
        for (std::uint32_t x = 0; x < width; ++x) {
            const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + row + std::size_t{x} * 4);
            // byte_order 0 is LSBFirst.
            const std::uint32_t value = byteOrder == 0
                                            ? (p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t{p[3]} << 24))
                                            : ((std::uint32_t{p[0]} << 24) | (p[1] << 16) | (p[2] << 8) | p[3]);
            const std::uint32_t r = ((value & red) >> rs) & 0xff;
            const std::uint32_t g = ((value & green) >> gs) & 0xff;
            const std::uint32_t b = ((value & blue) >> bs) & 0xff;
            shot.rgb[std::size_t{y} * width + x] = (r << 16) | (g << 8) | b;
        }
    }
    return shot;
}

std::optional<Screenshot> captureWindow(const std::string& window, const std::string& display, std::string* error) {
    const CommandResult result = run("xwd -silent -id " + window, display);
    if (result.status != 0) {
        if (error) *error = "xwd failed (is the x11-apps package installed?)";
        return std::nullopt;
    }
    return parseXwd(result.out, error);
}

double meanDifference(const Screenshot& a, const Screenshot& b, int x, int y, int w, int h) {
    const int x0 = std::max(0, x), y0 = std::max(0, y);
    const int x1 = std::min({x + w, a.width, b.width}), y1 = std::min({y + h, a.height, b.height});
    if (x1 <= x0 || y1 <= y0) return 0;
    double total = 0;
    for (int py = y0; py < y1; ++py) {
        for (int px = x0; px < x1; ++px) {
            const std::uint32_t p = a.at(px, py), q = b.at(px, py);
            for (int shift : {0, 8, 16}) {
                total += std::abs(static_cast<int>((p >> shift) & 0xff) - static_cast<int>((q >> shift) & 0xff));
            }
        }
    }
    return total / (3.0 * (x1 - x0) * (y1 - y0));
}

}  // namespace xsession
