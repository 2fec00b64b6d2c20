// Byte-by-byte MPEG audio test material: frame headers, frames, Xing blocks, ID3v1 tags, junk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace testsupport {

// One MPEG audio frame header, field by field, in the raw bit values of the header (so reserved
// values can be built as easily as valid ones).
struct MpegHeader {
  std::uint8_t versionBits = 3;      // 0 = MPEG 2.5, 1 = reserved, 2 = MPEG 2.0, 3 = MPEG 1.0
  std::uint8_t layerBits = 1;        // 1 = layer III, 2 = layer II, 3 = layer I, 0 = reserved
  bool crc = false;                  // frames carry a CRC (protection bit 0)
  std::uint8_t bitRateIndex = 9;     // 0..15 (9 = 128 kbit/s for MPEG 1.0 layer III)
  std::uint8_t sampleRateIndex = 0;  // 0..3 (0 = 44100 Hz for MPEG 1.0)
  bool padding = false;
  bool privateBit = false;
  std::uint8_t mode = 0;             // 0 stereo, 1 joint stereo, 2 dual channel, 3 single channel
  std::uint8_t modeExtension = 0;
  bool copyright = false;
  bool original = false;
  std::uint8_t emphasis = 0;

  // The 32-bit header value (first file byte in bits 31..24).
  std::uint32_t Value() const;
  // The four header bytes as they stand in a file.
  std::string Bytes() const;

  // Version as the analysis counts it: 1 = MPEG 1.0, 2 = MPEG 2.0, 3 = MPEG 2.5, 0 = reserved.
  int Version() const;
  // Layer 1..3, 0 = reserved.
  int Layer() const;
  // Bit rate in kbit/s from the standard's tables; 0 for free format, index 15 or reserved fields.
  int BitRateKbps() const;
  // Sampling frequency in Hz; 0 for index 3 or a reserved version.
  int SampleRateHz() const;
  // Samples one frame holds: 384 (layer I), 1152 (layer II, MPEG 1.0 layer III), 576 (MPEG 2.0 and
  // 2.5 layer III).
  int SamplesPerFrame() const;
  // Frame length in bytes by the standard's formula (CRC included); 0 when not computable.
  std::size_t FrameLength() const;
  // Bytes of side information after the header (and CRC): where a Xing block starts, counted from
  // the header's first byte, is 4 + this (no CRC allowance).
  std::size_t SideInfoLength() const;
};

// A valid header: version 1 = MPEG 1.0, 2 = MPEG 2.0, 3 = MPEG 2.5; layer 1..3; a bit rate and a
// sampling frequency from the standard's tables (throws std::invalid_argument otherwise).
MpegHeader MakeHeader(int version, int layer, int kbps, int hz);

// One whole frame: the header followed by zero bytes up to its frame length.
std::string Frame(const MpegHeader& header);
// `count` frames one after another.
std::string Frames(const MpegHeader& header, std::size_t count);

// The Xing fields; a field left empty is absent and its flag bit clear. The setters chain:
// XingFields().Frames(375).Toc().
struct XingFields {
  std::optional<std::uint32_t> frames;
  std::optional<std::uint32_t> bytes;
  bool toc = false;
  std::optional<std::uint32_t> quality;

  XingFields& Frames(std::uint32_t n) { frames = n; return *this; }
  XingFields& Bytes(std::uint32_t n) { bytes = n; return *this; }
  XingFields& Toc() { toc = true; return *this; }
  XingFields& Quality(std::uint32_t n) { quality = n; return *this; }
};
// The four characters "Xing" and the block after them, numbers big-endian, padded with zeros to
// the 116 bytes a reader takes.
std::string XingBlock(const XingFields& fields);
// A first frame that holds "Xing" and the block at 4 + SideInfoLength() from its start.
std::string XingFrame(const MpegHeader& header, const XingFields& fields);

// The fields of a 128-byte ID3v1 tag. Texts are written as given and padded with `fill` bytes;
// a text longer than its field is cut. `year` is written as its first four bytes, padded with
// `fill`. When `track` is set, byte 125 is 0 and byte 126 the track number, so the comment is
// at most 28 bytes.
// The setters chain: Id3v1Fields().Title("Song").Artist("Band").Track(3).
struct Id3v1Fields {
  std::string title;
  std::string artist;
  std::string album;
  std::string year;
  std::string comment;
  std::optional<std::uint8_t> track;
  std::uint8_t genre = 255;
  char fill = '\0';

  Id3v1Fields& Title(std::string_view text) { title = text; return *this; }
  Id3v1Fields& Artist(std::string_view text) { artist = text; return *this; }
  Id3v1Fields& Album(std::string_view text) { album = text; return *this; }
  Id3v1Fields& Year(std::string_view text) { year = text; return *this; }
  Id3v1Fields& Comment(std::string_view text) { comment = text; return *this; }
  Id3v1Fields& Track(std::uint8_t number) { track = number; return *this; }
  Id3v1Fields& Genre(std::uint8_t code) { genre = code; return *this; }
  Id3v1Fields& Fill(char byte) { fill = byte; return *this; }
};
std::string Id3v1Tag(const Id3v1Fields& fields);

// `size` bytes of deterministic pseudo-random junk that holds no frame sync (no 0xFF byte is
// followed by a byte with its three top bits set), so it never contains a frame header.
std::string Junk(std::size_t size, std::uint32_t seed = 1);
// An ID3v2-like block of `size` bytes (at least 10): "ID3", version, flags, a synch-safe size and
// text-like content without any frame sync.
std::string Id3v2Block(std::size_t size);

// A valid MP3 file: `frames` frames of `header` (default MPEG 1.0 layer III, 128 kbit/s,
// 44100 Hz, about 26 ms each) followed by the tag when one is given.
std::string Mp3File(std::size_t frames, const std::optional<Id3v1Fields>& tag = std::nullopt,
                    const MpegHeader& header = MakeHeader(1, 3, 128, 44100));
// The number of frames of `header` that play for about `seconds`.
std::size_t FramesForSeconds(const MpegHeader& header, double seconds);

}  // namespace testsupport
