#pragma once

#include <cstddef>
#include <utility>
#include <vector>

namespace sim {

// How many entries the world keeps of each record of what Durazizi did to
// it (scripts sent, window writes, addresses downloaded or opened), for the
// queries that read them. A scenario reads them every few steps; the
// playground, left running for days, never does, so only the latest are kept.
inline constexpr std::size_t kKeptRecords = 4096;

// Appends `entry`; a full record first drops its oldest quarter at once, so
// that a drag's stream of writes does not move the whole record every step.
template <typename T>
void keepRecord(std::vector<T>& records, T entry) {
    if (records.size() >= kKeptRecords)
        records.erase(records.begin(), records.begin() + static_cast<std::ptrdiff_t>(records.size() - kKeptRecords * 3 / 4));
    records.push_back(std::move(entry));
}

}  // namespace sim
