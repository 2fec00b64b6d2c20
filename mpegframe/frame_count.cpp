// Reading the Xing/Info and VBRI blocks of a first frame and the play time of a frame count.
#include "mpegframe/frame_count.h"

#include <cstring>

namespace mpegframe {

namespace {

constexpr std::uint32_t kXingHasFrames = 0x1;
constexpr std::size_t kVbriFramesAt = 14;

}  // namespace

int XingOffset(int version, std::uint8_t mode, bool crc) {
  // Side information: 17 or 32 bytes (MPEG 1.0), 9 or 17 bytes (MPEG 2.0 and 2.5), one channel or more.
  const bool mono = mode == 3;
  const int side = version == 1 ? (mono ? 17 : 32) : (mono ? 9 : 17);
  return 4 + (crc ? 2 : 0) + side;
}

std::uint32_t XingFrameCount(std::span<const std::uint8_t> block) {
  if (block.size() < 8) return 0;
  const std::uint32_t flags = ReadBE32(block.first<4>());
  if ((flags & kXingHasFrames) == 0) return 0;
  return ReadBE32(block.subspan<4, 4>());
}

std::uint16_t XingDuration(std::uint32_t frames, int samplesPerFrame, std::int32_t sampleRate) {
  if (sampleRate <= 0 || samplesPerFrame <= 0) return 0;
  // Exact integer arithmetic, so that a true half is recognised as one.
  const std::uint64_t samples = std::uint64_t{frames} * static_cast<std::uint64_t>(samplesPerFrame);
  const auto rate = static_cast<std::uint64_t>(sampleRate);
  std::uint64_t seconds = samples / rate;
  const std::uint64_t twiceRest = 2 * (samples % rate);
  if (twiceRest > rate || (twiceRest == rate && seconds % 2 == 1)) ++seconds;
  return static_cast<std::uint16_t>(seconds > 0xFFFF ? 0xFFFF : seconds);
}

std::uint32_t VbriFrameCount(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < kVbriSize || std::memcmp(bytes.data(), "VBRI", 4) != 0) return 0;
  return ReadBE32(bytes.subspan<kVbriFramesAt, 4>());
}

std::optional<FrameCount> ReadFrameCount(const std::uint8_t* frame, std::size_t size) {
  if (size < 4) return std::nullopt;
  const auto header = ParseFrameHeader(frame);
  if (!header || header->layer != 3) return std::nullopt;
  const bool crc = (frame[1] & 1u) == 0;
  const auto xing = static_cast<std::size_t>(XingOffset(header->version, frame[3] >> 6, crc));
  if (size >= xing + 12 && (std::memcmp(frame + xing, "Xing", 4) == 0 || std::memcmp(frame + xing, "Info", 4) == 0)) {
    const std::span<const std::uint8_t> block(frame + xing + 4, 8);
    if ((ReadBE32(block.first<4>()) & kXingHasFrames) == 0) return std::nullopt;
    return FrameCount{FrameCount::Kind::kXing, XingFrameCount(block)};
  }
  if (size >= kVbriOffset + kVbriSize) {
    const std::span<const std::uint8_t> vbri(frame + kVbriOffset, kVbriSize);
    if (std::memcmp(vbri.data(), "VBRI", 4) == 0) return FrameCount{FrameCount::Kind::kVbri, VbriFrameCount(vbri)};
  }
  return std::nullopt;
}

}  // namespace mpegframe
