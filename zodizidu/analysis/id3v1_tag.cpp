// Reading an ID3v1 tag block; the texts are taken as the bytes stand, without conversion.
#include "zodizidu/analysis/id3v1_tag.h"

namespace zodizidu {

namespace {

// Offset and size of each field in the block.
struct Span {
  std::size_t offset;
  std::size_t size;
};
constexpr Span kTitle{3, 30};
constexpr Span kArtist{33, 30};
constexpr Span kAlbum{63, 30};
constexpr Span kYear{93, 4};
constexpr Span kComment{97, 30};  // its last byte doubles as the track number
constexpr std::size_t kTrack = 126;
constexpr std::size_t kGenre = 127;

std::string_view Text(std::span<const std::uint8_t> block, Span field) {
  return {reinterpret_cast<const char*>(block.data()) + field.offset, field.size};
}

}  // namespace

void ReadId3v1Tag(std::span<const std::uint8_t> block, std::string_view fileNamePart, TMPEGData& data) {
  if (block.size() < kId3v1Size || Text(block, {0, 3}) != "TAG") {
    data.Title = fileNamePart;
    return;
  }
  data.Header = "TAG";
  data.Title = StripRight(Text(block, kTitle));
  data.Artist = StripRight(Text(block, kArtist));
  data.Album = StripRight(Text(block, kAlbum));
  data.Year = Text(block, kYear);
  data.Comment = StripRight(Text(block, kComment));
  data.Track = block[kTrack];
  data.GenreNr = block[kGenre];
}

}  // namespace zodizidu
