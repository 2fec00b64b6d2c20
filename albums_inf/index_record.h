// The 260-byte records of ALBUMS.INF, the compilation index: the layout, and writing one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace albums_inf {

// One record: byte 0 the name's length, bytes 1..255 the name, bytes 256..259 the flag (signed
// 32-bit, little-endian). The first record is the header; every later one names an album.
inline constexpr std::size_t kRecordSize = 260;
inline constexpr std::size_t kNameLengthOffset = 0;
inline constexpr std::size_t kNameOffset = 1;
inline constexpr std::size_t kMaxNameLength = 255;
inline constexpr std::size_t kFlagOffset = 256;

// Header flag: the header's name is the compilation title.
inline constexpr std::int32_t kTitleFlag = 1;
// Album flags: the songs lie in the album folder, or in its CD1..CD4 folders.
inline constexpr std::int32_t kSingleDisc = 0;
inline constexpr std::int32_t kMultiDisc = 1;

// What one record holds: its name (bytes as stored, untrimmed) and its flag.
struct Record {
  std::string name;
  std::int32_t flag = 0;
};

// Reads one record of kRecordSize bytes.
Record DecodeRecord(std::span<const std::uint8_t, kRecordSize> record);

// Appends one record holding `name` (unused name bytes zero) and `flag`; false, and nothing
// appended, when the name is longer than 255 bytes.
bool AppendRecord(std::vector<std::uint8_t>& index, std::string_view name, std::int32_t flag);

}  // namespace albums_inf
