// The extent of a leading ID3v2 tag, from its ten-byte header.
#include "zodizidu/analysis/id3v2_tag.h"

#include <array>

namespace zodizidu {

namespace {

// Flag bits each major version defines, by version 2 to 4: unsynchronisation and compression;
// unsynchronisation, extended header and experimental; the same and the footer.
constexpr std::array<std::uint8_t, 3> kDefinedFlags{0xC0, 0xE0, 0xF0};
constexpr std::uint8_t kFooterFlag = 0x10;

}  // namespace

std::int64_t Id3v2TagLength(std::span<const std::uint8_t> header) {
  if (header.size() < kId3v2HeaderSize) return 0;
  if (header[0] != 'I' || header[1] != 'D' || header[2] != '3') return 0;
  const std::uint8_t major = header[3];
  const std::uint8_t flags = header[5];
  if (major < 2 || major > 4 || header[4] == 0xFF) return 0;
  if ((flags & ~kDefinedFlags[major - 2]) != 0) return 0;
  std::int64_t body = 0;
  for (std::size_t i = 6; i < kId3v2HeaderSize; ++i) {
    if (header[i] > 0x7F) return 0;
    body = body << 7 | header[i];
  }
  const bool footer = major == 4 && (flags & kFooterFlag) != 0;
  return static_cast<std::int64_t>(kId3v2HeaderSize) + body +
         (footer ? static_cast<std::int64_t>(kId3v2HeaderSize) : 0);
}

}  // namespace zodizidu
