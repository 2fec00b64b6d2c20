// The 260-byte records of ALBUMS.INF: a length byte, 255 name bytes, a little-endian flag.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace albaindex {

inline constexpr std::size_t kRecordSize = 260;
inline constexpr std::size_t kMaxNameLength = 255;
inline constexpr std::size_t kFlagOffset = 256;

// Header flag: the header's name is the compilation title.
inline constexpr std::int32_t kTitleFlag = 1;
// Album flags: the songs lie in the album folder, or in its CD1..CD4 folders.
inline constexpr std::int32_t kSingleDisc = 0;
inline constexpr std::int32_t kMultiDisc = 1;

// Appends one record holding `name` (unused name bytes zero) and `flag`; false, and nothing
// appended, when the name is longer than 255 bytes.
bool AppendRecord(std::vector<std::uint8_t>& index, std::string_view name, std::int32_t flag);

}  // namespace albaindex
