#include "linux/PlistBounds.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace linuxhost::plistbounds {

namespace {

constexpr std::string_view kBinaryHeader = "bplist00";

// --- XML -----------------------------------------------------------------------

bool isNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-' || c == '.' || c == ':' || static_cast<unsigned char>(c) >= 0x80;
}

// Elements are counted whatever their names: <plist> and the leaf values add
// two levels to the containers. Closing tags must match the open ones, so a
// stray closing tag cannot make a deep list look shallow.
bool xmlNestingWithin(std::string_view text, int maxNesting) {
    const std::size_t maxElements = static_cast<std::size_t>(maxNesting) + 2;
    std::vector<std::string_view> open;
    std::size_t pos = 0;
    auto skipPast = [&](std::string_view end) {
        const std::size_t at = text.find(end, pos);
        if (at == std::string_view::npos) return false;
        pos = at + end.size();
        return true;
    };
    while ((pos = text.find('<', pos)) != std::string_view::npos) {
        std::string_view rest = text.substr(pos);
        if (rest.starts_with("<!--")) {
            pos += 4;
            if (!skipPast("-->")) return false;
        } else if (rest.starts_with("<![CDATA[")) {
            pos += 9;
            if (!skipPast("]]>")) return false;
        } else if (rest.starts_with("<?")) {
            pos += 2;
            if (!skipPast("?>")) return false;
        } else if (rest.starts_with("<!")) {
            // A document type, possibly with an internal subset in brackets.
            const std::size_t bracket = text.find('[', pos);
            const std::size_t close = text.find('>', pos);
            if (close == std::string_view::npos) return false;
            pos = close + 1;
            if (bracket != std::string_view::npos && bracket < close) {
                pos = bracket + 1;
                if (!skipPast("]")) return false;
                if (!skipPast(">")) return false;
            }
        } else {
            const bool closing = rest.starts_with("</");
            std::size_t nameStart = pos + (closing ? 2 : 1);
            std::size_t nameEnd = nameStart;
            while (nameEnd < text.size() && isNameChar(text[nameEnd])) ++nameEnd;
            const std::string_view name = text.substr(nameStart, nameEnd - nameStart);
            // The tag ends at the first '>' outside a quoted attribute value.
            std::size_t end = nameEnd;
            char quote = 0;
            for (; end < text.size(); ++end) {
                const char c = text[end];
                if (quote) {
                    if (c == quote) quote = 0;
                } else if (c == '"' || c == '\'') {
                    quote = c;
                } else if (c == '>') {
                    break;
                }
            }
            if (end >= text.size()) return false;
            pos = end + 1;
            if (name.empty()) continue;   // not markup; the parser will judge it
            if (closing) {
                if (open.empty() || open.back() != name) return false;
                open.pop_back();
            } else if (text[end - 1] != '/') {
                open.push_back(name);
                if (open.size() > maxElements) return false;
            }
        }
    }
    return true;
}

// --- binary --------------------------------------------------------------------

struct BinaryList {
    std::string_view bytes;
    std::size_t objectCount = 0;
    std::size_t offsetSize = 0;
    std::size_t refSize = 0;
    std::size_t tableStart = 0;
    std::size_t top = 0;

    static std::uint64_t bigEndian(std::string_view bytes, std::size_t at, std::size_t size) {
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < size; ++i) value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
        return value;
    }

    bool readTrailer() {
        constexpr std::size_t kTrailer = 32;
        if (bytes.size() < kBinaryHeader.size() + kTrailer) return false;
        const std::size_t trailer = bytes.size() - kTrailer;
        offsetSize = static_cast<unsigned char>(bytes[trailer + 6]);
        refSize = static_cast<unsigned char>(bytes[trailer + 7]);
        const std::uint64_t count = bigEndian(bytes, trailer + 8, 8);
        const std::uint64_t topObject = bigEndian(bytes, trailer + 16, 8);
        const std::uint64_t table = bigEndian(bytes, trailer + 24, 8);
        if (offsetSize < 1 || offsetSize > 8 || refSize < 1 || refSize > 8) return false;
        if (count == 0 || topObject >= count || table < kBinaryHeader.size() || table > trailer) return false;
        if (count > (trailer - table) / offsetSize) return false;
        objectCount = static_cast<std::size_t>(count);
        top = static_cast<std::size_t>(topObject);
        tableStart = static_cast<std::size_t>(table);
        return true;
    }

    // The references an object holds: none for a leaf, the members of an
    // array or set, the keys and values of a dictionary. False when the
    // object does not fit in the file.
    bool references(std::size_t object, std::vector<std::size_t>* out, bool* container) const {
        out->clear();
        const std::uint64_t offset = bigEndian(bytes, tableStart + object * offsetSize, offsetSize);
        if (offset < kBinaryHeader.size() || offset >= tableStart) return false;
        std::size_t at = static_cast<std::size_t>(offset);
        const unsigned marker = static_cast<unsigned char>(bytes[at++]);
        const unsigned type = marker >> 4;
        const bool array = type == 0xA || type == 0xB || type == 0xC;
        const bool dictionary = type == 0xD;
        *container = array || dictionary;
        if (!*container) return true;
        std::uint64_t count = marker & 0xF;
        if (count == 0xF) {
            // The count follows as an integer object of 1, 2, 4 or 8 bytes.
            if (at >= tableStart) return false;
            const unsigned intMarker = static_cast<unsigned char>(bytes[at++]);
            if ((intMarker >> 4) != 0x1 || (intMarker & 0xF) > 3) return false;
            const std::size_t size = std::size_t{1} << (intMarker & 0xF);
            if (size > tableStart - at) return false;
            count = bigEndian(bytes, at, size);
            at += size;
        }
        const std::uint64_t refs = dictionary ? count * 2 : count;
        if (count > tableStart || refs > (tableStart - at) / refSize) return false;
        out->reserve(static_cast<std::size_t>(refs));
        for (std::uint64_t i = 0; i < refs; ++i) {
            const std::uint64_t ref = bigEndian(bytes, at + static_cast<std::size_t>(i) * refSize, refSize);
            if (ref >= objectCount) return false;
            out->push_back(static_cast<std::size_t>(ref));
        }
        return true;
    }
};

// The containers on the deepest path from the top object, by a depth-first
// walk that keeps its own stack and remembers each object's depth, so that
// shared objects are measured once and a cycle is caught.
bool binaryNestingWithin(std::string_view bytes, int maxNesting) {
    BinaryList list{bytes};
    if (!list.readTrailer()) return false;

    enum : std::uint8_t { unseen, walking, measured };
    std::vector<std::uint8_t> state(list.objectCount, unseen);
    std::vector<int> depth(list.objectCount, 0);
    struct Frame {
        std::size_t object;
        std::vector<std::size_t> children;
        bool container = false;
        std::size_t next = 0;
    };
    std::vector<Frame> stack;
    auto enter = [&](std::size_t object) {
        // Every frame below the top one is a container, so a taller stack is
        // already too deep.
        if (stack.size() > static_cast<std::size_t>(maxNesting)) return false;
        Frame frame{object, {}};
        if (!list.references(object, &frame.children, &frame.container)) return false;
        state[object] = walking;
        stack.push_back(std::move(frame));
        return true;
    };
    if (!enter(list.top)) return false;
    while (!stack.empty()) {
        Frame& frame = stack.back();
        if (frame.next < frame.children.size()) {
            const std::size_t child = frame.children[frame.next++];
            if (state[child] == walking) return false;
            if (state[child] == unseen && !enter(child)) return false;
            continue;
        }
        int deepest = 0;
        for (std::size_t child : frame.children) deepest = std::max(deepest, depth[child]);
        depth[frame.object] = deepest + (frame.container ? 1 : 0);
        state[frame.object] = measured;
        if (depth[frame.object] > maxNesting) return false;
        stack.pop_back();
    }
    return true;
}

}  // namespace

bool nestingWithin(std::string_view bytes, int maxNesting) {
    if (bytes.starts_with(kBinaryHeader)) return binaryNestingWithin(bytes, maxNesting);
    return xmlNestingWithin(bytes, maxNesting);
}

}  // namespace linuxhost::plistbounds
