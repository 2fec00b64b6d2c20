// Test material for the main window, built byte by byte.
#include "tests/app/compilation_files.h"

#include "albums_inf/index_record.h"

#include <algorithm>

namespace testsupport {

namespace {
// 0xFFFB9000 would be 128 kbit/s; 0xFFFB1000 is MPEG-1, layer III, no CRC, 32 kbit/s, 44100 Hz,
// no padding, stereo: 144 * 32000 / 44100 = 104 bytes a frame, 4000 bytes a second.
constexpr unsigned char kFrameHeader[4] = {0xFF, 0xFB, 0x10, 0x00};
constexpr std::size_t kFrameLength = 104;
constexpr std::size_t kBytesPerSecond = 4000;

std::string Field(std::string_view text, std::size_t size) {
  std::string field(text.substr(0, size));
  field.resize(size, '\0');
  return field;
}
}  // namespace

std::string IndexRecord(std::string_view name, std::int32_t flag, std::optional<std::uint8_t> lengthByte) {
  std::vector<std::uint8_t> record;
  albums_inf::AppendRecord(record, name.substr(0, albums_inf::kMaxNameLength), flag);
  if (lengthByte) record[albums_inf::kNameLengthOffset] = *lengthByte;
  return std::string(record.begin(), record.end());
}

std::string IndexFile(std::string_view title, std::int32_t headerFlag, const std::vector<IndexAlbum>& albums) {
  std::string bytes = IndexRecord(title, headerFlag);
  for (const IndexAlbum& album : albums) bytes += IndexRecord(album.name, album.flag);
  return bytes;
}

Id3Tag TitleTag(std::string title) {
  Id3Tag tag;
  tag.title = std::move(title);
  return tag;
}

std::string Mp3File(int seconds, const std::optional<Id3Tag>& tag) {
  std::string frame(kFrameLength, '\0');
  std::copy(std::begin(kFrameHeader), std::end(kFrameHeader), frame.begin());
  const std::size_t audioBytes = static_cast<std::size_t>(std::max(seconds, 1)) * kBytesPerSecond;
  std::string bytes;
  while (bytes.size() < audioBytes) bytes += frame;
  bytes.resize(audioBytes);
  if (tag) {
    bytes += "TAG" + Field(tag->title, 30) + Field(tag->artist, 30) + Field(tag->album, 30) + Field(tag->year, 4) +
             Field(tag->comment, 30) + static_cast<char>(tag->genre);
  }
  return bytes;
}

}  // namespace testsupport
