#include "linux/PlistDefaults.h"

#include <fcntl.h>
#include <plist/plist.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>
#include <string>
#include <type_traits>
#include <unordered_map>
#include <vector>

#include "linux/AtomicFile.h"
#include "linux/PlistBounds.h"
#include "platform/DefaultsCoercion.h"

namespace linuxhost {

namespace {

namespace coercion = platform::coercion;

struct PlistFree {
    void operator()(void* node) const { plist_free(node); }
};
// One owned property-list node (plist_t is a void pointer).
using Node = std::unique_ptr<void, PlistFree>;

Node newDict() { return Node(plist_new_dict()); }

// The binary form can name a key twice and libplist keeps both entries,
// where its XML reader keeps only the last. Reads take the last entry, which
// is the one the next reader of the rewritten file sees, and a change
// replaces every entry of its key; otherwise a value we wrote could come back
// as the old one. Keys are compared in place, never copied out: a key may
// hold NUL bytes, and libplist's copying accessor aborts on those.
plist_t lastEntry(plist_t dict, const std::string& key) {
    plist_t found = nullptr;
    plist_dict_iter iter = nullptr;
    plist_dict_new_iter(dict, &iter);
    for (;;) {
        plist_t value = nullptr;
        plist_dict_next_item(dict, iter, nullptr, &value);
        if (!value) break;
        plist_t keyNode = plist_dict_item_get_key(value);
        if (keyNode && plist_key_val_compare(keyNode, key.c_str()) == 0) found = value;
    }
    std::free(iter);
    return found;
}

// What we last knew of the file on disk; any difference means somebody else
// wrote it since.
struct FileIdentity {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    std::int64_t mtimeSeconds = 0;
    std::int64_t mtimeNanos = 0;

    static FileIdentity of(const struct stat& info) {
        FileIdentity id;
        id.exists = true;
        id.device = info.st_dev;
        id.inode = info.st_ino;
        id.size = info.st_size;
        id.mtimeSeconds = info.st_mtim.tv_sec;
        id.mtimeNanos = info.st_mtim.tv_nsec;
        return id;
    }
    static FileIdentity at(const std::string& path) {
        struct stat info {};
        if (::stat(path.c_str(), &info) != 0) return {};
        return of(info);
    }
    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// Holds an advisory lock on the folder so that our read-merge-write does not
// race another instance doing the same. Best effort: file systems without
// flock simply go unlocked.
class FolderLock {
public:
    explicit FolderLock(const std::string& folder)
        : fd_(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        if (fd_ >= 0) {
            while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
            }
        }
    }
    ~FolderLock() {
        if (fd_ >= 0) ::close(fd_);   // closing releases the lock
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

private:
    int fd_;
};

std::string utcStamp() {
    std::time_t now = std::time(nullptr);
    std::tm parts {};
    ::gmtime_r(&now, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%dT%H%M%S", &parts);
    return text;
}

coercion::Stored storedOf(plist_t node) {
    switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
        std::uint8_t value = 0;
        plist_get_bool_val(node, &value);
        return value != 0;
    }
    case PLIST_UINT: {
        std::uint64_t raw = 0;
        plist_get_uint_val(node, &raw);
        // Integers are kept unsigned; ours are written as their two's complement.
        return static_cast<std::int64_t>(raw);
    }
    case PLIST_REAL: {
        double value = 0.0;
        plist_get_real_val(node, &value);
        return value;
    }
    case PLIST_STRING: {
        // Read with its length: a string may hold NUL bytes (the XML form
        // lets them through), and the copying accessor aborts on those.
        std::uint64_t length = 0;
        const char* text = plist_get_string_ptr(node, &length);
        return text ? std::string(text, static_cast<std::size_t>(length)) : std::string();
    }
    default: return {};
    }
}

void writeToStderr(const std::string& message) {
    std::string line = "durazizi: " + message + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

}  // namespace

struct PlistDefaults::Impl {
    std::string path;
    std::function<void(const std::string&)> diagnostic;

    mutable std::mutex mutex;
    Node root = newDict();                       // user values, unknown keys included
    // Reads are by key, and a dictionary of many thousand keys (a file
    // another program filled) made each of them a walk of the whole file.
    // Each key read is looked up once per version of `root` and remembered,
    // absence included; a change updates its own entry. Keys are never
    // copied out of the tree (see lastEntry), so the index fills by key
    // rather than in one pass.
    mutable std::unordered_map<std::string, plist_t> index;
    std::map<std::string, Node> pending;         // our changes not yet on disk; null = removal
    std::map<std::string, platform::DefaultValue> registered;
    FileIdentity seen;                           // the file as we last read or wrote it
    std::optional<std::string> movedAside;
    // The file exists but could not be read: never replace what we could not see.
    bool unreadable = false;
    bool writeFailureReported = false;
    std::vector<std::string> notes;              // diagnostics, sent once the lock is released

    // `empty`: a zero-length file. At start-up that is an empty domain (what
    // `touch` leaves); met while running it is most often an editor that
    // saves in place and has truncated the file before writing it again.
    enum class Disk { dictionary, empty, missing, movedAside, unreadable };

    // `holdingLock`: the caller holds the folder lock. Without it, a file
    // that looks damaged is looked at again under the lock before it is
    // moved: another instance may be halfway through replacing it.
    Disk readDisk(Node* out, bool holdingLock);
    bool moveAside(std::string* where, std::string* error);
    void applyPending();
    void replaceRoot(Node node);
    void setNode(const std::string& key, Node value);
    void persist();
    void change(const std::string& key, Node value);
    plist_t userValue(const std::string& key) const;
    coercion::Stored lookup(const std::string& key) const;

    template <typename Result, typename Body>
    Result locked(Body body);
};

template <typename Result, typename Body>
Result PlistDefaults::Impl::locked(Body body) {
    std::vector<std::string> toSend;
    auto finish = [&] {
        toSend.swap(notes);
    };
    if constexpr (std::is_void_v<Result>) {
        {
            std::lock_guard<std::mutex> guard(mutex);
            body();
            finish();
        }
        for (const auto& note : toSend) diagnostic(note);
    } else {
        Result result;
        {
            std::lock_guard<std::mutex> guard(mutex);
            result = body();
            finish();
        }
        for (const auto& note : toSend) diagnostic(note);
        return result;
    }
}

bool PlistDefaults::Impl::moveAside(std::string* where, std::string* error) {
    // Through a link, the damaged file is the one it leads to; the link stays
    // and the next write recreates the file at its end.
    const std::string file = fileio::followLinks(path);
    const std::string base = file + ".corrupt-" + utcStamp();
    for (int attempt = 1; attempt < 10000; ++attempt) {
        std::string candidate = attempt == 1 ? base : base + "-" + std::to_string(attempt);
        // Never replace an earlier aside copy: each one is somebody's lost settings.
        if (::renameat2(AT_FDCWD, file.c_str(), AT_FDCWD, candidate.c_str(), RENAME_NOREPLACE) == 0) {
            *where = candidate;
            return true;
        }
        int err = errno;
        if (err == EINVAL || err == ENOSYS) {
            // File systems without no-replace renames: a hard link fails the same way.
            if (::link(file.c_str(), candidate.c_str()) == 0) {
                ::unlink(file.c_str());
                *where = candidate;
                return true;
            }
            err = errno;
        }
        if (err != EEXIST) {
            *error = std::strerror(err);
            return false;
        }
    }
    *error = "too many earlier copies";
    return false;
}

PlistDefaults::Impl::Disk PlistDefaults::Impl::readDisk(Node* out, bool holdingLock) {
    std::string contents;
    std::string error;
    struct stat info {};
    bool usable = true;
    switch (fileio::readWhole(path, &contents, &error, plistbounds::kMaxBytes, &info)) {
    case fileio::ReadStatus::missing:
        seen = {};
        return Disk::missing;
    case fileio::ReadStatus::failed:
        if (!unreadable) notes.push_back(error + "; settings changes will not be saved to it");
        unreadable = true;
        return Disk::unreadable;
    case fileio::ReadStatus::tooLarge:
        usable = false;
        break;
    case fileio::ReadStatus::ok:
        break;
    }

    if (usable && contents.empty()) {
        unreadable = false;
        seen = FileIdentity::of(info);
        *out = newDict();
        return Disk::empty;
    }
    // Too large or too deeply nested is as unreadable as garbage: the parser
    // never sees it.
    Node node;
    if (usable && plistbounds::nestingWithin(contents)) {
        plist_t parsed = nullptr;
        plist_from_memory(contents.data(), static_cast<std::uint32_t>(contents.size()), &parsed);
        node.reset(parsed);
    }
    if (node && plist_get_node_type(node.get()) == PLIST_DICT) {
        unreadable = false;
        seen = FileIdentity::of(info);
        *out = std::move(node);
        return Disk::dictionary;
    }
    if (!holdingLock) {
        FolderLock lock(fileio::parentFolder(path));
        return readDisk(out, true);
    }

    std::string where;
    std::string moveError;
    if (moveAside(&where, &moveError)) {
        unreadable = false;
        movedAside = where;
        notes.push_back("settings file " + path + " is not a readable property list; moved it to " +
                        where + " and started from the defaults");
        seen = FileIdentity::at(path);
        *out = newDict();
        return Disk::movedAside;
    }
    notes.push_back("settings file " + path + " is not a readable property list and could not be moved aside (" +
                    moveError + "); settings changes will not be saved to it");
    unreadable = true;
    return Disk::unreadable;
}

void PlistDefaults::Impl::replaceRoot(Node node) {
    root = std::move(node);
    index.clear();
}

void PlistDefaults::Impl::setNode(const std::string& key, Node value) {
    while (plist_dict_get_item(root.get(), key.c_str())) plist_dict_remove_item(root.get(), key.c_str());
    plist_t added = value.get();
    if (value) plist_dict_set_item(root.get(), key.c_str(), value.release());
    index.insert_or_assign(key, added);
}

void PlistDefaults::Impl::applyPending() {
    for (const auto& [key, value] : pending) {
        setNode(key, value ? Node(plist_copy(value.get())) : Node());
    }
}

void PlistDefaults::Impl::persist() {
    const std::string folder = fileio::parentFolder(path);
    std::string error;
    bool written = false;
    if (fileio::makeFolders(folder, &error)) {
        FolderLock lock(folder);

        // Pass 1: somebody else wrote the file since we read or wrote it (a
        // hand edit, another instance). Their file becomes our base, so their
        // change survives, and ours go on top of it.
        if (unreadable || FileIdentity::at(path) != seen) {
            Node disk;
            switch (readDisk(&disk, true)) {
            case Disk::dictionary: replaceRoot(std::move(disk)); break;
            // Taking an emptied file for the truth would write away every
            // value we hold (the terms accepted, each preference) for the
            // one being set: the file gets the whole set we know instead.
            case Disk::empty: break;
            // A file removed by hand is the user's "start over": the next
            // write holds only what is set from then on.
            case Disk::missing: replaceRoot(newDict()); break;
            case Disk::movedAside: break;      // their text is safe aside; keep what we had
            case Disk::unreadable: return;
            }
            applyPending();
        }

        // Pass 2: write the whole dictionary, keeping keys we do not know.
        char* xml = nullptr;
        std::uint32_t length = 0;
        plist_to_xml(root.get(), &xml, &length);
        if (xml) {
            std::string_view text(xml, length);
            struct stat info {};
            // Keep a mode the user chose, but never lock ourselves out of our own file.
            mode_t mode = ::stat(path.c_str(), &info) == 0 ? ((info.st_mode & 07777) | 0600) : 0600;
            written = fileio::replaceAtomically(path, text, mode, &error);
            plist_to_xml_free(xml);
        } else {
            error = "cannot encode the settings of " + path;
        }
        if (written) seen = FileIdentity::at(path);
    }

    if (written) {
        pending.clear();
        writeFailureReported = false;
    } else if (!writeFailureReported) {
        // Kept in memory and retried with the next write; said once, not per write.
        notes.push_back(error);
        writeFailureReported = true;
    }
}

void PlistDefaults::Impl::change(const std::string& key, Node value) {
    if (!coercion::isUsableKey(key)) {
        notes.push_back("refused a settings key holding control characters; nothing was written");
        return;
    }
    bool known = userValue(key) != nullptr;
    if (!value && !known && pending.empty() && FileIdentity::at(path) == seen) {
        return;   // removing what is not there: leave the disk alone
    }
    setNode(key, value ? Node(plist_copy(value.get())) : Node());
    pending[key] = std::move(value);
    persist();
}

plist_t PlistDefaults::Impl::userValue(const std::string& key) const {
    if (const auto found = index.find(key); found != index.end()) return found->second;
    // Only keys the code asks for land here, but a caller could ask for
    // ever new ones: start over rather than grow without end.
    constexpr std::size_t kMaxRemembered = 4096;
    if (index.size() >= kMaxRemembered) index.clear();
    plist_t value = lastEntry(root.get(), key);
    index.emplace(key, value);
    return value;
}

PlistDefaults::PlistDefaults(std::string path, std::function<void(const std::string&)> diagnostic)
    : impl_(std::make_unique<Impl>()) {
    impl_->path = std::move(path);
    impl_->diagnostic = diagnostic ? std::move(diagnostic) : writeToStderr;
    impl_->locked<void>([&] {
        Node disk;
        if (impl_->readDisk(&disk, false) == Impl::Disk::dictionary) impl_->replaceRoot(std::move(disk));
    });
}

PlistDefaults::~PlistDefaults() = default;

std::string PlistDefaults::pathFor(const std::string& configHome, const std::string& bundleId) {
    return configHome + "/durazizi/" + bundleId + ".plist";
}

void PlistDefaults::registerDefaults(const std::map<std::string, platform::DefaultValue>& defaults) {
    impl_->locked<void>([&] {
        for (const auto& [key, value] : defaults) {
            if (coercion::isUsableKey(key)) impl_->registered[key] = value;
        }
    });
}

coercion::Stored PlistDefaults::Impl::lookup(const std::string& key) const {
    if (!coercion::isUsableKey(key)) return {};
    if (plist_t node = userValue(key)) return storedOf(node);
    if (auto it = registered.find(key); it != registered.end()) return coercion::stored(it->second);
    return {};
}

bool PlistDefaults::boolForKey(const std::string& key) {
    return impl_->locked<bool>([&] { return coercion::asBool(impl_->lookup(key)); });
}

std::int64_t PlistDefaults::integerForKey(const std::string& key) {
    return impl_->locked<std::int64_t>([&] { return coercion::asInteger(impl_->lookup(key)); });
}

double PlistDefaults::doubleForKey(const std::string& key) {
    return impl_->locked<double>([&] { return coercion::asDouble(impl_->lookup(key)); });
}

void PlistDefaults::setBool(bool value, const std::string& key) {
    impl_->locked<void>([&] { impl_->change(key, Node(plist_new_bool(value ? 1 : 0))); });
}

void PlistDefaults::setInteger(std::int64_t value, const std::string& key) {
    impl_->locked<void>([&] { impl_->change(key, Node(plist_new_uint(static_cast<std::uint64_t>(value)))); });
}

void PlistDefaults::setDouble(double value, const std::string& key) {
    impl_->locked<void>([&] { impl_->change(key, Node(plist_new_real(value))); });
}

void PlistDefaults::removeObjectForKey(const std::string& key) {
    impl_->locked<void>([&] { impl_->change(key, Node()); });
}

std::optional<platform::DefaultValue> PlistDefaults::objectForKey(const std::string& key) {
    return impl_->locked<std::optional<platform::DefaultValue>>(
        [&]() -> std::optional<platform::DefaultValue> {
            if (!coercion::isUsableKey(key)) return std::nullopt;
            const auto it = impl_->registered.find(key);
            const auto registered = it != impl_->registered.end() ? std::optional(it->second) : std::nullopt;
            if (plist_t node = impl_->userValue(key)) {
                const coercion::Stored user = storedOf(node);
                return coercion::read(&user, registered);
            }
            return coercion::read(nullptr, registered);
        });
}

const std::string& PlistDefaults::path() const { return impl_->path; }

std::optional<std::string> PlistDefaults::movedAsidePath() const {
    std::lock_guard<std::mutex> guard(impl_->mutex);
    return impl_->movedAside;
}

}  // namespace linuxhost
