// The extent of a trailing APE tag, from its footer.
#include "zodizidu/analysis/ape_tag.h"

#include <cstring>

namespace zodizidu {

namespace {

constexpr std::uint32_t kHasHeader = 0x80000000u;
constexpr std::uint32_t kIsHeader = 0x20000000u;

std::uint32_t LE32(std::span<const std::uint8_t> bytes, std::size_t at) {
  return std::uint32_t{bytes[at]} | std::uint32_t{bytes[at + 1]} << 8 | std::uint32_t{bytes[at + 2]} << 16 |
         std::uint32_t{bytes[at + 3]} << 24;
}

}  // namespace

std::int64_t ApeTagLength(std::span<const std::uint8_t> footer) {
  if (footer.size() < kApeFooterSize || std::memcmp(footer.data(), "APETAGEX", 8) != 0) return 0;
  const std::uint32_t version = LE32(footer, 8);
  const std::uint32_t size = LE32(footer, 12);
  const std::uint32_t flags = LE32(footer, 20);
  if ((version != 1000 && version != 2000) || size < kApeFooterSize || (flags & kIsHeader) != 0) return 0;
  const bool header = version == 2000 && (flags & kHasHeader) != 0;
  return std::int64_t{size} + (header ? static_cast<std::int64_t>(kApeFooterSize) : 0);
}

}  // namespace zodizidu
