// MPEG audio frame headers: the standard's tables, frame lengths and samples per frame, and the
// decoding of a header into the fields a frame search needs.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace mpegframe {

// Version codes: 1 = MPEG 1.0, 2 = MPEG 2.0, 3 = MPEG 2.5, 0 = reserved. Layers 1..3, 0 = reserved.

// Version code by the header's two version bits (20..19): 00 = 2.5, 01 = reserved, 10 = 2.0, 11 = 1.0.
inline constexpr std::array<std::uint8_t, 4> kVersionByBits{3, 0, 2, 1};

// kbit/s by [row][bit-rate index 0..15]; rows: MPEG 1.0 layer I, II, III, MPEG 2.0/2.5 layer I,
// II, III. Index 0 (free format) and 15 give 0.
inline constexpr std::array<std::array<std::int16_t, 16>, 6> kBitRates{{
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0},
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0},
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
}};

// Hz by [version - 1][sample-rate index 0..3]; index 3 is reserved and gives 0.
inline constexpr std::array<std::array<std::int32_t, 4>, 3> kSampleRates{{
    {44100, 48000, 32000, 0},
    {22050, 24000, 16000, 0},
    {11025, 12000, 8000, 0},
}};

// Bit rate in kbit/s of `version` (1..3), `layer` (1..3) and the header's bit-rate index (0..15).
constexpr std::int32_t BitRateKbps(int version, int layer, unsigned index) {
  return kBitRates[static_cast<std::size_t>((version == 1 ? 0 : 3) + layer - 1)][index & 15u];
}

// Sampling frequency in Hz of `version` (1..3) and the header's sample-rate index (0..3).
constexpr std::int32_t SampleRateHz(int version, unsigned index) {
  return kSampleRates[static_cast<std::size_t>(version - 1)][index & 3u];
}

// Samples (per channel) one frame holds: 384 for layer I, 576 for layer III of MPEG 2.0 and 2.5,
// else 1152.
constexpr int SamplesPerFrame(int version, int layer) {
  if (layer == 1) return 384;
  if (layer == 3 && (version == 2 || version == 3)) return 576;
  return 1152;
}

// Length in bytes of one frame, header included: layer I counts 4-byte slots, 4 x (12000 x bit
// rate / frequency + padding); the other layers samples / 8 x bit rate / frequency + padding,
// truncated. 0 when the frequency is not positive or the bit rate negative.
constexpr std::int64_t FrameLength(int version, int layer, std::int32_t sampleRateHz, std::int32_t bitRateKbps,
                                   bool padding) {
  if (sampleRateHz <= 0 || bitRateKbps < 0) return 0;
  const std::int64_t pad = padding ? 1 : 0;
  if (layer == 1) return 4 * (12000 * std::int64_t{bitRateKbps} / sampleRateHz + pad);
  const std::int64_t factor = SamplesPerFrame(version, layer) / 8 * 1000;
  return factor * bitRateKbps / sampleRateHz + pad;
}

// A 32-bit value from four bytes, most significant first.
constexpr std::uint32_t ReadBE32(std::span<const std::uint8_t, 4> bytes) {
  return std::uint32_t{bytes[0]} << 24 | std::uint32_t{bytes[1]} << 16 | std::uint32_t{bytes[2]} << 8 |
         std::uint32_t{bytes[3]};
}

// The fields of a header that a frame search needs.
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

// Samples (per channel) that one frame of `header` decodes to.
inline int SamplesPerFrame(const FrameHeader& header) { return SamplesPerFrame(header.version, header.layer); }

}  // namespace mpegframe
