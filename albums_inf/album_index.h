// Reading ALBUMS.INF, the compilation index: its records read into a title and the album entries.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "albums_inf/index_record.h"
#include "platform/version.h"

namespace albums_inf {

// The caption when the index names no compilation title.
inline constexpr std::string_view kDefaultCaption = platform::kProgramTitle;

// One album of the index: its folder name as stored (bytes, untrimmed) and its flag.
struct AlbumEntry {
  std::string EntryName;
  std::int32_t EntryFlag = 0;

  // A non-zero flag: the songs lie in the folders CD1 to CD4.
  bool MultiDisc() const { return EntryFlag != 0; }
};

// What reading the index gave: never thrown, always returned.
struct AlbumIndex {
  std::optional<std::string> title;  // the header's name when its flag is 1 (bytes, untrimmed)
  std::vector<AlbumEntry> entries;   // in file order; names that trim to nothing are skipped
  std::string error;                 // empty when the index was read to its end

  // The window caption: the title, else the program's title ("Albavox v2.0").
  std::string Caption() const { return title ? *title : std::string(kDefaultCaption); }
};

// The name without leading and trailing characters of code 32 or less.
std::string_view TrimmedName(std::string_view name);

// Reads an index held in memory.
AlbumIndex ParseAlbumIndex(std::span<const std::uint8_t> bytes);

// Reads the index file at `path`; open and read failures land in `error`. Anything but a regular
// file (a FIFO, a device, a socket) is not waited on: it reads as a missing file does.
AlbumIndex ReadAlbumIndex(const std::string& path);

}  // namespace albums_inf
