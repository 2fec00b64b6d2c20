// The frame count a stream's first frame may carry: a Xing (or Info) block after the frame's side
// information, or a VBRI block at a fixed place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "mpegframe/frame_header.h"

namespace mpegframe {

// Where the mark "Xing" (or "Info") stands, counted from the first byte of the frame header: after
// the header, the CRC when `crc` is set, and the side information of the frame's version and
// channel mode (`mode` 3 is one channel).
int XingOffset(int version, std::uint8_t mode, bool crc);

// Bytes of the Xing block after its four-character mark that a reader takes: flags, frame count,
// byte count, a table of contents of 100 bytes and the quality.
inline constexpr std::size_t kXingBlockSize = 116;

// The number of frames from the block that follows the mark (flags first, then the frame count
// when flag bit 0 is set); 0 when the count is absent or the block is too short to hold it.
std::uint32_t XingFrameCount(std::span<const std::uint8_t> block);

// Play time in whole seconds of `frames` frames, rounded to nearest with halves to even;
// 65535 at most, 0 when the sampling frequency is not positive.
std::uint16_t XingDuration(std::uint32_t frames, int samplesPerFrame, std::int32_t sampleRate);

// Where "VBRI" stands, counted from the first byte of the frame header: 32 bytes after the
// header, whatever the version and channel mode.
inline constexpr int kVbriOffset = 36;

// Bytes from "VBRI" through the frame count: the mark, version, delay and quality (two bytes
// each), the byte count and the frame count (four bytes each, big-endian).
inline constexpr std::size_t kVbriSize = 18;

// The number of frames of the VBRI block that `bytes` begins with (at its mark "VBRI"); 0 when
// the bytes do not begin with the mark or are too short to hold the count.
std::uint32_t VbriFrameCount(std::span<const std::uint8_t> bytes);

struct FrameCount {
  enum class Kind { kXing, kVbri };
  Kind kind = Kind::kXing;
  std::int64_t frames = 0;  // MPEG frames of the stream, the header's own frame not counted
};

// The count in the layer III frame whose first `size` bytes are at `frame`, as a decoder reads it:
// "Xing" or "Info" after the CRC and the side information, else "VBRI"; nothing when the frame
// holds no such block or one without a count.
std::optional<FrameCount> ReadFrameCount(const std::uint8_t* frame, std::size_t size);

}  // namespace mpegframe
