#include "linux/PlistDefaults.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <plist/plist.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <functional>
#include <optional>
#include <thread>

#include "sim/Desktop.h"

namespace fs = std::filesystem;
using linuxhost::PlistDefaults;
using testing::HasSubstr;

namespace {

struct TempHome {
    fs::path root;
    TempHome() {
        char pattern[] = "/tmp/durazizi-plist-XXXXXX";
        root = ::mkdtemp(pattern);
    }
    ~TempHome() {
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }
    std::string plist() const { return PlistDefaults::pathFor(root.string(), "app.test.Defaults"); }
};

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

// Writes the way an editor saves: a new file renamed over the old one.
void handWrite(const std::string& path, const std::string& text) {
    fs::create_directories(fs::path(path).parent_path());
    std::string tmp = path + ".editor";
    std::ofstream(tmp, std::ios::binary) << text;
    fs::rename(tmp, path);
}

std::string plistXml(const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n" + body +
           "</dict>\n</plist>\n";
}

struct Parsed {
    plist_t root = nullptr;
    explicit Parsed(const std::string& text) {
        plist_from_memory(text.data(), static_cast<std::uint32_t>(text.size()), &root);
    }
    ~Parsed() { plist_free(root); }
    bool isDict() const { return root && plist_get_node_type(root) == PLIST_DICT; }
    bool has(const char* key) const { return isDict() && plist_dict_get_item(root, key); }
};

std::vector<std::string> folderEntries(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Whether a process waits for an flock on `path`, as the kernel lists it:
// blocked requests are the lines of /proc/locks marked "->". Gives up after
// ten seconds, so a store that never asks for the lock fails the test
// instead of hanging it.
bool someoneWaitsForLockOn(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return false;
    const std::string inode = ":" + std::to_string(info.st_ino);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
        std::ifstream locks("/proc/locks");
        for (std::string line; std::getline(locks, line);) {
            std::istringstream words(line);
            std::string word;
            bool blocked = false;
            while (words >> word) {
                if (word == "->") blocked = true;
                // The file is named major:minor:inode.
                if (blocked && std::count(word.begin(), word.end(), ':') == 2 && word.ends_with(inode)) return true;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

}  // namespace

TEST(PlistDefaults, ValuesRoundTripAboveRegisteredDefaultsWhichNeverReachTheDisk) {
    TempHome home;
    {
        PlistDefaults first(home.plist());
        first.registerDefaults({{"size", std::int64_t{220}}, {"enabled", true}, {"delay", 0.5}});
        EXPECT_EQ(first.integerForKey("size"), 220);
        EXPECT_EQ(first.doubleForKey("delay"), 0.5);
        EXPECT_FALSE(first.objectForKey("unknown").has_value());
        // Registering and reading alone leaves no trace on disk.
        EXPECT_FALSE(fs::exists(fs::path(home.plist()).parent_path()));

        first.setBool(true, "flag");
        first.setInteger(INT64_MAX, "largest");
        first.setDouble(0.1, "fraction");
        first.setInteger(300, "size");
        first.setInteger(-42, "gone");
        first.removeObjectForKey("gone");
        EXPECT_EQ(first.integerForKey("size"), 300);
    }
    Parsed onDisk(readFile(home.plist()));
    ASSERT_TRUE(onDisk.isDict());
    EXPECT_TRUE(onDisk.has("size"));
    EXPECT_FALSE(onDisk.has("enabled"));

    PlistDefaults second(home.plist());
    second.registerDefaults({{"size", std::int64_t{220}}});
    EXPECT_EQ(second.objectForKey("flag"), platform::DefaultValue(true));
    EXPECT_EQ(second.objectForKey("largest"), platform::DefaultValue(std::int64_t{INT64_MAX}));
    EXPECT_EQ(second.objectForKey("fraction"), platform::DefaultValue(0.1));
    EXPECT_FALSE(second.objectForKey("gone").has_value());
    EXPECT_EQ(second.integerForKey("size"), 300);
    second.removeObjectForKey("size");
    EXPECT_EQ(second.objectForKey("size"), platform::DefaultValue(std::int64_t{220}));
}

TEST(PlistDefaults, KeysAndTypesItDoesNotKnowSurviveARewrite) {
    TempHome home;
    const std::string original = plistXml(
        "\t<key>note</key>\n\t<string>hand &amp; written</string>\n"
        "\t<key>list</key>\n\t<array>\n\t\t<integer>1</integer>\n\t\t<string>two</string>\n\t</array>\n"
        "\t<key>nested</key>\n\t<dict>\n\t\t<key>inner</key>\n\t\t<true/>\n\t</dict>\n"
        "\t<key>blob</key>\n\t<data>AAEC</data>\n"
        "\t<key>when</key>\n\t<date>2026-01-02T03:04:05Z</date>\n");
    handWrite(home.plist(), original);

    PlistDefaults defaults(home.plist());
    defaults.setBool(true, "added");

    // What the file holds now is exactly the original plus our key.
    Parsed expected(original);
    ASSERT_TRUE(expected.isDict());
    plist_dict_set_item(expected.root, "added", plist_new_bool(1));
    char* xml = nullptr;
    std::uint32_t length = 0;
    plist_to_xml(expected.root, &xml, &length);
    std::string expectedText(xml, length);
    plist_to_xml_free(xml);
    EXPECT_EQ(readFile(home.plist()), expectedText);
}

TEST(PlistDefaults, EditsMadeByOthersSinceOurLastWriteAreMergedNotLost) {
    TempHome home;
    PlistDefaults ours(home.plist());
    ours.setInteger(1, "ours");

    // A hand edit changes our key and adds one of its own.
    handWrite(home.plist(), plistXml("\t<key>ours</key>\n\t<integer>5</integer>\n"
                                     "\t<key>byHand</key>\n\t<string>kept</string>\n"));
    ours.setBool(true, "afterEdit");
    EXPECT_EQ(ours.integerForKey("ours"), 5);

    // Another instance writes in between, too.
    PlistDefaults(home.plist()).setDouble(2.5, "fromOther");
    ours.removeObjectForKey("afterEdit");

    PlistDefaults reader(home.plist());
    EXPECT_EQ(reader.integerForKey("ours"), 5);
    EXPECT_TRUE(Parsed(readFile(home.plist())).has("byHand"));
    EXPECT_EQ(reader.doubleForKey("fromOther"), 2.5);
    EXPECT_FALSE(reader.objectForKey("afterEdit").has_value());
}

TEST(PlistDefaults, UnreadableFileIsMovedAsideKeptAndReportedOnce) {
    struct Case {
        const char* name;
        std::string text;
        bool damaged = true;
    };
    const Case cases[] = {
        {"garbage", "this is not a property list"},
        {"truncated", "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>a</key>"},
        {"array root", "<?xml version=\"1.0\"?><plist version=\"1.0\"><array><true/></array></plist>"},
        {"binary junk", std::string("bplist00\x01\x02\x00\xff", 12)},
        {"empty", "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempHome home;
        handWrite(home.plist(), c.text);
        std::vector<std::string> lines;
        PlistDefaults defaults(home.plist(), [&](const std::string& line) { lines.push_back(line); });
        defaults.registerDefaults({{"size", std::int64_t{220}}});

        // What `touch` leaves behind is an empty domain, not damage.
        EXPECT_EQ(defaults.movedAsidePath().has_value(), c.damaged);
        const std::string aside = defaults.movedAsidePath().value_or("");
        if (c.damaged) {
            EXPECT_THAT(aside, testing::MatchesRegex(".*/app\\.test\\.Defaults\\.plist\\.corrupt-[0-9]{8}T[0-9]{6}"));
            EXPECT_EQ(readFile(aside), c.text);
            ASSERT_EQ(lines.size(), 1u);
            EXPECT_THAT(lines[0], HasSubstr(home.plist()));
            EXPECT_THAT(lines[0], HasSubstr(aside));
        }
        EXPECT_EQ(defaults.integerForKey("size"), 220);

        defaults.setInteger(7, "size");
        EXPECT_EQ(PlistDefaults(home.plist()).integerForKey("size"), 7);
        EXPECT_EQ(lines.size(), c.damaged ? 1u : 0u);
        EXPECT_EQ(folderEntries(fs::path(home.plist()).parent_path()).size(), c.damaged ? 2u : 1u);
        if (c.damaged) {
            EXPECT_EQ(readFile(aside), c.text);
        }
    }
}

// A binary list may name one key twice. The last entry is the value, as in
// the XML form, and a change to it is what the next reader sees.
TEST(PlistDefaults, AKeyNamedTwiceHoldsItsLastValueAndAChangeToItSticks) {
    // {"size": 1, "size": 2}: a dictionary, two strings sharing an object, two integers.
    const std::string twice = std::string("bplist00\xD2\x01\x01\x02\x03\x54size\x10\x01\x10\x02", 22) +
                              std::string("\x08\x0D\x12\x14", 4) + std::string(6, '\0') + "\x01\x01" +
                              std::string("\0\0\0\0\0\0\0\x04", 8) + std::string(8, '\0') +
                              std::string("\0\0\0\0\0\0\0\x16", 8);
    TempHome home;
    handWrite(home.plist(), twice);
    PlistDefaults defaults(home.plist());
    EXPECT_EQ(defaults.integerForKey("size"), 2);
    defaults.setInteger(7, "size");
    EXPECT_EQ(PlistDefaults(home.plist()).integerForKey("size"), 7);
    EXPECT_FALSE(defaults.movedAsidePath());
}

TEST(PlistDefaults, RepeatedDamageKeepsEveryAsideCopy) {
    TempHome home;
    std::vector<std::string> asides;
    for (const char* text : {"first damage", "second damage", "third damage"}) {
        handWrite(home.plist(), text);
        PlistDefaults defaults(home.plist(), [](const std::string&) {});
        ASSERT_TRUE(defaults.movedAsidePath().has_value());
        asides.push_back(*defaults.movedAsidePath());
    }
    EXPECT_NE(asides[0], asides[1]);
    EXPECT_NE(asides[1], asides[2]);
    EXPECT_EQ(readFile(asides[0]), "first damage");
    EXPECT_EQ(readFile(asides[1]), "second damage");
    EXPECT_EQ(readFile(asides[2]), "third damage");
}

TEST(PlistDefaults, DamageWrittenByOthersWhileRunningIsMovedAsideAtTheNextWrite) {
    TempHome home;
    std::vector<std::string> lines;
    PlistDefaults defaults(home.plist(), [&](const std::string& line) { lines.push_back(line); });
    defaults.setInteger(3, "kept");
    handWrite(home.plist(), "<plist><dict><key>half");
    defaults.setBool(true, "flag");

    ASSERT_EQ(lines.size(), 1u);
    ASSERT_TRUE(defaults.movedAsidePath().has_value());
    EXPECT_EQ(readFile(*defaults.movedAsidePath()), "<plist><dict><key>half");
    PlistDefaults reader(home.plist());
    EXPECT_EQ(reader.integerForKey("kept"), 3);
    EXPECT_TRUE(reader.boolForKey("flag"));
}

// An editor that saves in place truncates the file first; a write of ours
// in that moment must keep every value we hold, not only its own key.
// Deleting the file, on the other hand, is how a user starts over.
TEST(PlistDefaults, AnEmptiedFileKeepsEveryValueHeldWhileADeletedOneStartsOver) {
    for (const bool deleted : {false, true}) {
        SCOPED_TRACE(deleted ? "deleted" : "emptied");
        TempHome home;
        handWrite(home.plist(), plistXml("\t<key>byHand</key>\n\t<string>kept</string>\n"));
        std::vector<std::string> lines;
        PlistDefaults defaults(home.plist(), [&](const std::string& line) { lines.push_back(line); });
        defaults.setInteger(1, "termsVersionAccepted");
        defaults.setBool(false, "window_snapping");

        if (deleted) {
            fs::remove(home.plist());
        } else {
            std::ofstream(home.plist(), std::ios::trunc | std::ios::binary);
        }
        defaults.setInteger(300, "window_preview_size");

        PlistDefaults reader(home.plist());
        EXPECT_EQ(reader.integerForKey("window_preview_size"), 300);
        EXPECT_EQ(reader.objectForKey("termsVersionAccepted").has_value(), !deleted);
        EXPECT_EQ(reader.objectForKey("window_snapping").has_value(), !deleted);
        EXPECT_EQ(Parsed(readFile(home.plist())).has("byHand"), !deleted);
        EXPECT_EQ(defaults.integerForKey("termsVersionAccepted"), deleted ? 0 : 1);
        EXPECT_FALSE(defaults.movedAsidePath().has_value());
        EXPECT_TRUE(lines.empty());
    }
}

TEST(PlistDefaults, ReadsCoerceTypesAsUserDefaultsDo) {
    using namespace std::string_view_literals;
    struct Row {
        const char* key;
        std::string_view xml;
        bool asBool;
        std::int64_t asInteger;
        double asDouble;
    };
    const Row rows[] = {
        {"boolTrue", "<true/>", true, 1, 1.0},
        {"boolFalse", "<false/>", false, 0, 0.0},
        {"three", "<integer>3</integer>", true, 3, 3.0},
        {"minusTwo", "<integer>-2</integer>", true, -2, -2.0},
        {"realUp", "<real>2.9</real>", true, 2, 2.9},
        {"realDown", "<real>-2.9</real>", true, -2, -2.9},
        {"realHuge", "<real>1e300</real>", true, INT64_MAX, 1e300},
        {"yes", "<string>YES</string>", true, 0, 0.0},
        {"trueUpper", "<string>TRUE</string>", true, 0, 0.0},
        {"one", "<string>1</string>", true, 1, 1.0},
        {"no", "<string>NO</string>", false, 0, 0.0},
        {"fortyTwo", "<string>42</string>", false, 42, 42.0},
        {"decimal", "<string>3.75</string>", false, 3, 3.75},
        {"leadingSpace", "<string>  -7px</string>", false, -7, -7.0},
        {"words", "<string>abc</string>", false, 0, 0.0},
        {"nulInside", "<string>4\0 2</string>"sv, false, 4, 4.0},
        {"overflow", "<string>99999999999999999999</string>", false, INT64_MAX, 1e20},
        {"list", "<array><integer>1</integer></array>", false, 0, 0.0},
        {"dict", "<dict><key>a</key><true/></dict>", false, 0, 0.0},
    };
    std::string body;
    for (const auto& row : rows) body += std::string("<key>") + row.key + "</key>" + std::string(row.xml) + "\n";
    TempHome home;
    handWrite(home.plist(), plistXml(body));
    PlistDefaults defaults(home.plist());
    for (const auto& row : rows) {
        SCOPED_TRACE(row.key);
        EXPECT_EQ(defaults.boolForKey(row.key), row.asBool);
        EXPECT_EQ(defaults.integerForKey(row.key), row.asInteger);
        EXPECT_DOUBLE_EQ(defaults.doubleForKey(row.key), row.asDouble);
    }

    // Registered defaults coerce the same way, and a key whose reader is not
    // named reads as the reader of its registered type reads it.
    defaults.registerDefaults({{"realUp", true}, {"registeredInt", std::int64_t{5}}, {"words", 1.5}});
    EXPECT_TRUE(defaults.boolForKey("registeredInt"));
    EXPECT_EQ(defaults.doubleForKey("registeredInt"), 5.0);
    EXPECT_EQ(defaults.objectForKey("realUp"), platform::DefaultValue(true));
    EXPECT_EQ(defaults.objectForKey("words"), platform::DefaultValue(0.0));
}

TEST(PlistDefaults, ConcurrentWritersLoseNothingAndLeaveAParseableFile) {
    TempHome home;
    // Two instances on one file, as two processes would be, each written from two threads.
    PlistDefaults a(home.plist());
    PlistDefaults b(home.plist());
    constexpr int kThreads = 4;
    constexpr int kWrites = 40;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            PlistDefaults& target = (t % 2 == 0) ? a : b;
            for (int i = 0; i < kWrites; ++i) {
                target.setInteger(i, "t" + std::to_string(t) + "-" + std::to_string(i));
                target.setInteger(i, "last" + std::to_string(t));
            }
        });
    }
    for (auto& thread : threads) thread.join();

    Parsed onDisk(readFile(home.plist()));
    ASSERT_TRUE(onDisk.isDict());
    PlistDefaults reader(home.plist());
    for (int t = 0; t < kThreads; ++t) {
        EXPECT_EQ(reader.integerForKey("last" + std::to_string(t)), kWrites - 1);
        for (int i = 0; i < kWrites; ++i) {
            ASSERT_TRUE(reader.objectForKey("t" + std::to_string(t) + "-" + std::to_string(i)).has_value())
                << "lost write " << t << "-" << i;
        }
    }
    EXPECT_THAT(folderEntries(fs::path(home.plist()).parent_path()),
                testing::ElementsAre("app.test.Defaults.plist"));
}

TEST(PlistDefaults, FailedWriteKeepsTheValueAndSaysSoOnce) {
    TempHome home;
    // A plain file where the settings folder should be.
    std::ofstream(home.root / "durazizi") << "in the way";
    std::vector<std::string> lines;
    PlistDefaults defaults(home.plist(), [&](const std::string& line) { lines.push_back(line); });
    defaults.setBool(true, "flag");
    defaults.setBool(false, "other");
    EXPECT_TRUE(defaults.boolForKey("flag"));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_THAT(lines[0], HasSubstr((home.root / "durazizi").string()));

    // Once the way is clear, the next write saves everything held back.
    fs::remove(home.root / "durazizi");
    defaults.setInteger(1, "third");
    PlistDefaults reader(home.plist());
    EXPECT_TRUE(reader.boolForKey("flag"));
    EXPECT_TRUE(reader.objectForKey("other").has_value());
    EXPECT_EQ(reader.integerForKey("third"), 1);
}

namespace {

// A settings dictionary whose "deep" value is `depth` arrays, each holding the next.
std::string nestedBinary(int depth) {
    plist_t inner = plist_new_array();
    for (int i = 1; i < depth; ++i) {
        plist_t outer = plist_new_array();
        plist_array_append_item(outer, inner);
        inner = outer;
    }
    Parsed root("<plist><dict><key>size</key><integer>5</integer></dict></plist>");
    plist_dict_set_item(root.root, "deep", inner);
    char* bytes = nullptr;
    std::uint32_t length = 0;
    plist_to_bin(root.root, &bytes, &length);
    std::string result(bytes, length);
    plist_to_bin_free(bytes);
    return result;
}

std::string nestedXml(int depth) {
    std::string arrays;
    for (int i = 0; i < depth; ++i) arrays += "<array>";
    for (int i = 0; i < depth; ++i) arrays += "</array>";
    return plistXml("<key>deep</key>" + arrays + "\n<key>size</key><integer>5</integer>\n");
}

}  // namespace

TEST(PlistDefaults, OversizedOrDeeplyNestedFilesAreMovedAsideBeforeTheParserSeesThem) {
    const std::pair<const char*, std::string> damaged[] = {
        {"xml nested 50000 deep", nestedXml(50000)},
        {"binary nested 200 deep", nestedBinary(200)},
        {"larger than any settings", plistXml("<key>pad</key><string>" + std::string(5u << 20, 'x') + "</string>")},
    };
    for (const auto& [name, text] : damaged) {
        SCOPED_TRACE(name);
        TempHome home;
        handWrite(home.plist(), text);
        std::vector<std::string> lines;
        PlistDefaults defaults(home.plist(), [&](const std::string& line) { lines.push_back(line); });
        defaults.registerDefaults({{"size", std::int64_t{220}}});
        EXPECT_EQ(defaults.integerForKey("size"), 220);
        defaults.setInteger(7, "size");
        ASSERT_EQ(lines.size(), 1u);
        ASSERT_TRUE(defaults.movedAsidePath().has_value());
        EXPECT_THAT(lines[0], HasSubstr(*defaults.movedAsidePath()));
        EXPECT_EQ(readFile(*defaults.movedAsidePath()), text);
        EXPECT_EQ(PlistDefaults(home.plist()).integerForKey("size"), 7);
    }

    // What a person or another program may reasonably nest still reads, in both formats.
    for (const std::string& text : {nestedXml(12), nestedBinary(12)}) {
        TempHome home;
        handWrite(home.plist(), text);
        PlistDefaults defaults(home.plist());
        EXPECT_FALSE(defaults.movedAsidePath().has_value());
        EXPECT_EQ(defaults.integerForKey("size"), 5);
    }
}

TEST(PlistDefaults, WhatIsNotARegularFileIsNeitherReadNorReplaced) {
    const std::pair<const char*, std::function<void(const std::string&)>> makers[] = {
        {"fifo", [](const std::string& path) { ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0); }},
        {"link to /dev/zero", [](const std::string& path) { fs::create_symlink("/dev/zero", path); }},
        {"folder", [](const std::string& path) { fs::create_directory(path); }},
    };
    for (const auto& [name, make] : makers) {
        SCOPED_TRACE(name);
        TempHome home;
        fs::create_directories(fs::path(home.plist()).parent_path());
        make(home.plist());
        const auto type = fs::symlink_status(home.plist()).type();
        std::vector<std::string> lines;
        PlistDefaults defaults(home.plist(), [&](const std::string& line) { lines.push_back(line); });
        defaults.registerDefaults({{"size", std::int64_t{220}}});
        defaults.setInteger(7, "size");
        EXPECT_EQ(defaults.integerForKey("size"), 7);   // kept in memory
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_THAT(lines[0], HasSubstr("not a regular file"));
        EXPECT_FALSE(defaults.movedAsidePath().has_value());
        EXPECT_EQ(fs::symlink_status(home.plist()).type(), type);
    }
}

TEST(PlistDefaults, ALinkedFileIsWrittenThroughItsLinkWhichStays) {
    TempHome home;
    const fs::path target = home.root / "dotfiles" / "settings.plist";
    fs::create_directories(target.parent_path());
    fs::create_directories(fs::path(home.plist()).parent_path());
    fs::create_symlink("../dotfiles/settings.plist", home.plist());
    handWrite(target.string(), plistXml("<key>mine</key><integer>1</integer>\n"));

    PlistDefaults(home.plist()).setInteger(2, "added");
    EXPECT_TRUE(fs::is_symlink(home.plist()));
    EXPECT_TRUE(Parsed(readFile(target)).has("mine"));
    EXPECT_TRUE(Parsed(readFile(target)).has("added"));
    EXPECT_EQ(folderEntries(target.parent_path()), std::vector<std::string>{"settings.plist"});
}

TEST(PlistDefaults, AtStartUpDamageIsMovedAsideOnlyUnderTheFolderLock) {
    TempHome home;
    handWrite(home.plist(), "half written");
    const std::string folder = fs::path(home.plist()).parent_path().string();
    // Another instance holds the lock while it replaces the damaged file with a good one.
    const int lock = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_EQ(::flock(lock, LOCK_EX), 0);
    std::optional<PlistDefaults> starting;
    std::thread start([&] { starting.emplace(home.plist(), [](const std::string&) {}); });
    EXPECT_TRUE(someoneWaitsForLockOn(folder));
    handWrite(home.plist(), plistXml("<key>size</key><integer>9</integer>\n"));
    ::flock(lock, LOCK_UN);
    ::close(lock);
    start.join();

    EXPECT_FALSE(starting->movedAsidePath().has_value());
    EXPECT_EQ(starting->integerForKey("size"), 9);
    EXPECT_EQ(folderEntries(folder), std::vector<std::string>{"app.test.Defaults.plist"});
}

TEST(DefaultsStores, BothAnswerEveryKeyAlikeAndRefuseKeysWithControlCharacters) {
    using V = platform::DefaultValue;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double huge = std::numeric_limits<double>::max();
    struct Row {
        const char* key;
        std::optional<V> registered;
        double stored;
        V reads;
    };
    // A NaN is no number: every reader takes it for zero; an infinity is the largest finite value.
    const Row rows[] = {
        {"intFromReal", std::int64_t{220}, 2.9, std::int64_t{2}},
        {"boolFromZero", true, 0.0, false},
        {"doubleFromNaN", 0.5, nan, 0.0},
        {"intFromNaN", std::int64_t{5}, nan, std::int64_t{0}},
        {"boolFromNaN", true, nan, false},
        {"doubleFromInfinity", 0.5, -std::numeric_limits<double>::infinity(), -huge},
        {"unregisteredNaN", std::nullopt, nan, 0.0},
    };
    TempHome home;
    sim::MemoryDefaults memory;
    PlistDefaults plist(home.plist(), [](const std::string&) {});
    for (platform::Defaults* store : std::initializer_list<platform::Defaults*>{&memory, &plist}) {
        for (const auto& row : rows) {
            SCOPED_TRACE(row.key);
            if (row.registered) store->registerDefaults({{row.key, *row.registered}});
            store->setDouble(row.stored, row.key);
            EXPECT_EQ(store->objectForKey(row.key), row.reads);
        }
        EXPECT_EQ(store->doubleForKey("doubleFromNaN"), 0.0);

        // A NUL would cut the key short and a line break ends up in the file as it is.
        store->registerDefaults({{"window_preview_enable", true}});
        store->setBool(false, std::string("window_preview_enable\0junk", 26));
        store->setInteger(3, "two\nlines");
        EXPECT_TRUE(store->boolForKey("window_preview_enable"));
        EXPECT_FALSE(store->objectForKey("two\nlines").has_value());
    }
    EXPECT_FALSE(Parsed(readFile(home.plist())).has("window_preview_enable"));
    EXPECT_EQ(readFile(home.plist()).find("two\n"), std::string::npos);
}
