#pragma once

#include <cstddef>
#include <string_view>

namespace linuxhost {

// The property-list library walks nested arrays and dictionaries by recursion
// (when reading binary lists, copying, freeing and writing), so a list nested
// deeply enough overflows the stack. These checks look at the bytes before
// the library sees them.
namespace plistbounds {

// More than any settings file needs by far, and shallow enough for every
// recursion of the library.
inline constexpr int kMaxNesting = 64;
// A settings domain is a few kilobytes.
inline constexpr std::size_t kMaxBytes = 4u << 20;

// True when the bytes hold arrays and dictionaries nested at most `maxNesting`
// deep, read as a binary list when they start with the binary header and as
// XML otherwise. Bytes whose structure cannot be followed (references out of
// range, cycles, unterminated markup) fail too: whether they would parse is
// not worth the risk.
bool nestingWithin(std::string_view bytes, int maxNesting = kMaxNesting);

}  // namespace plistbounds
}  // namespace linuxhost
