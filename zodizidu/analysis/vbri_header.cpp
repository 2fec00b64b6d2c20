// Reading the frame count of a VBRI block.
#include "zodizidu/analysis/vbri_header.h"

#include <cstring>

#include "zodizidu/analysis/mpeg_data.h"

namespace zodizidu {

namespace {

constexpr std::size_t kFramesAt = 14;

}  // namespace

std::uint32_t VbriFrameCount(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < kVbriSize || std::memcmp(bytes.data(), "VBRI", 4) != 0) return 0;
  return ReadBE32(bytes.subspan<kFramesAt, 4>());
}

}  // namespace zodizidu
