#pragma once

#include <string>

namespace linuxhost {

// The XDG base folders of one home. `fromEnvironment` honours XDG_CONFIG_HOME,
// XDG_STATE_HOME and XDG_DATA_HOME; `forHome` ignores them (a private home of its own).
struct XdgPaths {
    std::string configHome;   // $XDG_CONFIG_HOME or ~/.config
    std::string stateHome;    // $XDG_STATE_HOME or ~/.local/state
    std::string dataHome;     // $XDG_DATA_HOME or ~/.local/share
    std::string tempDir;      // $TMPDIR or /tmp, ending with a slash

    static XdgPaths fromEnvironment();
    static XdgPaths forHome(const std::string& home);
};

inline constexpr const char* kBundleIdentifier = "app.durazizi.Durazizi";

}  // namespace linuxhost
