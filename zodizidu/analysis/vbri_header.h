// The VBRI variable-bit-rate block that some encoders put in the first frame instead of a Xing
// block.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace zodizidu {

// Where "VBRI" stands, counted from the first byte of the frame header: 32 bytes after the
// header, whatever the version and channel mode.
inline constexpr int kVbriOffset = 36;

// Bytes from "VBRI" through the frame count: the mark, version, delay and quality (two bytes
// each), the byte count and the frame count (four bytes each, big-endian).
inline constexpr std::size_t kVbriSize = 18;

// The number of frames of the VBRI block that `bytes` begins with (at its mark "VBRI"); 0 when
// the bytes do not begin with the mark or are too short to hold the count.
std::uint32_t VbriFrameCount(std::span<const std::uint8_t> bytes);

}  // namespace zodizidu
