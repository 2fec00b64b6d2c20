// Decoding of MPEG audio frame headers into the record, by the shared frame tables; validity.
#include "zodizidu/analysis/frame_header.h"

#include <algorithm>
#include <cstdint>

#include "zodizidu/analysis/mpeg_data.h"

namespace zodizidu {

namespace {

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

  data.Version = mpegframe::kVersionByBits[Bits(h, 19, 2)];
  if (data.Version == 0) return IsValid(data);

  const std::uint32_t layerBits = Bits(h, 17, 2);
  data.Layer = static_cast<std::uint8_t>(layerBits == 0 ? 0 : 4 - layerBits);
  data.SampleRate = mpegframe::SampleRateHz(data.Version, Bits(h, 10, 2));
  data.ErrorProt = !Bit(h, 16);
  data.Copyright = Bit(h, 3);
  data.Original = Bit(h, 2);
  data.Mode = static_cast<std::uint8_t>(Bits(h, 6, 2));
  data.Padding = Bit(h, 9);
  if (data.Layer != 0) data.BitRate = mpegframe::BitRateKbps(data.Version, data.Layer, Bits(h, 12, 4));

  data.Duration = PlayTime(data.FileLength, data.BitRate);
  data.FrameLength = CalcFrameLength(data.Version, data.Layer, data.SampleRate, data.BitRate, data.Padding);
  return IsValid(data);
}

std::uint16_t CalcFrameLength(std::uint8_t version, std::uint8_t layer, std::int32_t sampleRate, std::int32_t bitRate,
                              bool padding) {
  const std::int64_t length = mpegframe::FrameLength(version, layer, sampleRate, bitRate, padding);
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

}  // namespace zodizidu
