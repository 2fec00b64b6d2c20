// Decoding of MPEG audio frame headers: bit-rate and sample-rate tables, frame length, validity.
#include "zodizidu/analysis/frame_header.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "zodizidu/analysis/mpeg_data.h"
#include "zodizidu/analysis/xing_header.h"

namespace zodizidu {

namespace {

// kbit/s by [row][bit-rate index 0..15]; rows: MPEG 1.0 layer I, II, III, MPEG 2.0/2.5 layer I, II, III.
constexpr std::array<std::array<std::int16_t, 16>, 6> kBitRates{{
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0},
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0},
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
}};

// Hz by [Version 1..3 - 1][sample-rate index 0..3]; index 3 is reserved.
constexpr std::array<std::array<std::int32_t, 4>, 3> kSampleRates{{
    {44100, 48000, 32000, 0},
    {22050, 24000, 16000, 0},
    {11025, 12000, 8000, 0},
}};

// Version code by the header's two version bits (20..19): 00 = 2.5, 01 = reserved, 10 = 2.0, 11 = 1.0.
constexpr std::array<std::uint8_t, 4> kVersionByBits{3, 0, 2, 1};

constexpr std::uint32_t kSyncMask = 0xFFE00000u;

constexpr bool Bit(std::uint32_t h, int n) { return ((h >> n) & 1u) != 0; }
constexpr std::uint32_t Bits(std::uint32_t h, int low, int count) { return (h >> low) & ((1u << count) - 1u); }

}  // namespace

bool DecodeHeader(std::uint32_t h, TMPEGData& data) {
  data.Version = 0;
  data.Layer = 0;
  data.SampleRate = 0;
  data.BitRate = 0;
  data.Mode = 0;
  data.Copyright = false;
  data.Original = false;
  data.ErrorProt = false;
  data.Padding = false;
  data.FrameLength = 0;
  if ((h & kSyncMask) != kSyncMask) return false;

  data.Version = kVersionByBits[Bits(h, 19, 2)];
  if (data.Version == 0) return IsValid(data);

  const std::uint32_t layerBits = Bits(h, 17, 2);
  data.Layer = static_cast<std::uint8_t>(layerBits == 0 ? 0 : 4 - layerBits);
  data.SampleRate = kSampleRates[data.Version - 1][Bits(h, 10, 2)];
  data.ErrorProt = !Bit(h, 16);
  data.Copyright = Bit(h, 3);
  data.Original = Bit(h, 2);
  data.Mode = static_cast<std::uint8_t>(Bits(h, 6, 2));
  data.Padding = Bit(h, 9);
  if (data.Layer != 0) {
    const int row = (data.Version == 1 ? 0 : 3) + data.Layer - 1;
    data.BitRate = kBitRates[row][Bits(h, 12, 4)];
  }

  data.Duration = PlayTime(data.FileLength, data.BitRate);
  data.FrameLength = CalcFrameLength(data.Version, data.Layer, data.SampleRate, data.BitRate, data.Padding);
  return IsValid(data);
}

std::uint16_t CalcFrameLength(std::uint8_t version, std::uint8_t layer, std::int32_t sampleRate, std::int32_t bitRate,
                              bool padding) {
  if (sampleRate <= 0 || bitRate < 0) return 0;
  const std::int64_t pad = padding ? 1 : 0;
  std::int64_t length = 0;
  if (layer == 1) {
    length = 4 * (12000 * std::int64_t{bitRate} / sampleRate + pad);
  } else {
    // Bytes per frame = samples per frame / 8 x bits per second / samples per second.
    const std::int64_t factor = SamplesPerFrame(version, layer) / 8 * 1000;
    length = factor * bitRate / sampleRate + pad;
  }
  return static_cast<std::uint16_t>(std::min<std::int64_t>(length, 0xFFFF));
}

std::uint16_t PlayTime(std::int64_t fileLength, std::int32_t bitRate) {
  if (bitRate <= 0 || fileLength <= 0) return 0;
  // 64 bits: the length in bits overflows 32 bits from 256 MiB on; the 16-bit field saturates.
  const std::int64_t seconds = fileLength * 8 / (std::int64_t{bitRate} * 1000);
  return static_cast<std::uint16_t>(std::min<std::int64_t>(seconds, 0xFFFF));
}

bool IsValid(const TMPEGData& data) {
  return data.FileLength > 5 && data.Version != 0 && data.Layer != 0 && data.FileStamp != 0 &&
         (data.BitRate == -1 || data.BitRate > 0) && data.SampleRate > 0;
}

std::uint32_t ReadBE32(std::span<const std::uint8_t, 4> bytes) {
  return std::uint32_t{bytes[0]} << 24 | std::uint32_t{bytes[1]} << 16 | std::uint32_t{bytes[2]} << 8 |
         std::uint32_t{bytes[3]};
}

int SamplesPerFrame(std::uint8_t version, std::uint8_t layer) {
  if (layer == 1) return 384;
  if (layer == 3 && (version == 2 || version == 3)) return 576;
  return 1152;
}

}  // namespace zodizidu
