// Test material for the main window: ALBUMS.INF records and small MP3 files, built byte by byte.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace testsupport {

// One 260-byte index record: the length byte, the name padded to 255 bytes, the flag
// (little-endian). `lengthByte` overrides the length the record claims.
std::string IndexRecord(std::string_view name, std::int32_t flag, std::optional<std::uint8_t> lengthByte = {});

struct IndexAlbum {
  std::string name;
  std::int32_t flag = 0;  // non-zero: the songs lie in CD1..CD4
};

// A whole index: the header record, then one record per album.
std::string IndexFile(std::string_view title, std::int32_t headerFlag, const std::vector<IndexAlbum>& albums);

struct Id3Tag {
  std::string title, artist, album, year, comment;
  std::uint8_t genre = 255;
};

// A tag that only names the title.
Id3Tag TitleTag(std::string title);

// An MPEG-1 layer III file at 32 kbit/s whose play time the analysis computes as `seconds`,
// with an ID3v1 tag when one is given. Its frames are silent.
std::string Mp3File(int seconds, const std::optional<Id3Tag>& tag = {});

}  // namespace testsupport
