// The Xing variable-bit-rate block that may stand in the first frame of an MP3 file.
#pragma once

#include <cstdint>
#include <span>

namespace zodizidu {

// Bytes of the Xing block after its four characters "Xing" that the analysis reads.
inline constexpr std::size_t kXingBlockSize = 116;

// Where "Xing" is looked for, counted from the first byte of the frame header: after the side
// information of the frame's version and channel mode (no allowance for a CRC).
int XingOffset(std::uint8_t version, std::uint8_t mode);

// The number of frames from the block that follows "Xing" (flags first, then the frame count when
// flag bit 0 is set); 0 when the count is absent or the block is too short to hold it.
std::uint32_t XingFrameCount(std::span<const std::uint8_t> block);

// Play time in whole seconds of `frames` frames, rounded to nearest with halves to even;
// 65535 at most, 0 when the sampling frequency is not positive.
std::uint16_t XingDuration(std::uint32_t frames, int samplesPerFrame, std::int32_t sampleRate);

}  // namespace zodizidu
