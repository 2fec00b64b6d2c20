// Decoding of MPEG audio frame headers and their frame lengths.
#include "mpegdll/detail/frame_header.h"

#include <array>

namespace mpegdll {
namespace {

// Bit rates in kbit/s by [row][index]; rows: MPEG 1 layer I, II, III, MPEG 2/2.5 layer I, II and III.
constexpr std::array<std::array<int, 16>, 5> kBitRates{{
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0},
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0},
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
}};

// Sample rates in Hz by [version - 1][index]; index 3 is reserved.
constexpr std::array<std::array<int, 4>, 3> kSampleRates{{
    {44100, 48000, 32000, 0},
    {22050, 24000, 16000, 0},
    {11025, 12000, 8000, 0},
}};

int BitRateRow(int version, int layer) { return version == 1 ? layer - 1 : (layer == 1 ? 3 : 4); }

}  // namespace

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
  h.version = versionBits == 3 ? 1 : (versionBits == 2 ? 2 : 3);
  h.layer = 4 - static_cast<int>(layerBits);
  h.bitRateKbps = kBitRates[BitRateRow(h.version, h.layer)][bitRateIndex];
  h.sampleRateHz = kSampleRates[h.version - 1][rateIndex];
  h.padding = ((value >> 9) & 1u) != 0;
  const int pad = h.padding ? 1 : 0;
  if (h.layer == 1) {
    h.length = 4 * (12000 * h.bitRateKbps / h.sampleRateHz + pad);
  } else if (h.layer == 3 && h.version != 1) {
    h.length = 72000 * h.bitRateKbps / h.sampleRateHz + pad;
  } else {
    h.length = 144000 * h.bitRateKbps / h.sampleRateHz + pad;
  }
  return h;
}

std::optional<FrameHeader> ParseFrameHeader(const std::uint8_t* bytes) {
  return ParseFrameHeader((std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
                          (std::uint32_t{bytes[2]} << 8) | std::uint32_t{bytes[3]});
}

}  // namespace mpegdll
