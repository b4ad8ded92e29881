#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/Defaults.h"

namespace linuxhost {

// User defaults persisted as a property list at
// $XDG_CONFIG_HOME/durazizi/<bundle id>.plist, with registered defaults in
// memory beneath them. Every write is durable and atomic (temporary file,
// fsync, rename); a symbolic link at the path is kept and written through.
// A file that cannot be parsed, or is too large or nested too deeply to be
// handed to the parser, is moved aside under the folder lock every write
// takes, never overwritten; one diagnostic line goes to `diagnostic` (stderr
// by default), and the store starts from the registered defaults. A file
// found damaged or emptied while running never makes a write drop what the
// store holds: the write holds every value it knows; a file deleted while
// running starts the domain over at the next write. Something
// other than a regular file at the path (a FIFO, a device, a folder) is never
// read nor replaced. Keys and value types it does not know are kept as they
// are. Thread-safe.
class PlistDefaults final : public platform::Defaults {
public:
    explicit PlistDefaults(std::string path,
                           std::function<void(const std::string&)> diagnostic = nullptr);
    ~PlistDefaults() override;

    static std::string pathFor(const std::string& configHome, const std::string& bundleId);

    void registerDefaults(const std::map<std::string, platform::DefaultValue>& defaults) override;
    bool boolForKey(const std::string& key) override;
    std::int64_t integerForKey(const std::string& key) override;
    double doubleForKey(const std::string& key) override;
    void setBool(bool value, const std::string& key) override;
    void setInteger(std::int64_t value, const std::string& key) override;
    void setDouble(double value, const std::string& key) override;
    void removeObjectForKey(const std::string& key) override;
    std::optional<platform::DefaultValue> objectForKey(const std::string& key) override;

    const std::string& path() const;
    // Where an unreadable file was moved at load, if it was.
    std::optional<std::string> movedAsidePath() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace linuxhost
