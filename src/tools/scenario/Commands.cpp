#include "tools/scenario/Commands.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <limits>

#include "linux/AtomicFile.h"
#include "tools/scenario/CalendarCommands.h"
#include "sim/SimScripting.h"
#include "tools/scenario/Values.h"
#include "tools/scenario/World.h"

namespace scenario {

namespace {

using Result = std::optional<std::string>;
constexpr std::int64_t kMaxPid = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kMaxWindowId = std::numeric_limits<std::uint32_t>::max();
// A deeper accessibility tree than any real app builds, and still cheap.
constexpr std::int64_t kMaxDepth = 64;

Result noApplication(const std::string& command, sim::pid_t pid) {
    return command + ": no application with pid " + std::to_string(pid);
}

bool hasApplication(World& world, sim::pid_t pid) { return world.desktop().processes().info(pid).has_value(); }

bool isRunning(World& world, sim::pid_t pid) {
    const auto app = world.desktop().processes().info(pid);
    return app && app->running;
}

Result notRunning(const std::string& command, sim::pid_t pid) {
    return command + ": application " + std::to_string(pid) + " is not running";
}

// --- the world ---------------------------------------------------------------

Action parseClock(Args& args) {
    const std::string text = args.word("a date and time");
    const auto seconds = parseIso8601(text);
    if (!args.error() && !seconds) {
        args.fail("expected YYYY-MM-DDTHH:MM:SS[.fff] followed by Z or +HH:MM, got '" + text + "'");
    }
    return [seconds = seconds.value_or(0)](World& world, std::ostream&) -> Result {
        // Timers already scheduled would see time jump; the clock is part of the setting.
        if (world.launched()) return "clock: the clock is set before launch";
        world.desktop().time().setWallClock(seconds);
        return std::nullopt;
    };
}

Action parseScreen(Args& args) {
    const kit::Rect frame = args.rect("a display frame");
    const auto visible = args.optionRect("visible");
    if (!args.error() && (frame.width() <= 0 || frame.height() <= 0)) {
        args.fail("a display needs a positive width and height");
    }
    if (visible && (visible->width() < 0 || visible->height() < 0)) {
        args.fail("the visible frame cannot have a negative size");
    }
    return [frame, visible](World& world, std::ostream&) -> Result {
        world.desktop().screens().add(frame, visible);
        return std::nullopt;
    };
}

Action parseApp(Args& args) {
    sim::AppSpec spec;
    spec.bundleId = args.text("a bundle identifier");
    spec.name = args.text("an application name");
    if (auto pid = args.optionInteger("pid", 1, kMaxPid)) spec.pid = static_cast<sim::pid_t>(*pid);
    spec.bundlePath = args.optionText("url");
    spec.running = !args.flag("stopped");
    spec.inDock = !args.flag("nodock");
    if (!args.error() && (spec.bundleId.empty() || spec.name.empty())) {
        args.fail("the bundle identifier and the name cannot be empty");
    }
    if (spec.bundlePath && spec.bundlePath->empty()) args.fail("option 'url' cannot be empty");
    return [spec](World& world, std::ostream&) -> Result {
        // A pid may name a new process once the old one has ended.
        if (spec.pid && (isRunning(world, *spec.pid) || *spec.pid == world.desktop().ownProcess().pid())) {
            return "app: pid " + std::to_string(*spec.pid) + " is already in use";
        }
        world.desktop().processes().add(spec);
        return std::nullopt;
    };
}

Action parseWindow(Args& args) {
    sim::WindowSpec spec;
    spec.pid = static_cast<sim::pid_t>(args.integer("a process id", 1, kMaxPid));
    if (auto title = args.optionalQuoted()) spec.title = *title;
    if (auto id = args.optionInteger("id", 1, kMaxWindowId)) spec.id = static_cast<sim::CGWindowID>(*id);
    if (auto frame = args.optionRect("frame")) {
        if (frame->width() < 0 || frame->height() < 0) args.fail("a window frame cannot have a negative size");
        spec.frame = *frame;
    }
    if (auto subrole = args.optionText("subrole")) spec.subrole = *subrole;
    spec.minimized = args.flag("minimized");
    if (auto closeButton = args.optionYesNo("closebutton")) spec.closeButton = *closeButton;
    if (auto depth = args.optionInteger("depth", 0, kMaxDepth)) spec.depth = static_cast<int>(*depth);
    if (auto minimum = args.optionPoint("minsize")) {
        if (minimum->x < 0 || minimum->y < 0) args.fail("a minimum size cannot be negative");
        spec.minimumSize = {minimum->x, minimum->y};
    }
    if (auto space = args.optionInteger("space", 1, std::numeric_limits<std::uint32_t>::max()))
        spec.space = static_cast<std::uint32_t>(*space);
    return [spec](World& world, std::ostream&) -> Result {
        if (!hasApplication(world, spec.pid)) return noApplication("window", spec.pid);
        if (!isRunning(world, spec.pid)) return notRunning("window", spec.pid);
        if (spec.space && !world.desktop().spaces().exists(*spec.space))
            return "window: there is no Space " + std::to_string(*spec.space);
        if (spec.id && world.desktop().windows().info(*spec.id).exists) {
            return "window: a window with id " + std::to_string(*spec.id) + " already exists";
        }
        world.desktop().windows().add(spec);
        return std::nullopt;
    };
}

Action parseFront(Args& args) {
    const auto pid = static_cast<sim::pid_t>(args.integer("a process id", 1, kMaxPid));
    std::optional<sim::CGWindowID> window;
    if (auto id = args.optionInteger("window", 1, kMaxWindowId)) window = static_cast<sim::CGWindowID>(*id);
    return [pid, window](World& world, std::ostream&) -> Result {
        if (!hasApplication(world, pid)) return noApplication("front", pid);
        if (!isRunning(world, pid)) return notRunning("front", pid);
        if (window) {
            const sim::WindowInfo info = world.desktop().windows().info(*window);
            if (!info.exists || info.pid != pid) {
                return "front: application " + std::to_string(pid) + " has no window " + std::to_string(*window);
            }
        }
        world.desktop().processes().setFrontmost(pid, window);
        return std::nullopt;
    };
}

Action parseGrant(Args& args) {
    const std::string what = args.word("a permission");
    const std::string state = args.word("on or off");
    if (!args.error() && state != "on" && state != "off") args.fail("expected on or off, got '" + state + "'");
    const bool on = state == "on";
    if (what == "accessibility") {
        return [on](World& world, std::ostream&) -> Result {
            world.desktop().permissions().setAccessibilityTrusted(on);
            return std::nullopt;
        };
    }
    if (what == "screen-recording") {
        return [on](World& world, std::ostream&) -> Result {
            world.desktop().permissions().setScreenRecording(on);
            return std::nullopt;
        };
    }
    if (what == "automation:Music" || what == "automation:Spotify") {
        return [on, player = what.substr(what.find(':') + 1)](World& world, std::ostream&) -> Result {
            world.desktop().players().setAutomationConsent(player, on);
            return std::nullopt;
        };
    }
    if (!args.error()) {
        args.fail("unknown permission '" + what +
                  "' (accessibility, screen-recording, automation:Music or automation:Spotify)");
    }
    return {};
}

// --- user defaults -------------------------------------------------------------

Action parseDefaults(Args& args) {
    const std::string key = args.text("a key");
    const std::string type = args.word("a type (bool, int or double)");
    const std::string text = args.word("a value");
    if (!args.error() && key.empty()) args.fail("the key cannot be empty");
    if (args.error()) return {};
    if (type == "bool") {
        if (text != "true" && text != "false") args.fail("a bool is true or false, got '" + text + "'");
        return [key, value = text == "true"](World& world, std::ostream&) -> Result {
            world.defaults().setBool(value, key);
            return std::nullopt;
        };
    }
    if (type == "int") {
        const auto value = parseInteger(text);
        if (!value) args.fail("expected a 64-bit integer, got '" + text + "'");
        return [key, value = value.value_or(0)](World& world, std::ostream&) -> Result {
            world.defaults().setInteger(value, key);
            return std::nullopt;
        };
    }
    if (type == "double") {
        const auto value = parseNumber(text);
        if (!value) args.fail("expected a number, got '" + text + "'");
        return [key, value = value.value_or(0)](World& world, std::ostream&) -> Result {
            world.defaults().setDouble(value, key);
            return std::nullopt;
        };
    }
    args.fail("unknown type '" + type + "' (bool, int or double)");
    return {};
}

Action parseDefaultsDelete(Args& args) {
    const std::string key = args.text("a key");
    return [key](World& world, std::ostream&) -> Result {
        world.defaults().removeObjectForKey(key);
        return std::nullopt;
    };
}

Action parseCorruptDefaults(Args&) {
    return [](World& world, std::ostream&) -> Result {
        // A binary property-list header with a body too short to hold its
        // trailer, then bytes no text format accepts.
        static constexpr char kGarbage[] = "bplist00\xde\xad\xbe\xef\x00\xff not a property list <{";
        const std::string path = world.defaultsPath();
        std::string error;
        // Damaged the way a crashing editor damages a file: the whole file,
        // at once, through a link to it if there is one (the link stays, as
        // it would for the product's own writes).
        if (!linuxhost::fileio::makeFolders(linuxhost::fileio::parentFolder(path), &error) ||
            !linuxhost::fileio::replaceAtomically(path, std::string_view(kGarbage, sizeof kGarbage - 1), 0600,
                                                  &error)) {
            return "corrupt-defaults: " + error;
        }
        return std::nullopt;
    };
}

Action parseDefaultsFile(Args& args) {
    const std::string what = args.word("what to do to the file (truncate)");
    if (!args.error() && what != "truncate") args.fail("unknown change '" + what + "' (truncate)");
    if (args.error()) return {};
    return [](World& world, std::ostream&) -> Result {
        // The first step of an editor's in-place save: the same file, through
        // a link to it if there is one, emptied (and made if it was absent,
        // as a shell's `>` makes it).
        const std::string path = world.defaultsPath();
        std::string error;
        if (!linuxhost::fileio::makeFolders(linuxhost::fileio::parentFolder(path), &error)) {
            return "defaults-file: " + error;
        }
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0600);
        if (fd < 0) return "defaults-file: " + linuxhost::fileio::errorText("cannot open", path, errno);
        struct stat info {};
        Result result;
        if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
            result = "defaults-file: " + path + " is not a regular file";
        } else if (::ftruncate(fd, 0) != 0) {
            result = "defaults-file: " + linuxhost::fileio::errorText("cannot truncate", path, errno);
        }
        ::close(fd);
        return result;
    };
}

// --- faults ------------------------------------------------------------------------

Action parseFail(Args& args) {
    const std::string what = args.word("what to fail");
    if (args.error()) return {};
    if (what == "ax-read" || what == "ax-write") {
        const auto pid = static_cast<sim::pid_t>(args.integer("a process id", 1, kMaxPid));
        const std::string attribute = args.text("an attribute name");
        if (!args.error() && attribute.empty()) args.fail("the attribute name cannot be empty");
        return [pid, attribute, write = what == "ax-write"](World& world, std::ostream&) -> Result {
            if (!hasApplication(world, pid)) return noApplication("fail", pid);
            if (write) world.desktop().accessibility().failWrite(pid, attribute);
            else world.desktop().accessibility().failRead(pid, attribute);
            return std::nullopt;
        };
    }
    if (what == "ax-dead") {
        const auto pid = static_cast<sim::pid_t>(args.integer("a process id", 1, kMaxPid));
        return [pid](World& world, std::ostream&) -> Result {
            if (!hasApplication(world, pid)) return noApplication("fail", pid);
            world.desktop().accessibility().setDead(pid);
            return std::nullopt;
        };
    }
    if (what == "ax-hang") {
        // The Dock by name, since its pid changes whenever it restarts.
        std::optional<sim::pid_t> pid;
        if (auto word = args.peek(); word && !word->quoted && word->text == "dock") args.word("dock");
        else pid = static_cast<sim::pid_t>(args.integer("a process id or dock", 1, kMaxPid));
        const bool off = args.flag("off");
        return [pid, off](World& world, std::ostream&) -> Result {
            std::optional<sim::pid_t> target = pid;
            if (!target) {
                target = world.desktop().dock().pid();
                if (!target) return "fail ax-hang: the Dock is not running";
            } else if (!hasApplication(world, *target)) {
                return noApplication("fail", *target);
            }
            world.desktop().accessibility().setHung(*target, !off);
            return std::nullopt;
        };
    }
    if (what == "login-register" || what == "login-unregister") {
        // The wording of the system's own refusal when approval is missing.
        std::string message = args.optionalQuoted().value_or("Operation not permitted");
        return [message, registering = what == "login-register"](World& world, std::ostream&) -> Result {
            if (registering) world.login().failRegister(message);
            else world.login().failUnregister(message);
            return std::nullopt;
        };
    }
    if (what == "shareable-content") {
        return [](World& world, std::ostream&) -> Result {
            world.desktop().capture().failShareableContent();
            return std::nullopt;
        };
    }
    if (what == "capture") {
        const auto id = static_cast<sim::CGWindowID>(args.integer("a window id", 1, kMaxWindowId));
        // The window may be added later: a fault names an id, not a window.
        return [id](World& world, std::ostream&) -> Result {
            world.desktop().capture().failCapture(id);
            return std::nullopt;
        };
    }
    if (what == "calendar-unreadable") return parseFailCalendarUnreadable(args);
    if (what == "defaults-unwritable") {
        bool off = false;
        if (auto word = args.peek(); word && !word->quoted && word->text == "off") {
            args.word("off");
            off = true;
        }
        return [off](World& world, std::ostream&) -> Result {
            if (!world.setDefaultsWritable(off)) return "fail defaults-unwritable: the defaults folder cannot be changed";
            return std::nullopt;
        };
    }
    if (what == "tap-timeout" || what == "tap-user-input") {
        const auto reason = what == "tap-timeout" ? platform::kCGEventTapDisabledByTimeout
                                                  : platform::kCGEventTapDisabledByUserInput;
        return [reason](World& world, std::ostream&) -> Result {
            world.desktop().eventTaps().disableAll(reason);
            return std::nullopt;
        };
    }
    if (what == "tap-create") {
        return [](World& world, std::ostream&) -> Result {
            if (world.launched()) return "fail tap-create: Durazizi has already launched";
            world.desktop().eventTaps().failCreate();
            return std::nullopt;
        };
    }
    if (what == "script" || what == "script-hang") return parseFailScript(args, what == "script-hang");
    args.fail("unknown fault '" + what + "'");
    return {};
}

Action parseScreenRemove(Args& args) {
    const auto index = static_cast<std::size_t>(args.integer("a display number", 0, 63));
    return [index](World& world, std::ostream&) -> Result {
        if (!world.desktop().screens().remove(index)) return "screen-remove: there is no display " + std::to_string(index);
        return std::nullopt;
    };
}

Action parseQuitApp(Args& args) {
    const auto pid = static_cast<sim::pid_t>(args.integer("a process id", 1, kMaxPid));
    return [pid](World& world, std::ostream&) -> Result {
        if (!hasApplication(world, pid)) return noApplication("quit-app", pid);
        world.desktop().processes().quit(pid);
        return std::nullopt;
    };
}

// --- running -------------------------------------------------------------------------

Action parseLaunch(Args&) {
    return [](World& world, std::ostream&) -> Result {
        if (auto error = world.launch()) return "launch: " + *error;
        return std::nullopt;
    };
}

Action parseRelaunch(Args&) {
    return [](World& world, std::ostream&) -> Result {
        world.relaunch();
        return std::nullopt;
    };
}

Action parseQuit(Args&) {
    return [](World& world, std::ostream&) -> Result {
        if (auto error = world.quit()) return "quit: " + *error;
        return std::nullopt;
    };
}

Action parseMenu(Args& args) {
    const std::string menu = args.text("a menu title");
    const std::string item = args.text("an item title");
    return [menu, item](World& world, std::ostream&) -> Result {
        if (!world.running()) return "menu: Durazizi is not running";
        if (!world.desktop().application().chooseMenuItem(menu, item)) {
            return "menu: no item \"" + item + "\" in menu \"" + menu + "\"";
        }
        return std::nullopt;
    };
}

Action parseAdvance(Args& args) {
    const double seconds = args.duration("a duration");
    return [seconds](World& world, std::ostream&) -> Result {
        world.desktop().time().advance(seconds);
        return std::nullopt;
    };
}

// Every command of the language, in the order the documentation lists them.
constexpr std::array kCommands = {
    CommandEntry{"clock", parseClock},
    CommandEntry{"timezone", parseTimezone},
    CommandEntry{"locale", parseLocale},
    CommandEntry{"screen", parseScreen},
    CommandEntry{"dock", parseDock},
    CommandEntry{"app", parseApp},
    CommandEntry{"dock-item", parseDockItem},
    CommandEntry{"window", parseWindow},
    CommandEntry{"front", parseFront},
    CommandEntry{"grant", parseGrant},
    CommandEntry{"calendar-access", parseCalendarAccess},
    CommandEntry{"event", parseEvent},
    CommandEntry{"player", parsePlayer},
    CommandEntry{"defaults", parseDefaults},
    CommandEntry{"defaults-delete", parseDefaultsDelete},
    CommandEntry{"fail", parseFail},
    CommandEntry{"corrupt-defaults", parseCorruptDefaults},
    CommandEntry{"defaults-file", parseDefaultsFile},
    CommandEntry{"quit-app", parseQuitApp},
    CommandEntry{"screen-remove", parseScreenRemove},
    CommandEntry{"space", parseSpace},
    CommandEntry{"calendar-file", parseCalendarFile},
    CommandEntry{"launch", parseLaunch},
    CommandEntry{"relaunch", parseRelaunch},
    CommandEntry{"quit", parseQuit},
    CommandEntry{"menu", parseMenu},
    CommandEntry{"advance", parseAdvance},
    CommandEntry{"move", parseMove},
    CommandEntry{"down", parseDown},
    CommandEntry{"drag", parseDrag},
    CommandEntry{"up", parseUp},
    CommandEntry{"click", parseClick},
    CommandEntry{"key", parseKey},
    CommandEntry{"scroll", parseScroll},
    CommandEntry{"hover-dock", parseHoverDock},
    CommandEntry{"click-tile", parseClickTile},
    CommandEntry{"close-tile", parseCloseTile},
    CommandEntry{"click-status-item", parseClickStatusItem},
    CommandEntry{"press", parsePress},
    CommandEntry{"agree", parseAgree},
    CommandEntry{"decline", parseDecline},
    CommandEntry{"step", parseStep},
    CommandEntry{"slide", parseSlide},
    CommandEntry{"pick", parsePick},
    CommandEntry{"close-window", parseCloseWindow},
    CommandEntry{"minimize-window", parseMinimizeWindow},
    CommandEntry{"appearance", parseAppearance},
    CommandEntry{"snapshot", parseSnapshot},
    CommandEntry{"query", parseQuery},
};

}  // namespace

const CommandEntry* findCommand(std::string_view name) {
    for (const CommandEntry& entry : kCommands) {
        if (entry.name == name) return &entry;
    }
    return nullptr;
}

}  // namespace scenario
