// Byte-by-byte MPEG audio test material, written from the MPEG audio, VBRI, ID3 and APE layouts.
#include "tests/support/mpeg_builder.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <stdexcept>

namespace testsupport {

using namespace std::string_view_literals;

namespace {

// kbit/s by [MPEG 1.0 ? 0 : 1][layer - 1][bit-rate index]; the test's own copy of the standard.
constexpr std::array<std::array<std::array<int, 16>, 3>, 2> kKbps{{
    {{{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},
      {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},
      {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0}}},
    {{{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0},
      {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
      {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0}}},
}};

// Hz by [version - 1][sample-rate index].
constexpr std::array<std::array<int, 3>, 3> kHz{{
    {44100, 48000, 32000},
    {22050, 24000, 16000},
    {11025, 12000, 8000},
}};

void PutBE32(std::string& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

void PutBE16(std::string& out, std::uint32_t value) {
  out.push_back(static_cast<char>((value >> 8) & 0xFF));
  out.push_back(static_cast<char>(value & 0xFF));
}

void PutLE32(std::string& out, std::uint32_t value) {
  for (int shift = 0; shift <= 24; shift += 8) out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

void PutSynchSafe(std::string& out, std::size_t value) {
  if (value >= (std::size_t{1} << 28)) throw std::invalid_argument("too large for a synch-safe size");
  for (int shift = 21; shift >= 0; shift -= 7) out.push_back(static_cast<char>((value >> shift) & 0x7F));
}

std::string Field(std::string_view text, std::size_t size, char fill) {
  std::string out(text.substr(0, size));
  out.resize(size, fill);
  return out;
}

}  // namespace

std::uint32_t MpegHeader::Value() const {
  std::uint32_t h = 0xFFE00000u;
  h |= static_cast<std::uint32_t>(versionBits & 3) << 19;
  h |= static_cast<std::uint32_t>(layerBits & 3) << 17;
  h |= static_cast<std::uint32_t>(crc ? 0 : 1) << 16;
  h |= static_cast<std::uint32_t>(bitRateIndex & 15) << 12;
  h |= static_cast<std::uint32_t>(sampleRateIndex & 3) << 10;
  h |= static_cast<std::uint32_t>(padding) << 9;
  h |= static_cast<std::uint32_t>(privateBit) << 8;
  h |= static_cast<std::uint32_t>(mode & 3) << 6;
  h |= static_cast<std::uint32_t>(modeExtension & 3) << 4;
  h |= static_cast<std::uint32_t>(copyright) << 3;
  h |= static_cast<std::uint32_t>(original) << 2;
  h |= static_cast<std::uint32_t>(emphasis & 3);
  return h;
}

std::string MpegHeader::Bytes() const {
  std::string out;
  PutBE32(out, Value());
  return out;
}

int MpegHeader::Version() const {
  switch (versionBits & 3) {
    case 3: return 1;
    case 2: return 2;
    case 0: return 3;
    default: return 0;
  }
}

int MpegHeader::Layer() const { return (layerBits & 3) == 0 ? 0 : 4 - (layerBits & 3); }

int MpegHeader::BitRateKbps() const {
  if (Version() == 0 || Layer() == 0) return 0;
  return kKbps[Version() == 1 ? 0 : 1][Layer() - 1][bitRateIndex & 15];
}

int MpegHeader::SampleRateHz() const {
  if (Version() == 0 || (sampleRateIndex & 3) == 3) return 0;
  return kHz[Version() - 1][sampleRateIndex & 3];
}

int MpegHeader::SamplesPerFrame() const {
  if (Layer() == 1) return 384;
  if (Layer() == 3 && Version() != 1) return 576;
  return 1152;
}

std::size_t MpegHeader::FrameLength() const {
  const int kbps = BitRateKbps();
  const int hz = SampleRateHz();
  if (kbps == 0 || hz == 0) return 0;
  // bytes = samples / 8 * bits per second / samples per second; layer I counts 4-byte slots.
  if (Layer() == 1) return static_cast<std::size_t>(4 * (12 * kbps * 1000 / hz + (padding ? 1 : 0)));
  return static_cast<std::size_t>(SamplesPerFrame() / 8 * kbps * 1000 / hz + (padding ? 1 : 0));
}

std::size_t MpegHeader::SideInfoLength() const {
  const bool mono = (mode & 3) == 3;
  if (Version() == 1) return mono ? 17 : 32;
  return mono ? 9 : 17;
}

MpegHeader MakeHeader(int version, int layer, int kbps, int hz) {
  if (version < 1 || version > 3 || layer < 1 || layer > 3)
    throw std::invalid_argument("no such MPEG version or layer");
  MpegHeader h;
  h.versionBits = static_cast<std::uint8_t>(version == 1 ? 3 : version == 2 ? 2 : 0);
  h.layerBits = static_cast<std::uint8_t>(4 - layer);
  const auto& rates = kKbps[version == 1 ? 0 : 1][layer - 1];
  const auto rate = std::find(rates.begin() + 1, rates.end() - 1, kbps);
  if (rate == rates.end() - 1) throw std::invalid_argument("no such bit rate");
  h.bitRateIndex = static_cast<std::uint8_t>(rate - rates.begin());
  const auto& freqs = kHz[version - 1];
  const auto freq = std::find(freqs.begin(), freqs.end(), hz);
  if (freq == freqs.end()) throw std::invalid_argument("no such sampling frequency");
  h.sampleRateIndex = static_cast<std::uint8_t>(freq - freqs.begin());
  return h;
}

std::string Frame(const MpegHeader& header) {
  std::string out = header.Bytes();
  out.resize(std::max<std::size_t>(header.FrameLength(), 4), '\0');
  return out;
}

std::string Frames(const MpegHeader& header, std::size_t count) {
  const std::string one = Frame(header);
  std::string out;
  out.reserve(one.size() * count);
  for (std::size_t i = 0; i < count; ++i) out += one;
  return out;
}

std::string XingBlock(const XingFields& fields) {
  std::uint32_t flags = 0;
  if (fields.frames) flags |= 1;
  if (fields.bytes) flags |= 2;
  if (fields.toc) flags |= 4;
  if (fields.quality) flags |= 8;
  std::string out = "Xing";
  PutBE32(out, flags);
  if (fields.frames) PutBE32(out, *fields.frames);
  if (fields.bytes) PutBE32(out, *fields.bytes);
  if (fields.toc) {
    for (int i = 0; i < 100; ++i) out.push_back(static_cast<char>(i * 255 / 99));
  }
  if (fields.quality) PutBE32(out, *fields.quality);
  out.resize(4 + 116, '\0');
  return out;
}

std::string XingFrame(const MpegHeader& header, const XingFields& fields) {
  std::string out = Frame(header);
  const std::string block = XingBlock(fields);
  const std::size_t at = 4 + header.SideInfoLength();
  if (out.size() < at + block.size()) out.resize(at + block.size(), '\0');
  out.replace(at, block.size(), block);
  return out;
}

std::string VbriFrame(const MpegHeader& header, std::uint32_t frames, std::uint32_t bytes) {
  std::string block = "VBRI";
  PutBE16(block, 1);     // version
  PutBE16(block, 1105);  // encoder delay in samples
  PutBE16(block, 75);    // quality
  PutBE32(block, bytes);
  PutBE32(block, frames);
  PutBE16(block, 0);  // table of contents entries
  PutBE16(block, 1);  // their scale
  PutBE16(block, 2);  // bytes per entry
  PutBE16(block, 0);  // frames per entry
  std::string out = Frame(header);
  const std::size_t at = 4 + 32;
  if (out.size() < at + block.size()) out.resize(at + block.size(), '\0');
  out.replace(at, block.size(), block);
  return out;
}

std::string Id3v2Tag(const Id3v2Fields& f) {
  std::string out = "ID3";
  out.push_back(static_cast<char>(f.major));
  out.push_back('\0');
  out.push_back(static_cast<char>(f.flags | (f.footer ? 0x10 : 0)));
  PutSynchSafe(out, f.body.size() + f.padding);
  out += f.body;
  out.append(f.padding, '\0');
  if (f.footer) {
    out += "3DI";
    out += out.substr(3, 7);
  }
  return out;
}

std::string Id3v2Frame(std::string_view id, std::string_view content, std::uint8_t major) {
  std::string out(id.substr(0, 4));
  if (major >= 4)
    PutSynchSafe(out, content.size());
  else
    PutBE32(out, static_cast<std::uint32_t>(content.size()));
  out.append(2, '\0');
  out += content;
  return out;
}

std::string Id3v2TextFrame(std::string_view id, std::string_view text, std::uint8_t major) {
  std::string content(1, '\0');  // ISO-8859-1
  content += text;
  return Id3v2Frame(id, content, major);
}

std::string Id3v2PictureFrame(std::string_view picture, std::uint8_t major) {
  std::string content(1, '\0');
  content += "image/jpeg";
  content.push_back('\0');
  content.push_back('\x03');  // front cover
  content += "Cover";
  content.push_back('\0');
  content += picture;
  return Id3v2Frame("APIC", content, major);
}

std::string CoverPicture(std::size_t size, std::uint32_t seed) {
  static constexpr std::string_view kHead{
      "\xFF\xD8\xFF\xE0\x00\x10JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00"
      "\xFF\xDB\x00\x43\x00\x08\x06\x06\x07\x06\x05\x08\x07\x07\x07\x09"
      "\xFF\xC0\x00\x11\x08\x01\xF4\x01\xF4\x03\x01\x22\x00\x02\x11\x01\x03\x11\x01"
      "\xFF\xDA\x00\x0C\x03\x01\x00\x02\x11\x03\x11\x00\x3F\x00"sv};
  std::string out(kHead.substr(0, size));
  std::uint32_t x = seed ? seed : 1;
  while (out.size() + 2 < size) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    // Entropy-coded data: 0xFF is followed by a stuffed zero or by any other byte now and then.
    const auto byte = static_cast<char>(x >> 24);
    out.push_back(byte);
    if (byte == '\xFF' && (x & 0x300) != 0) out.push_back('\0');
  }
  if (out.size() < size) out += std::string("\xFF\xD9").substr(0, size - out.size());
  out.resize(size, '\0');
  return out;
}

std::string CoverTag(std::size_t pictureSize, std::size_t padding, std::uint32_t seed) {
  const std::string frames = Id3v2TextFrame("TIT2", "Song") + Id3v2TextFrame("TPE1", "Band") +
                             Id3v2PictureFrame(CoverPicture(pictureSize, seed));
  return Id3v2Tag(Id3v2Fields().Body(frames).Padding(padding));
}

std::string ApeTag(std::size_t fill, bool header, std::uint32_t version) {
  std::string items;
  std::uint32_t count = 0;
  const auto item = [&](std::string_view key, std::string_view value) {
    PutLE32(items, static_cast<std::uint32_t>(value.size()));
    PutLE32(items, 0);
    items += key;
    items.push_back('\0');
    items += value;
    ++count;
  };
  item("Title", "Song");
  item("Artist", "Band");
  if (fill > 0) item("Comment", std::string(fill, 'x'));
  const auto block = [&](bool isHeader) {
    std::string out = "APETAGEX";
    PutLE32(out, version);
    PutLE32(out, static_cast<std::uint32_t>(items.size() + 32));
    PutLE32(out, count);
    const bool withHeader = header && version >= 2000;
    PutLE32(out, (withHeader ? 0x80000000u : 0u) | (isHeader ? 0x20000000u : 0u));
    out.append(8, '\0');
    return out;
  };
  std::string out;
  if (header && version >= 2000) out += block(true);
  out += items;
  out += block(false);
  return out;
}

std::string Id3v1Tag(const Id3v1Fields& f) {
  std::string out = "TAG";
  out += Field(f.title, 30, f.fill);
  out += Field(f.artist, 30, f.fill);
  out += Field(f.album, 30, f.fill);
  out += Field(f.year, 4, f.fill);
  if (f.track) {
    out += Field(f.comment, 28, f.fill);
    out.push_back('\0');
    out.push_back(static_cast<char>(*f.track));
  } else {
    out += Field(f.comment, 30, f.fill);
  }
  out.push_back(static_cast<char>(f.genre));
  return out;
}

std::string Junk(std::size_t size, std::uint32_t seed) {
  std::string out(size, '\0');
  std::uint32_t x = seed ? seed : 1;
  for (std::size_t i = 0; i < size; ++i) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    auto byte = static_cast<std::uint8_t>(x >> 24);
    if (i > 0 && static_cast<std::uint8_t>(out[i - 1]) == 0xFF) byte &= 0x7F;
    out[i] = static_cast<char>(byte);
  }
  // Material may follow the junk directly: a last 0xFF would make a sync with its first byte.
  if (size > 0 && static_cast<std::uint8_t>(out.back()) == 0xFF) out.back() = '\x7F';
  return out;
}

std::string Id3v2Block(std::size_t size) {
  if (size < 10) throw std::invalid_argument("an ID3v2 block holds at least its 10-byte header");
  std::string out = "ID3";
  out.push_back('\x03');
  out.push_back('\0');
  out.push_back('\0');
  const std::size_t body = size - 10;
  for (int shift = 21; shift >= 0; shift -= 7) out.push_back(static_cast<char>((body >> shift) & 0x7F));
  static constexpr std::string_view kText{"TIT2\0\0\0\x10\0\0\0Some song title TPE1 artist name "sv};
  for (std::size_t i = 0; i < body; ++i) out.push_back(kText[i % kText.size()]);
  return out;
}

std::string Mp3File(std::size_t frames, const std::optional<Id3v1Fields>& tag, const MpegHeader& header) {
  std::string out = Frames(header, frames);
  if (tag) out += Id3v1Tag(*tag);
  return out;
}

std::size_t FramesForSeconds(const MpegHeader& header, double seconds) {
  const int hz = header.SampleRateHz();
  if (hz == 0) return 0;
  return static_cast<std::size_t>(std::llround(seconds * hz / header.SamplesPerFrame()));
}

}  // namespace testsupport
