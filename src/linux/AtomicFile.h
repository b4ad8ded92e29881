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

// Replaces `path` with `contents` so that a reader sees either the old file or
// the whole new one, and the new one survives a power cut once this returns:
// temporary file in the same folder, fsync, rename over the target, fsync the
// folder. The folder must exist.
bool replaceAtomically(const std::string& path, std::string_view contents, mode_t mode,
                       std::string* error);

// mkdir -p; true when the folder exists afterwards.
bool makeFolders(const std::string& folder, std::string* error);

enum class ReadStatus { ok, missing, failed };

// The whole file; `failed` leaves the reason in `error`. `info`, when given,
// receives the status of the very file that was read.
ReadStatus readWhole(const std::string& path, std::string* contents, std::string* error,
                     struct stat* info = nullptr);

}  // namespace linuxhost::fileio
