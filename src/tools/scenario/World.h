#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "linux/PlistDefaults.h"
#include "linux/XdgPaths.h"
#include "sim/Desktop.h"
#include "tools/scenario/CalendarAccount.h"
#include "tools/scenario/LoginServiceProbe.h"

namespace durazizi {
class AppDelegate;
}

namespace scenario {

// The simulated desktop of one scenario run, with the real Linux services
// (property-list defaults, XDG autostart, XDG folders) inside a home folder
// of its own, installed as the current platform for the life of the world.
class World {
public:
    // `diagnostic` receives the defaults store's notices (a file moved aside).
    World(const std::string& home, std::function<void(const std::string&)> diagnostic);
    ~World();
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    sim::Desktop& desktop() { return desktop_; }
    // The defaults of the running process, or the ones a user would write
    // to with a command-line tool while Durazizi is not running.
    platform::Defaults& defaults() { return *defaults_; }
    LoginServiceProbe& login() { return *login_; }
    CalendarAccount& calendars() { return *calendars_; }

    const std::string& home() const { return home_; }
    std::string defaultsPath() const;
    // Writes to the defaults file fail while the folder is unwritable. The
    // sim runs as any user, root included, for whom a read-only folder is
    // still writable: the folder is moved aside and a plain file stands in
    // its way, so every write (and a fresh read) fails as it would.
    bool setDefaultsWritable(bool writable);
    std::string logPath() const;

    // Durazizi's process.
    bool launched() const { return launched_; }
    bool running() const;
    // The product's own root object, for checks of the product itself;
    // queries and commands answer from the world instead.
    durazizi::AppDelegate* delegate() const;
    // Whether the hover loop, snapping and the input tap run, as the world
    // sees what the process installed: a repeating timer at the hover poll's
    // pace, global monitors of the left button, and an event tap.
    bool started();
    // Each start is a new process that reads its defaults from disk again.
    std::optional<std::string> launch();
    void relaunch();
    std::optional<std::string> quit();

    // The left button as the scenario's pointer commands left it.
    bool buttonDown() const { return buttonDown_; }
    void setButtonDown(bool down) { buttonDown_ = down; }

private:
    void startProcess();
    std::shared_ptr<linuxhost::PlistDefaults> loadDefaults();

    std::string home_;
    linuxhost::XdgPaths paths_;
    std::function<void(const std::string&)> diagnostic_;
    sim::Desktop desktop_;
    std::shared_ptr<linuxhost::PlistDefaults> defaults_;
    std::shared_ptr<LoginServiceProbe> login_;
    std::unique_ptr<CalendarAccount> calendars_;
    bool launched_ = false;
    bool buttonDown_ = false;
};

}  // namespace scenario
