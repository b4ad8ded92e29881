#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace apptest {

namespace fs = std::filesystem;

// A private folder for one test, gone with it.
struct TempHome {
    fs::path root;
    TempHome() {
        std::string pattern = (fs::temp_directory_path() / "durazizi-app-XXXXXX").string();
        root = ::mkdtemp(pattern.data()) ? pattern : std::string();
    }
    ~TempHome() {
        std::error_code ignored;
        if (!root.empty()) fs::remove_all(root, ignored);
    }
    TempHome(const TempHome&) = delete;
    TempHome& operator=(const TempHome&) = delete;
};

// A host without a user library folder: the log goes to the temporary folder.
class NoLibraryFiles final : public platform::Files {
public:
    explicit NoLibraryFiles(std::string temp) : temp_(std::move(temp)) {}
    std::vector<std::string> urlsForDirectory(platform::SearchPathDirectory, platform::SearchPathDomainMask) override {
        return {};
    }
    std::string temporaryDirectory() override { return temp_; }

private:
    std::string temp_;
};

inline std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

// The messages of a diagnostic log, without their "[stamp] " prefix.
inline std::vector<std::string> logMessages(const fs::path& file) {
    std::vector<std::string> messages;
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) {
        const auto end = line.find("] ");
        messages.push_back(end == std::string::npos ? line : line.substr(end + 2));
    }
    return messages;
}

}  // namespace apptest
