// The frame search: block reads and a vector scan with the results of a byte-by-byte search.
#include "zodizidu/analysis/detail/frame_search.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

#include "zodizidu/analysis/detail/message_pump.h"
#include "zodizidu/analysis/detail/sync_scan.h"

namespace zodizidu::detail {

namespace {

constexpr std::int64_t kPumpInterval = 300;
constexpr std::int64_t kNever = std::numeric_limits<std::int64_t>::max();

// Only a value with all eleven sync bits set can decode; the rest is DecodeHeader's to judge.
bool Accepts(std::uint32_t h, TMPEGData& data) { return (h & 0xFFE00000u) == 0xFFE00000u && DecodeHeader(h, data); }

std::uint32_t BE32At(const std::uint8_t* p) { return ReadBE32(std::span<const std::uint8_t, 4>(p, 4)); }

// Tries the positions after each byte of `bytes` but the last (the caller tries that one after
// its pump turn). Returns the index of the first accepted header's last byte, or bytes.size().
// `h` holds the four bytes before the block on entry and its last four bytes on return.
std::size_t ScanBlock(std::span<const std::uint8_t> bytes, std::uint32_t& h, TMPEGData& data) {
  const std::size_t n = bytes.size();
  const std::uint8_t* v = bytes.data();
  // Headers that begin before the block.
  for (std::size_t k = 0; k < 3 && k + 1 < n; ++k) {
    h = h << 8 | v[k];
    if (Accepts(h, data)) return k;
  }
  // Headers inside the block, starting at 0..n-5 and so ending before its last byte.
  if (n >= 5) {
    const std::size_t end = n - 4;
    for (std::size_t i = FindSyncStart(v, 0, end); i < end; i = FindSyncStart(v, i + 1, end))
      if (DecodeHeader(BE32At(v + i), data)) return i + 3;
  }
  if (n >= 4) {
    h = BE32At(v + n - 4);
  } else {
    for (std::size_t k = std::min<std::size_t>(n - 1, 3); k < n; ++k) h = h << 8 | v[k];
  }
  return n;
}

}  // namespace

SearchResult SearchFrameHeader(FileWindow& file, std::int64_t start, std::int32_t scanLimit, TMPEGData& data) {
  std::array<std::uint8_t, 4> first{};
  const std::size_t got = file.Read(start, first);
  if (got < first.size()) return {SearchEnd::kShortRead, start + static_cast<std::int64_t>(got)};

  std::uint32_t h = ReadBE32(first);
  std::int64_t position = start + 4;
  const SearchPositionScope scope(&position);
  const MessagePump pump = CurrentMessagePump();
  // The search gives up once the position has passed the limit, never before its first try.
  const std::int64_t limit = scanLimit > 0 ? std::max<std::int64_t>(position, std::int64_t{scanLimit} + 1) : kNever;
  std::int64_t nextPump = pump ? (position / kPumpInterval + 1) * kPumpInterval : kNever;

  while (true) {
    if (position == nextPump) {
      pump();
      nextPump += kPumpInterval;
    }
    if (Accepts(h, data)) return {SearchEnd::kFound, position};
    if (position >= limit) return {SearchEnd::kStopped, position};
    std::span<const std::uint8_t> bytes = file.View(position);
    if (bytes.empty()) return {SearchEnd::kStopped, position};
    const std::int64_t room = std::min(limit, nextPump) - position;
    if (static_cast<std::int64_t>(bytes.size()) > room) bytes = bytes.first(static_cast<std::size_t>(room));
    const std::size_t at = ScanBlock(bytes, h, data);
    if (at < bytes.size()) return {SearchEnd::kFound, position + static_cast<std::int64_t>(at) + 1};
    position += static_cast<std::int64_t>(bytes.size());
  }
}

}  // namespace zodizidu::detail
