// Decoding of MPEG audio frame headers into the fields a frame search needs.
#include "mpegframe/frame_header.h"

namespace mpegframe {

// Header bits: 31..21 sync, 20..19 version, 18..17 layer, 16 protection, 15..12 bit-rate index,
// 11..10 sample-rate index, 9 padding, 8 private, 7..0 mode, extension, copyright, original, emphasis.
std::optional<FrameHeader> ParseFrameHeader(std::uint32_t value) {
  if ((value & 0xFFE00000u) != 0xFFE00000u) return std::nullopt;
  const unsigned versionBits = (value >> 19) & 3u;
  const unsigned layerBits = (value >> 17) & 3u;
  const unsigned bitRateIndex = (value >> 12) & 15u;
  const unsigned rateIndex = (value >> 10) & 3u;
  if (versionBits == 1 || layerBits == 0 || bitRateIndex == 0 || bitRateIndex == 15 || rateIndex == 3) {
    return std::nullopt;
  }
  FrameHeader h;
  h.version = kVersionByBits[versionBits];
  h.layer = 4 - static_cast<int>(layerBits);
  h.bitRateKbps = BitRateKbps(h.version, h.layer, bitRateIndex);
  h.sampleRateHz = SampleRateHz(h.version, rateIndex);
  h.padding = ((value >> 9) & 1u) != 0;
  h.length = static_cast<int>(FrameLength(h.version, h.layer, h.sampleRateHz, h.bitRateKbps, h.padding));
  return h;
}

std::optional<FrameHeader> ParseFrameHeader(const std::uint8_t* bytes) {
  return ParseFrameHeader(ReadBE32(std::span<const std::uint8_t, 4>(bytes, 4)));
}

}  // namespace mpegframe
