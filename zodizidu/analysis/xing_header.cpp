// Reading the Xing block and the play time it gives.
#include "zodizidu/analysis/xing_header.h"

#include "zodizidu/analysis/mpeg_data.h"

namespace zodizidu {

namespace {

constexpr std::uint32_t kFlagFrames = 0x1;

}  // namespace

int XingOffset(std::uint8_t version, std::uint8_t mode) {
  const bool mono = mode == 3;
  if (version == 1) return mono ? 21 : 36;
  return mono ? 13 : 21;
}

std::uint32_t XingFrameCount(std::span<const std::uint8_t> block) {
  if (block.size() < 8) return 0;
  const std::uint32_t flags = ReadBE32(block.first<4>());
  if ((flags & kFlagFrames) == 0) return 0;
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

}  // namespace zodizidu
