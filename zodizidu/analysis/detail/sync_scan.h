// Finding the next place where a frame sync may start, many bytes at a time.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zodizidu::detail {

// True when a frame sync starts at p[0]: p[0] is 0xFF and the three top bits of p[1] are set.
inline bool IsSyncStart(const std::uint8_t* p) { return p[0] == 0xFF && (p[1] & 0xE0) == 0xE0; }

// The first index k in [from, end) where a sync starts, or `end` when there is none. Reads
// v[from..end] (one byte past `end`, which the caller guarantees is readable). Uses the widest
// vectors the processor has.
std::size_t FindSyncStart(const std::uint8_t* v, std::size_t from, std::size_t end);

// The portable and the AVX2 forms of FindSyncStart, for tests; the second only when
// HasWideVectors() holds.
using SyncFinder = std::size_t (*)(const std::uint8_t* v, std::size_t from, std::size_t end);
std::size_t FindSyncStartPortable(const std::uint8_t* v, std::size_t from, std::size_t end);
std::size_t FindSyncStartWide(const std::uint8_t* v, std::size_t from, std::size_t end);
bool HasWideVectors();

}  // namespace zodizidu::detail
