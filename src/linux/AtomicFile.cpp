#include "linux/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <algorithm>
#include <cstring>
#include <vector>

namespace linuxhost::fileio {

namespace {

bool writeAll(int fd, std::string_view data) {
    while (!data.empty()) {
        ssize_t written = ::write(fd, data.data(), data.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

std::string fileName(const std::string& path) {
    auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string errorText(std::string_view what, const std::string& path, int err) {
    std::string text(what);
    text += ' ';
    text += path;
    text += ": ";
    text += std::strerror(err);
    return text;
}

std::string parentFolder(const std::string& path) {
    auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

bool makeFolders(const std::string& folder, std::string* error) {
    // Walk down from the root so that each missing level is made in turn;
    // EEXIST from a racing creator is as good as our own success.
    std::string prefix;
    std::size_t pos = 0;
    while (pos <= folder.size()) {
        auto next = folder.find('/', pos);
        if (next == std::string::npos) next = folder.size();
        prefix = folder.substr(0, next);
        pos = next + 1;
        if (prefix.empty()) continue;
        if (::mkdir(prefix.c_str(), 0755) != 0 && errno != EEXIST) {
            if (error) *error = errorText("cannot create folder", prefix, errno);
            return false;
        }
    }
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0) {
        if (error) *error = errorText("cannot create folder", folder, errno);
        return false;
    }
    if (!S_ISDIR(info.st_mode)) {
        if (error) *error = errorText("cannot create folder", folder, ENOTDIR);
        return false;
    }
    return true;
}

std::string followLinks(const std::string& path) {
    std::string current = path;
    // The system's own limit on links followed in one lookup.
    for (int hop = 0; hop < 40; ++hop) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return current;
        std::vector<char> target(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 255) + 1);
        const ssize_t length = ::readlink(current.c_str(), target.data(), target.size());
        if (length <= 0 || static_cast<std::size_t>(length) >= target.size()) return current;
        std::string next(target.data(), static_cast<std::size_t>(length));
        current = next.front() == '/' ? next : parentFolder(current) + "/" + next;
    }
    return current;
}

bool replaceAtomically(const std::string& linkOrPath, std::string_view contents, mode_t mode,
                       std::string* error) {
    // Renaming over a link would replace the link itself and leave its
    // target behind, stale, where the user keeps it.
    const std::string path = followLinks(linkOrPath);
    const std::string folder = parentFolder(path);
    // A dot name keeps the half-written file out of casual listings; the
    // random suffix lets several writers in one folder never share it.
    std::string pattern = folder + "/." + fileName(path) + ".tmp-XXXXXX";
    std::vector<char> tmpName(pattern.begin(), pattern.end());
    tmpName.push_back('\0');

    int fd = ::mkostemp(tmpName.data(), O_CLOEXEC);
    if (fd < 0) {
        if (error) *error = errorText("cannot write", path, errno);
        return false;
    }
    auto fail = [&](int err) {
        ::close(fd);
        ::unlink(tmpName.data());
        if (error) *error = errorText("cannot write", path, err);
        return false;
    };
    if (::fchmod(fd, mode) != 0) return fail(errno);
    if (!writeAll(fd, contents)) return fail(errno);
    // Without this the rename can reach the disk before the data does, and a
    // crash leaves an empty file where the old one was.
    if (::fsync(fd) != 0) return fail(errno);
    if (::close(fd) != 0) {
        int err = errno;
        ::unlink(tmpName.data());
        if (error) *error = errorText("cannot write", path, err);
        return false;
    }
    if (::rename(tmpName.data(), path.c_str()) != 0) {
        int err = errno;
        ::unlink(tmpName.data());
        if (error) *error = errorText("cannot replace", path, err);
        return false;
    }
    // The rename itself lives in the folder; sync it so the new name sticks.
    int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

ReadStatus readWhole(const std::string& path, std::string* contents, std::string* error, std::size_t limit,
                     struct stat* info) {
    // Without O_NONBLOCK, opening a FIFO waits for a writer that may never come.
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        // A file in place of one of the folders means this file cannot exist either.
        if (errno == ENOENT || errno == ENOTDIR) return ReadStatus::missing;
        if (error) *error = errorText("cannot read", path, errno);
        return ReadStatus::failed;
    }
    struct stat own {};
    if (!info) info = &own;
    if (::fstat(fd, info) != 0) {
        int err = errno;
        ::close(fd);
        if (error) *error = errorText("cannot read", path, err);
        return ReadStatus::failed;
    }
    // Devices, FIFOs and sockets can be endless or wait forever; folders are no files.
    if (!S_ISREG(info->st_mode)) {
        ::close(fd);
        if (error) *error = "cannot read " + path + ": not a regular file";
        return ReadStatus::failed;
    }
    contents->clear();
    char buffer[16384];
    for (;;) {
        if (contents->size() > limit) {
            ::close(fd);
            return ReadStatus::tooLarge;
        }
        const std::size_t want = std::min(sizeof buffer, limit + 1 - contents->size());
        ssize_t got = ::read(fd, buffer, want);
        if (got < 0) {
            if (errno == EINTR) continue;
            int err = errno;
            ::close(fd);
            if (error) *error = errorText("cannot read", path, err);
            return ReadStatus::failed;
        }
        if (got == 0) break;
        contents->append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fd);
    return ReadStatus::ok;
}

}  // namespace linuxhost::fileio
