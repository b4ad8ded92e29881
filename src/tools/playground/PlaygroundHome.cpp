#include "tools/playground/PlaygroundHome.h"

namespace playground {

namespace {
constexpr const char* kFolder = "/durazizi-playground";
}  // namespace

std::optional<std::string> persistentHome(const std::function<const char*(const char*)>& getenv) {
    const char* data = getenv("XDG_DATA_HOME");
    if (data && data[0] == '/') return std::string(data) + kFolder;
    const char* home = getenv("HOME");
    if (home && home[0] == '/') return std::string(home) + "/.local/share" + kFolder;
    return std::nullopt;
}

}  // namespace playground
