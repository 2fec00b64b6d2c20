// Xing/Info sits after the side information of a layer III frame; VBRI at a fixed offset.
#include "mpegdll/detail/frame_count.h"

#include <cstring>

namespace mpegdll {
namespace {

std::uint32_t Big32(const std::uint8_t* b) {
  return (std::uint32_t{b[0]} << 24) | (std::uint32_t{b[1]} << 16) | (std::uint32_t{b[2]} << 8) | b[3];
}

// Header and side information: 4 bytes, a CRC of 2 when the protection bit is clear, then 17 or
// 32 bytes (MPEG 1) or 9 or 17 bytes (MPEG 2 and 2.5) for mono or more channels.
std::size_t XingOffset(const std::uint8_t* frame, const FrameHeader& header) {
  const bool crc = (frame[1] & 1u) == 0;
  const bool mono = (frame[3] >> 6) == 3;
  const std::size_t side = header.version == 1 ? (mono ? 17 : 32) : (mono ? 9 : 17);
  return 4 + (crc ? 2 : 0) + side;
}

constexpr std::size_t kVbriOffset = 4 + 32;
constexpr std::uint32_t kXingHasFrames = 1;

}  // namespace

std::optional<FrameCount> ReadFrameCount(const std::uint8_t* frame, std::size_t size) {
  if (size < 4) return std::nullopt;
  const auto header = ParseFrameHeader(frame);
  if (!header || header->layer != 3) return std::nullopt;
  const std::size_t xing = XingOffset(frame, *header);
  if (size >= xing + 12 && (std::memcmp(frame + xing, "Xing", 4) == 0 || std::memcmp(frame + xing, "Info", 4) == 0)) {
    if ((Big32(frame + xing + 4) & kXingHasFrames) == 0) return std::nullopt;
    return FrameCount{FrameCount::Kind::kXing, Big32(frame + xing + 8)};
  }
  // "VBRI", version, delay, quality (two bytes each), stream bytes, frames (four bytes each).
  if (size >= kVbriOffset + 18 && std::memcmp(frame + kVbriOffset, "VBRI", 4) == 0) {
    return FrameCount{FrameCount::Kind::kVbri, Big32(frame + kVbriOffset + 14)};
  }
  return std::nullopt;
}

int SamplesPerFrame(const FrameHeader& header) {
  if (header.layer == 1) return 384;
  if (header.layer == 3 && header.version != 1) return 576;
  return 1152;
}

}  // namespace mpegdll
