#include "tools/scenario/Runner.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <ostream>
#include <string>
#include <unistd.h>
#include <vector>

#include "tools/scenario/Parser.h"
#include "tools/scenario/World.h"

namespace scenario {

namespace {

constexpr const char* kProgram = "durazizi-sim: ";

// A private home for one run, removed with everything in it at the end.
class TemporaryHome {
public:
    TemporaryHome() {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = (tmp && *tmp == '/') ? tmp : "/tmp";
        pattern += "/durazizi-sim-XXXXXX";
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        if (::mkdtemp(buffer.data())) path_ = buffer.data();
        else error_ = std::strerror(errno);
    }
    ~TemporaryHome() {
        if (path_.empty()) return;
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TemporaryHome(const TemporaryHome&) = delete;
    TemporaryHome& operator=(const TemporaryHome&) = delete;

    const std::string& path() const { return path_; }
    const std::string& error() const { return error_; }

private:
    std::string path_;
    std::string error_;
};

int runSteps(const Script& script, const std::string& home, const RunOptions& options, std::ostream& out,
             std::ostream& err) {
    World world(home, [&err](const std::string& notice) { err << kProgram << notice << '\n'; });
    world.calendars().setScenarioFolder(options.scenarioFolder);
    for (const Step& step : script.steps) {
        if (auto problem = step.action(world, out)) {
            out.flush();
            err << kProgram << "line " << step.line << ": " << *problem << '\n';
            return 2;
        }
    }
    out.flush();
    return 0;
}

}  // namespace

int runScenario(std::istream& in, std::ostream& out, std::ostream& err, const RunOptions& options) {
    const Script script = parseScript(in);
    if (script.error) {
        err << kProgram << "line " << script.error->line << ": " << script.error->reason << '\n';
        return 2;
    }
    if (in.bad()) {
        err << kProgram << "cannot read the scenario\n";
        return 1;
    }
    if (options.home) {
        std::error_code error;
        std::filesystem::create_directories(*options.home, error);
        if (error) {
            err << kProgram << "cannot create " << *options.home << ": " << error.message() << '\n';
            return 1;
        }
        return runSteps(script, std::filesystem::absolute(*options.home).string(), options, out, err);
    }
    TemporaryHome home;
    if (home.path().empty()) {
        err << kProgram << "cannot create a home folder: " << home.error() << '\n';
        return 1;
    }
    return runSteps(script, home.path(), options, out, err);
}

}  // namespace scenario
