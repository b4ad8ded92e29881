#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <optional>
#include <string>
#include <string_view>

// Small POSIX file helpers shared by the Linux services. Every failure comes
// back as a readable message that names the path and the system's reason.
namespace linuxhost::fileio {

// "<what> <path>: <strerror(err)>"
std::string errorText(std::string_view what, const std::string& path, int err);

// The folder part of a path ("." when there is none).
std::string parentFolder(const std::string& path);

// Where `path` leads once its symbolic links are followed (each one read
// relative to its own folder); the end of the chain need not exist. A chain
// that loops comes back as the last link reached.
std::string followLinks(const std::string& path);

// Replaces `path` with `contents` so that a reader sees either the old file or
// the whole new one, and the new one survives a power cut once this returns:
// temporary file in the same folder, fsync, rename over the target, fsync the
// folder. A symbolic link at `path` is kept and the file it leads to is the
// one replaced. The folder must exist.
bool replaceAtomically(const std::string& path, std::string_view contents, mode_t mode,
                       std::string* error);

// mkdir -p; true when the folder exists afterwards.
bool makeFolders(const std::string& folder, std::string* error);

enum class ReadStatus { ok, missing, failed, tooLarge };

// The whole file, when it is a regular file of at most `limit` bytes. Never
// blocks: a FIFO, a device or a folder at `path` is `failed`, with the reason
// in `error`, and a file longer than `limit` (or one that keeps growing) is
// `tooLarge`, having read no more than the limit and one byte. `info`, when
// given, receives the status of the very file that was read.
ReadStatus readWhole(const std::string& path, std::string* contents, std::string* error, std::size_t limit,
                     struct stat* info = nullptr);

}  // namespace linuxhost::fileio
