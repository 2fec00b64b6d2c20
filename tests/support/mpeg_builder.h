// Byte-by-byte MPEG audio test material: frame headers, frames, Xing and VBRI blocks, ID3v1,
// ID3v2 and APEv2 tags, junk.
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
  std::uint8_t mode = 0;  // 0 stereo, 1 joint stereo, 2 dual channel, 3 single channel
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

  XingFields& Frames(std::uint32_t n) {
    frames = n;
    return *this;
  }
  XingFields& Bytes(std::uint32_t n) {
    bytes = n;
    return *this;
  }
  XingFields& Toc() {
    toc = true;
    return *this;
  }
  XingFields& Quality(std::uint32_t n) {
    quality = n;
    return *this;
  }
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

  Id3v1Fields& Title(std::string_view text) {
    title = text;
    return *this;
  }
  Id3v1Fields& Artist(std::string_view text) {
    artist = text;
    return *this;
  }
  Id3v1Fields& Album(std::string_view text) {
    album = text;
    return *this;
  }
  Id3v1Fields& Year(std::string_view text) {
    year = text;
    return *this;
  }
  Id3v1Fields& Comment(std::string_view text) {
    comment = text;
    return *this;
  }
  Id3v1Fields& Track(std::uint8_t number) {
    track = number;
    return *this;
  }
  Id3v1Fields& Genre(std::uint8_t code) {
    genre = code;
    return *this;
  }
  Id3v1Fields& Fill(char byte) {
    fill = byte;
    return *this;
  }
};
std::string Id3v1Tag(const Id3v1Fields& fields);

// `size` bytes of deterministic pseudo-random junk that holds no frame sync (no 0xFF byte is
// followed by a byte with its three top bits set), so it never contains a frame header.
std::string Junk(std::size_t size, std::uint32_t seed = 1);
// An ID3v2-like block of `size` bytes (at least 10): "ID3", version, flags, a synch-safe size and
// text-like content without any frame sync.
std::string Id3v2Block(std::size_t size);

// A first frame that holds a VBRI block ("VBRI", version 1, delay, quality 75, byte count, frame
// count, an empty table of contents) 32 bytes after its header, where encoders put it whatever
// the channel mode.
std::string VbriFrame(const MpegHeader& header, std::uint32_t frames, std::uint32_t bytes);

// An ID3v2 tag: "ID3", the major version (2 to 4), revision 0, the flags, the synch-safe size of
// what follows the header (the body and the padding; a footer is not counted), the body, zero
// padding and, with `footer` (flag bit 4 of version 4), the ten-byte footer "3DI".
// The setters chain: Id3v2Fields().Version(4).Body(frames).Padding(1000).Footer().
struct Id3v2Fields {
  std::uint8_t major = 3;
  std::uint8_t flags = 0;  // further flag bits; Footer() sets bit 4
  bool footer = false;
  std::string body;
  std::size_t padding = 0;

  Id3v2Fields& Version(std::uint8_t v) {
    major = v;
    return *this;
  }
  Id3v2Fields& Flags(std::uint8_t f) {
    flags = f;
    return *this;
  }
  Id3v2Fields& Footer() {
    footer = true;
    return *this;
  }
  Id3v2Fields& Body(std::string_view bytes) {
    body = bytes;
    return *this;
  }
  Id3v2Fields& Padding(std::size_t n) {
    padding = n;
    return *this;
  }
};
std::string Id3v2Tag(const Id3v2Fields& fields);
// A frame of an ID3v2.3 or 2.4 tag (four-character id, size, two flag bytes, content); version 4
// writes the size synch-safe.
std::string Id3v2Frame(std::string_view id, std::string_view content, std::uint8_t major = 3);
// A text frame with ISO-8859-1 text.
std::string Id3v2TextFrame(std::string_view id, std::string_view text, std::uint8_t major = 3);
// An attached-picture frame ("APIC", front cover, "image/jpeg") holding `picture`.
std::string Id3v2PictureFrame(std::string_view picture, std::uint8_t major = 3);
// `size` bytes that look like a JPEG picture: the start marker, a few segments and entropy-coded
// data in which any byte may follow 0xFF, so that sync patterns and stray frame headers occur as
// they do in real pictures.
std::string CoverPicture(std::size_t size, std::uint32_t seed = 1);
// A whole ID3v2.3 tag as an encoder with an embedded cover writes it: title and artist frames, the
// picture frame of `pictureSize` bytes and `padding` bytes of padding.
std::string CoverTag(std::size_t pictureSize, std::size_t padding = 0, std::uint32_t seed = 1);

// An APEv2 tag (or APEv1 with `version` 1000, which has no header): the items "Title" and
// "Artist" and `fill` bytes more in a third item, a 32-byte header when `header` is set, and the
// 32-byte footer "APETAGEX" whose size counts the items and the footer.
std::string ApeTag(std::size_t fill = 0, bool header = true, std::uint32_t version = 2000);

// A valid MP3 file: `frames` frames of `header` (default MPEG 1.0 layer III, 128 kbit/s,
// 44100 Hz, about 26 ms each) followed by the tag when one is given.
std::string Mp3File(std::size_t frames, const std::optional<Id3v1Fields>& tag = std::nullopt,
                    const MpegHeader& header = MakeHeader(1, 3, 128, 44100));
// The number of frames of `header` that play for about `seconds`.
std::size_t FramesForSeconds(const MpegHeader& header, double seconds);

}  // namespace testsupport
