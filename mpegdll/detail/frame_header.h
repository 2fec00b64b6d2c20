// MPEG audio frame headers: the fields a frame search needs and the length of the frame.
#pragma once

#include <cstdint>
#include <optional>

namespace mpegdll {

struct FrameHeader {
  int version = 0;      // 1 = MPEG 1.0, 2 = MPEG 2.0, 3 = MPEG 2.5
  int layer = 0;        // 1..3
  int bitRateKbps = 0;  // kbit/s
  int sampleRateHz = 0;
  bool padding = false;
  int length = 0;  // bytes, header included

  // True when `other` can follow this frame in one stream (same version, layer and rate).
  bool SameStream(const FrameHeader& other) const {
    return version == other.version && layer == other.layer && sampleRateHz == other.sampleRateHz;
  }
};

// Decodes the header whose first byte stands in bits 31..24 of `value`. Returns nothing unless
// the sync is complete, version and layer are not reserved, the bit-rate index is neither 0 (free
// format) nor 15 and the sample-rate index is not 3.
std::optional<FrameHeader> ParseFrameHeader(std::uint32_t value);

// The header in the four bytes at `bytes`.
std::optional<FrameHeader> ParseFrameHeader(const std::uint8_t* bytes);

}  // namespace mpegdll
